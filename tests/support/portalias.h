#pragma once

#include <string>

namespace veltrin::testsupport {

// A second name under /dev for an existing port, the way a lab PC with many USB devices has
// ports such as ttyACM10: a symbolic link <dir>/ttyACM10 in a fresh folder below /dev/shm,
// pointing at /dev/<portName>. Name() is the bare port name the serial layer opens
// ("shm/veltrin-port-XXXXXX/ttyACM10"). Removed with its folder when the object goes.
class PortAlias {
public:
    PortAlias(const std::string& portName, const std::string& aliasName);
    ~PortAlias();
    PortAlias(const PortAlias&) = delete;
    PortAlias& operator=(const PortAlias&) = delete;

    // False when /dev/shm is missing or not writable; Name() is then empty.
    bool Ok() const { return !name_.empty(); }
    const std::string& Name() const { return name_; }

private:
    std::string folder_;
    std::string link_;
    std::string name_;
};

}  // namespace veltrin::testsupport
