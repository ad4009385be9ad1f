#pragma once

#include <functional>
#include <string>

#include "data/clquorvanvariants.h"
#include "data/firmwarelayout.h"
#include "download/httpsclient.h"

namespace veltrin {

// The four update texts the window keeps and hands to every worker.
struct UpdateData {
    std::string HexQuorvanOtg;
    std::string VersionQuorvanOtg;  // "Version dd.dd.dd" or empty
    std::string HexTarnovelleK7;
    std::string VersionTarnovelleK7;
};

// Called with the text a family's version label shows while the download works:
// "loading ..." and "check Firmware ...".
using DownloadLabelFunction = std::function<void(FirmwareFamily family, const std::string& text)>;

// The build-time base URL of the update server; its path ends in "/pipette-update".
const char* DefaultUpdateServerBase();

// Fetches "files.txt" under serverBase, the two firmware files and the variant parameter file it
// names, loads the variant table and checks both firmware images. Never throws; every failure
// only leaves its field empty (or the table empty).
void DownloadUpdateData(HttpsClient& client, const std::string& serverBase, UpdateData& data,
                        ClQuorvanVariants& variants, const DownloadLabelFunction& label = {});

}  // namespace veltrin
