#include <cctype>

#include "common/texttrim.h"
#include "transport/portname.h"

namespace veltrin {

namespace {

// The device namespace, and the form that skips the path parsing; both name the same port.
constexpr std::string_view kDevicePrefixes[] = {"\\\\.\\", "\\\\?\\"};

}  // namespace

std::string BarePortName(std::string_view spelling) {
    std::string name = TrimText(std::string(spelling));
    for (const std::string_view prefix : kDevicePrefixes) {
        if (name.rfind(prefix, 0) == 0) {
            name.erase(0, prefix.size());
            break;
        }
    }
    return name;
}

std::string PortIdentity(std::string_view spelling) {
    std::string name = BarePortName(spelling);
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

}  // namespace veltrin
