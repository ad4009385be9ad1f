#include "support/logindbus.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

extern char** environ;

namespace veltrin::test {

namespace {

constexpr auto kBound = std::chrono::seconds(30);
constexpr auto kPollStep = std::chrono::milliseconds(20);

pid_t Spawn(const std::vector<std::string>& args, int stdoutFd) {
    std::vector<char*> argv;
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    pid_t pid = -1;
    const int r = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return r == 0 ? pid : -1;
}

void Stop(pid_t pid) {
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
}

// A fresh connection per question, as the program under test makes one per run.
sd_bus* OpenBus() {
    sd_bus* bus = nullptr;
    return sd_bus_open_system(&bus) < 0 ? nullptr : bus;
}

}  // namespace

LogindBus::LogindBus(const std::string& folder, bool withLogind) {
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    int out[2];
    if (::pipe(out) != 0) {
        error_ = "no pipe";
        return;
    }
    daemon_ = Spawn({"/usr/bin/dbus-daemon", "--session", "--nofork", "--print-address",
                     "--address=unix:path=" + folder + "/system_bus_socket"},
                    out[1]);
    ::close(out[1]);
    // The daemon prints its address once it listens.
    char c = 0;
    while (::read(out[0], &c, 1) == 1 && c != '\n')
        address_ += c;
    ::close(out[0]);
    if (daemon_ < 0 || address_.empty()) {
        error_ = "dbus-daemon did not start";
        return;
    }
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address_.c_str(), 1);
    if (!withLogind)
        return;
    logind_ = Spawn({"/usr/bin/python3", "-m", "dbusmock", "--system", "--template", "logind"}, -1);
    if (logind_ < 0 || !WaitForLogind())
        error_ = "the login manager of python3-dbusmock did not appear on the bus";
}

LogindBus::~LogindBus() {
    Stop(logind_);
    Stop(daemon_);
    ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

bool LogindBus::WaitForLogind() {
    const auto end = std::chrono::steady_clock::now() + kBound;
    while (std::chrono::steady_clock::now() < end) {
        sd_bus* bus = OpenBus();
        if (bus == nullptr)
            return false;
        sd_bus_message* reply = nullptr;
        int owned = 0;
        const int r = sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                         "org.freedesktop.DBus", "NameHasOwner", nullptr, &reply,
                                         "s", "org.freedesktop.login1");
        if (r >= 0)
            sd_bus_message_read(reply, "b", &owned);
        sd_bus_message_unref(reply);
        sd_bus_flush_close_unref(bus);
        if (owned != 0)
            return true;
        // The mock's start-up announces nothing but its name on the bus.
        std::this_thread::sleep_for(kPollStep);
    }
    return false;
}

bool LogindBus::ListInhibitors(std::vector<ListedInhibitor>& inhibitors) const {
    inhibitors.clear();
    sd_bus* bus = OpenBus();
    if (bus == nullptr)
        return false;
    sd_bus_message* reply = nullptr;
    int r =
        sd_bus_call_method(bus, "org.freedesktop.login1", "/org/freedesktop/login1",
                           "org.freedesktop.login1.Manager", "ListInhibitors", nullptr, &reply, "");
    if (r >= 0)
        r = sd_bus_message_enter_container(reply, 'a', "(ssssuu)");
    while (r >= 0) {
        const char* what = nullptr;
        const char* who = nullptr;
        const char* why = nullptr;
        const char* mode = nullptr;
        std::uint32_t uid = 0;
        std::uint32_t pid = 0;
        r = sd_bus_message_read(reply, "(ssssuu)", &what, &who, &why, &mode, &uid, &pid);
        if (r <= 0)
            break;
        inhibitors.push_back({what, who, why, mode});
    }
    sd_bus_message_unref(reply);
    sd_bus_flush_close_unref(bus);
    return r >= 0;
}

bool LogindBus::WaitForInhibitorCount(std::size_t count) const {
    const auto end = std::chrono::steady_clock::now() + kBound;
    std::vector<ListedInhibitor> inhibitors;
    while (std::chrono::steady_clock::now() < end) {
        if (ListInhibitors(inhibitors) && inhibitors.size() == count)
            return true;
        // The mock drops a lock when it sees the descriptor's other end close, on its own time.
        std::this_thread::sleep_for(kPollStep);
    }
    return false;
}

}  // namespace veltrin::test
