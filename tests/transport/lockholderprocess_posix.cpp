#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "lockholderprocess.h"

extern char** environ;

namespace veltrin {

std::string FullPortSpelling(const std::string& port) {
    return "/dev/" + port;
}

}  // namespace veltrin

namespace veltrin::test {

bool LockHolderProcess::Start(const std::string& port) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::string self = "/proc/self/exe";
    std::string filter = "--gtest_filter=PortLockHolderChild.*";
    std::vector<char*> argv = {self.data(), filter.data(), nullptr};
    std::string variable = std::string(kLockHolderVariable) + "=" + port;
    std::vector<char*> env;
    for (char** e = environ; *e != nullptr; ++e)
        env.push_back(*e);
    env.push_back(variable.data());
    env.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        return false;
    }
    processId_ = pid;
    output_ = pipeEnds[0];
    // gtest's own lines come first; the child's word follows once the lock is held.
    std::string line;
    char c = 0;
    while (read(output_, &c, 1) == 1) {
        if (c != '\n') {
            line += c;
            continue;
        }
        if (line.rfind("held", 0) == 0)
            return true;
        line.clear();
    }
    return false;
}

void LockHolderProcess::Kill() {
    if (processId_ != 0) {
        kill(static_cast<pid_t>(processId_), SIGKILL);
        int status = 0;
        waitpid(static_cast<pid_t>(processId_), &status, 0);
        processId_ = 0;
    }
    if (output_ >= 0) {
        close(output_);
        output_ = -1;
    }
}

}  // namespace veltrin::test
