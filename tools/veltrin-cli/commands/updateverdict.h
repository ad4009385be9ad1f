#pragma once

#include <string>

#include "download/updatedownload.h"
#include "engine/parallelprobe.h"

namespace veltrin {

// What `update --yes` would do on a probed port, decided as the update decides it: a word for
// --json ("update", "up-to-date", "newer-than-release", "no-firmware", "not-supported",
// "no-update-data", "texts-unreadable", "in-use", "no-device") and a text for people
// ("update to 02.01.00", "up to date", "no such port", ...).
struct UpdateVerdict {
    std::string Word;
    std::string Text;
};

// Why no supported pipette can be updated on the probed port, in the words of the update's "No
// device found" lines (or "in use by another update run (...)"); empty where one answered.
std::string PortCauseFor(const std::string& port, const PortProbe& probe);

// probe: explained, with the device's texts read. data: null where no update data was had.
UpdateVerdict VerdictFor(const std::string& port, const PortProbe& probe, const UpdateData* data);

}  // namespace veltrin
