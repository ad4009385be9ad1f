// One pipette, one run, between two veltrin-cli processes: a second update on the port of a
// running one is refused in every phase of the first (its question, both restart countdowns
// with the port closed) and names the first's process; a killed run leaves the port free.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include "cliupdatefixture.h"
#include "engine/updateresult.h"

extern char** environ;

namespace veltrin {
namespace {

using test::CliResult;
using test::Contains;

// Answers every question with Yes, after running a hook when the first one is asked.
class HookedAnswers : public std::streambuf {
public:
    explicit HookedAnswers(std::function<void()> hook) : hook_(std::move(hook)) {}

protected:
    int_type underflow() override {
        if (hook_) {
            hook_();
            hook_ = nullptr;
        }
        if (gptr() == egptr() && !given_) {
            given_ = true;
            setg(answers_.data(), answers_.data(), answers_.data() + answers_.size());
        }
        return gptr() == egptr() ? traits_type::eof() : traits_type::to_int_type(*gptr());
    }

private:
    std::function<void()> hook_;
    std::string answers_ = "y\ny\ny\n";
    bool given_ = false;
};

class CliPortLockTest : public test::CliUpdateTest {
protected:
    std::vector<std::string> SecondArguments(const std::string& port, bool yes) {
        std::vector<std::string> args = {
            VELTRIN_CLI_PATH, "update",          "--server", server_->Origin() + "/pipette-update",
            "--ca-file",      certs_.CaCertFile, "--port",   port};
        if (yes)
            args.push_back("--yes");
        return args;
    }

    // Starts veltrin-cli as a process of its own, its output into a file; stdin a pipe that
    // stays open and silent, so a question waits for ever.
    pid_t Spawn(const std::vector<std::string>& args, const std::string& output, int& input) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0)
            return -1;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        std::vector<char*> argv;
        std::vector<std::string> copies = args;
        for (auto& arg : copies)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        pid_t pid = -1;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[0]);
        input = pipeEnds[1];
        return pid;
    }

    static std::string Read(const std::string& file) {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // A whole second run, to its end.
    CliResult RunSecond(const std::string& port) {
        const std::string output = (dir_.Path() / "second.txt").string();
        int input = -1;
        const pid_t pid = Spawn(SecondArguments(port, true), output, input);
        CliResult result;
        int status = 0;
        if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            result.Status = WEXITSTATUS(status);
        close(input);
        result.Out = Read(output);
        return result;
    }
};

TEST_F(CliPortLockTest, ASecondRunIsRefusedInEveryPhaseOfTheFirst) {
    Publish();
    PipetteSimulator sim(DeviceOptions(10));
    ASSERT_EQ(sim.Start(), 0);
    const std::string holder =
        "in use by another update run (test_veltrin_cli, process " + std::to_string(getpid()) + ")";
    std::vector<std::string> phases;
    std::vector<CliResult> refusals;
    const auto tryAgain = [&](const std::string& phase) {
        phases.push_back(phase);
        // The device path is a spelling of the same port.
        refusals.push_back(RunSecond("/dev/" + sim.PortName()));
    };

    HookedAnswers answers([&] { tryAgain("question"); });
    std::istream in(&answers);
    std::ostringstream out;
    std::ostringstream err;
    CliIo io{out, err, in, false, false};
    CliEnvironment environment;
    int countdownSeconds = 0;
    environment.Sleeper = [&](std::uint32_t ms) {
        if (ms < 500)
            return;
        // The third second of each 10 s countdown: the port is closed, the device restarting.
        if (++countdownSeconds % 10 == 3)
            tryAgain("countdown " + std::to_string(countdownSeconds / 10 + 1));
        SleepMilliseconds(15);
    };
    const int status = RunCli({"update", "--server", server_->Origin() + "/pipette-update",
                               "--ca-file", certs_.CaCertFile, "--port", sim.PortName()},
                              io, environment);

    EXPECT_EQ(status, 0) << out.str() << err.str();
    EXPECT_EQ(phases, (std::vector<std::string>{"question", "countdown 1", "countdown 2"}));
    for (std::size_t i = 0; i < refusals.size(); ++i) {
        EXPECT_EQ(refusals[i].Status, kUpdatePortInUse) << phases[i] << refusals[i].Out;
        EXPECT_TRUE(Contains(refusals[i].Out, sim.PortName() + " is in use")) << refusals[i].Out;
        EXPECT_TRUE(Contains(refusals[i].Out, holder)) << phases[i] << refusals[i].Out;
    }
}

TEST_F(CliPortLockTest, AKilledRunLeavesThePortFree) {
    Publish();
    PipetteSimulator sim(DeviceOptions(7));
    ASSERT_EQ(sim.Start(), 0);
    const std::string output = (dir_.Path() / "first.txt").string();
    int input = -1;
    // Without --yes the first run waits at its question, the port open and locked.
    const pid_t first = Spawn(SecondArguments(sim.PortName(), false), output, input);
    ASSERT_GT(first, 0);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!Contains(Read(output), "Start Update?") && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(Contains(Read(output), "Start Update?")) << Read(output);

    const CliResult refused = RunUpdate(sim, true);
    EXPECT_EQ(refused.Status, kUpdatePortInUse) << refused.Out;
    EXPECT_TRUE(Contains(refused.Err, "(veltrin-cli, process " + std::to_string(first) + ")"))
        << refused.Err;

    kill(first, SIGKILL);
    int status = 0;
    waitpid(first, &status, 0);
    close(input);
    const CliResult after = RunUpdate(sim, true);
    EXPECT_EQ(after.Status, 0) << after.Out;
}

}  // namespace
}  // namespace veltrin
