#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "childprocess.h"

namespace veltrin::winserial {

namespace {

// Hands each complete line of what arrived to onLine; false once the pipe is at its end.
bool ForwardLines(int fd, std::string& pending,
                  const std::function<void(const std::string&)>& onLine) {
    char buffer[512];
    const ssize_t got = ::read(fd, buffer, sizeof(buffer));
    if (got < 0 && errno == EINTR)
        return true;
    if (got <= 0) {
        if (!pending.empty())
            onLine(pending);
        pending.clear();
        return false;
    }
    pending.append(buffer, static_cast<std::size_t>(got));
    for (std::size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
        std::string line = pending.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        pending.erase(0, end + 1);
        onLine(line);
    }
    return true;
}

}  // namespace

ChildResult RunChild(const std::vector<std::string>& argv, std::chrono::seconds limit,
                     const std::function<void(const std::string&)>& onLine) {
    ChildResult result;
    if (argv.empty())
        return result;
    int output[2] = {-1, -1};
    if (onLine && ::pipe(output) != 0)
        return result;
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0) {
        if (onLine) {
            ::close(output[0]);
            ::close(output[1]);
        }
        return result;
    }
    if (pid == 0) {
        // Its own group, so that Wine's helper processes go with it on a time-out.
        ::setpgid(0, 0);
        if (onLine) {
            ::dup2(output[1], STDOUT_FILENO);
            ::close(output[0]);
            ::close(output[1]);
        }
        ::execvp(args[0], args.data());
        std::perror(args[0]);
        ::_exit(127);
    }
    ::setpgid(pid, pid);
    result.Started = true;
    int reader = -1;
    if (onLine) {
        ::close(output[1]);
        reader = output[0];
    }
    std::string pending;

    // A pidfd becomes readable when the child ends: one poll gives exit or time-out, no
    // polling loop and no signal handler.
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    // (The program's output is read until its end or the program's, whichever comes first: a
    // Wine helper process may keep the pipe open after the program ended.)
    if (pidfd >= 0) {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            pollfd entries[2] = {{pidfd, POLLIN, 0}, {reader, POLLIN, 0}};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            const int ready = ::poll(entries, reader >= 0 ? 2 : 1,
                                     left.count() > 0 ? static_cast<int>(left.count()) : 0);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready == 0) {
                result.TimedOut = true;
                ::kill(-pid, SIGKILL);
                break;
            }
            if (reader >= 0 && entries[1].revents != 0 && !ForwardLines(reader, pending, onLine)) {
                ::close(reader);
                reader = -1;
            }
            if (ready < 0 || (entries[0].revents & POLLIN) != 0)
                break;
        }
        ::close(pidfd);
    }
    if (reader >= 0)
        ::close(reader);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        result.ExitStatus = WEXITSTATUS(status);
    return result;
}

}  // namespace veltrin::winserial
