#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace veltrin::test {

// One inhibitor lock as the login manager lists it.
struct ListedInhibitor {
    std::string What;
    std::string Who;
    std::string Why;
    std::string Mode;
};

// A private D-Bus daemon of the test's own, optionally with the login manager of python-dbusmock
// on it, and DBUS_SYSTEM_BUS_ADDRESS pointing at it while the object lives. Both processes end
// with the object.
class LogindBus {
public:
    LogindBus(const std::string& folder, bool withLogind);
    ~LogindBus();
    LogindBus(const LogindBus&) = delete;
    LogindBus& operator=(const LogindBus&) = delete;

    // Empty when the bus (and the login manager, if asked for) are up.
    const std::string& Error() const { return error_; }

    // The login manager's inhibitors; false when it could not be asked.
    bool ListInhibitors(std::vector<ListedInhibitor>& inhibitors) const;
    // Waits, with a generous bound, until the login manager lists count inhibitors.
    bool WaitForInhibitorCount(std::size_t count) const;

private:
    bool WaitForLogind();

    std::string address_;
    std::string error_;
    pid_t daemon_ = -1;
    pid_t logind_ = -1;
};

}  // namespace veltrin::test
