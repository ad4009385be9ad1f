#include <fcntl.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>

#include "transport/runinhibitor.h"

namespace veltrin {

namespace {

// Everything logind can hold off: a key press or a closed lid would suspend a laptop as surely as
// the menu does.
constexpr char kWhat[] =
    "shutdown:sleep:idle:handle-power-key:handle-suspend-key:handle-hibernate-key:"
    "handle-lid-switch";
constexpr char kWho[] = "Veltrin pipette update";

// logind keeps the lock while any copy of this descriptor is open, and drops it by itself when
// the process ends in any way.
class LogindInhibitor final : public RunInhibitor {
public:
    explicit LogindInhibitor(int fd) : fd_(fd) {}
    ~LogindInhibitor() override { ::close(fd_); }
    LogindInhibitor(const LogindInhibitor&) = delete;
    LogindInhibitor& operator=(const LogindInhibitor&) = delete;

private:
    int fd_;
};

struct BusCloser {
    void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
struct MessageUnref {
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};

std::string ErrorText(int error, const sd_bus_error& busError) {
    if (busError.message != nullptr)
        return busError.message;
    return std::strerror(error);
}

}  // namespace

// sd_bus_open_system honours DBUS_SYSTEM_BUS_ADDRESS, so a test can point the run at its own bus.
int AcquireRunInhibitor(std::unique_ptr<RunInhibitor>& inhibitor, std::string& problem) {
    inhibitor.reset();
    problem.clear();
    sd_bus* rawBus = nullptr;
    int r = sd_bus_open_system(&rawBus);
    if (r < 0) {
        problem = std::string("no system bus: ") + std::strerror(-r);
        return -r;
    }
    std::unique_ptr<sd_bus, BusCloser> bus(rawBus);

    sd_bus_error busError = SD_BUS_ERROR_NULL;
    sd_bus_message* rawReply = nullptr;
    r = sd_bus_call_method(bus.get(), "org.freedesktop.login1", "/org/freedesktop/login1",
                           "org.freedesktop.login1.Manager", "Inhibit", &busError, &rawReply,
                           "ssss", kWhat, kWho, kRunInhibitReason, "block");
    std::unique_ptr<sd_bus_message, MessageUnref> reply(rawReply);
    if (r < 0) {
        problem = "the login manager refused an inhibitor: " + ErrorText(-r, busError);
        sd_bus_error_free(&busError);
        return -r;
    }
    int fd = -1;
    r = sd_bus_message_read(reply.get(), "h", &fd);
    if (r < 0) {
        problem = std::string("the login manager's answer is unusable: ") + std::strerror(-r);
        return -r;
    }
    // The descriptor belongs to the reply, which is freed below.
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    if (own < 0) {
        const int error = errno;
        problem = std::string("the inhibitor could not be kept: ") + std::strerror(error);
        return error;
    }
    inhibitor = std::make_unique<LogindInhibitor>(own);
    return 0;
}

}  // namespace veltrin
