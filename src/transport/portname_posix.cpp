#include <climits>
#include <cstdlib>
#include <memory>

#include "common/texttrim.h"
#include "transport/portname.h"

namespace veltrin {

namespace {

constexpr std::string_view kDeviceFolder = "/dev/";

}  // namespace

std::string BarePortName(std::string_view spelling) {
    std::string name = TrimText(std::string(spelling));
    if (name.rfind(kDeviceFolder, 0) == 0)
        name.erase(0, kDeviceFolder.size());
    return name;
}

std::string PortIdentity(std::string_view spelling) {
    const std::string bare = BarePortName(spelling);
    if (bare.empty())
        return bare;
    const std::string path = std::string(kDeviceFolder) + bare;
    const std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr),
                                                           &std::free);
    // Only a link that stays among the devices names the same port by another spelling.
    if (real == nullptr)
        return bare;
    const std::string resolved = real.get();
    if (resolved.rfind(kDeviceFolder, 0) != 0)
        return bare;
    return resolved.substr(kDeviceFolder.size());
}

}  // namespace veltrin
