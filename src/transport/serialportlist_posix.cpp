// Port list from sysfs: every tty with a device behind it, except the legacy UART slots that
// the kernel registers whether or not a UART is fitted (ttyS0..ttyS31 on most PCs).
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "transport/naturalorder.h"
#include "transport/serialport.h"
#include "transport/serialportlist_posix.h"

namespace veltrin {

namespace {

namespace fs = std::filesystem;

// The serial core gives each of its ports a "type" attribute; 0 means no UART was found.
// Ports of the legacy UART driver without that attribute cannot be told apart from an empty
// slot, so they count as empty too.
bool IsEmptyUartSlot(const fs::path& tty) {
    std::ifstream typeFile(tty / "type");
    int type = -1;
    if (typeFile >> type)
        return type == 0;
    std::error_code error;
    const fs::path driver = fs::read_symlink(tty / "device" / "driver", error);
    return !error && driver.filename() == "serial8250";
}

}  // namespace

std::vector<std::string> ListSerialPortsUnder(const std::string& classDirectory) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(classDirectory, error), end; !error && it != end;
         it.increment(error)) {
        const fs::path tty = it->path();
        std::error_code ignored;
        // Virtual consoles and pseudo-terminals have no device link.
        if (!fs::exists(tty / "device", ignored))
            continue;
        if (IsEmptyUartSlot(tty))
            continue;
        names.push_back(tty.filename().string());
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return NaturalLess(a, b); });
    return names;
}

std::vector<std::string> ListSerialPorts() {
    return ListSerialPortsUnder("/sys/class/tty");
}

}  // namespace veltrin
