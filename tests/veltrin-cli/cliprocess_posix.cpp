#include "cliprocess_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace veltrin::test {

namespace {

// Whether fd became readable within bound.
bool WaitReadable(int fd, std::chrono::milliseconds bound) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, static_cast<int>(bound.count())) == 1;
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, const std::string& errFile) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // The program starts with the signals as a shell would give them, whatever this test's are.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    for (const int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP})
        sigaddset(&defaults, signal);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ) == 0) {
        pid_ = pid;
        pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    }
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(pipeEnds[1]);
    out_ = pipeEnds[0];
}

CliProcess::~CliProcess() {
    if (pid_ > 0 && !reaped_) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    CloseOutput();
    if (pidfd_ >= 0)
        ::close(pidfd_);
}

bool CliProcess::ReadLine(std::string& line, std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (;;) {
        const std::size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            seen_ += line + '\n';
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (out_ < 0 || left.count() <= 0 || !WaitReadable(out_, left))
            return false;
        char chunk[4096];
        const ssize_t count = ::read(out_, chunk, sizeof chunk);
        if (count <= 0)
            return false;
        buffer_.append(chunk, static_cast<std::size_t>(count));
    }
}

bool CliProcess::ReadUntil(const std::string& part, std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    std::string line;
    while (ReadLine(line, std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now()))) {
        if (line.find(part) != std::string::npos)
            return true;
    }
    return false;
}

void CliProcess::CloseOutput() {
    if (out_ >= 0)
        ::close(out_);
    out_ = -1;
}

void CliProcess::Signal(int signal) {
    if (pid_ > 0 && !reaped_)
        ::kill(pid_, signal);
}

int CliProcess::Wait(std::chrono::milliseconds bound) {
    if (pid_ <= 0 || reaped_)
        return -1;
    // Without a process descriptor (an old kernel) the wait has no bound.
    if (pidfd_ >= 0 && !WaitReadable(pidfd_, bound))
        return -1;
    int status = 0;
    if (::waitpid(pid_, &status, 0) != pid_)
        return -1;
    reaped_ = true;
    return status;
}

}  // namespace veltrin::test
