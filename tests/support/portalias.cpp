#include "support/portalias.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace veltrin::testsupport {

namespace {
constexpr char kDev[] = "/dev/";
}  // namespace

PortAlias::PortAlias(const std::string& portName, const std::string& aliasName) {
    std::string pattern = std::string(kDev) + "shm/veltrin-port-XXXXXX";
    std::vector<char> folder(pattern.begin(), pattern.end());
    folder.push_back('\0');
    if (::mkdtemp(folder.data()) == nullptr)
        return;
    folder_ = folder.data();
    const std::string link = folder_ + "/" + aliasName;
    if (::symlink((kDev + portName).c_str(), link.c_str()) != 0)
        return;
    link_ = link;
    name_ = link.substr(sizeof(kDev) - 1);
}

PortAlias::~PortAlias() {
    if (!link_.empty())
        ::unlink(link_.c_str());
    if (!folder_.empty())
        ::rmdir(folder_.c_str());
}

}  // namespace veltrin::testsupport
