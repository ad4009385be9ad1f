// One pipette, one run, between two veltrin-cli processes: a second update on the port of a
// running one is refused in every phase of the first (its question, both restart countdowns
// with the port closed) and names the first's process. (A killed holder: test_portlock.)
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "cliupdatefixture.h"
#include "engine/updateresult.h"

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
    // A whole second run in a process of its own, to its end.
    CliResult RunSecond(const std::string& port) {
        const std::string output = (dir_.Path() / "second.txt").string();
        std::string command;
        for (const std::string& arg :
             {std::string(VELTRIN_CLI_PATH), std::string("update"), std::string("--server"),
              server_->Origin() + "/pipette-update", std::string("--ca-file"), certs_.CaCertFile,
              std::string("--port"), port, std::string("--yes")}) {
            command += "'" + arg + "' ";
        }
        command += "< /dev/null > '" + output + "' 2>&1";
        CliResult result;
        const int status = std::system(command.c_str());
        if (status != -1 && WIFEXITED(status))
            result.Status = WEXITSTATUS(status);
        std::ifstream in(output);
        std::stringstream text;
        text << in.rdbuf();
        result.Out = text.str();
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

}  // namespace
}  // namespace veltrin
