#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "childprocess.h"

extern char** environ;

namespace veltrin::bench {

ChildRun RunChild(const std::vector<std::string>& argv) {
    ChildRun run;
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return run;

    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return run;
    const auto end = std::chrono::steady_clock::now();
    run.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.WallMilliseconds = std::chrono::duration<double, std::milli>(end - start).count();
    run.PeakRssMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is KiB
    return run;
}

}  // namespace veltrin::bench
