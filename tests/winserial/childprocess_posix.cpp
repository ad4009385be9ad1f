#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "childprocess.h"

namespace veltrin::winserial {

ChildResult RunChild(const std::vector<std::string>& argv, std::chrono::seconds limit) {
    ChildResult result;
    if (argv.empty())
        return result;
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0)
        return result;
    if (pid == 0) {
        // Its own group, so that Wine's helper processes go with it on a time-out.
        ::setpgid(0, 0);
        ::execvp(args[0], args.data());
        std::perror(args[0]);
        ::_exit(127);
    }
    ::setpgid(pid, pid);
    result.Started = true;

    // A pidfd becomes readable when the child ends: one poll gives exit or time-out, no
    // polling loop and no signal handler.
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (pidfd >= 0) {
        pollfd entry{pidfd, POLLIN, 0};
        int ready = 0;
        const auto end = std::chrono::steady_clock::now() + limit;
        do {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            ready = ::poll(&entry, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
        } while (ready < 0 && errno == EINTR);
        ::close(pidfd);
        if (ready == 0) {
            result.TimedOut = true;
            ::kill(-pid, SIGKILL);
        }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        result.ExitStatus = WEXITSTATUS(status);
    return result;
}

}  // namespace veltrin::winserial
