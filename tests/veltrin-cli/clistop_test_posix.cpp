// veltrin-cli in its own process, stopped from outside while it writes a simulated pipette: a
// reader that goes away, a termination signal, a hang-up, Ctrl+C. Each run ends through its
// normal end with its history record, and the pipette takes the next run.

#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <fstream>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cliprocess_posix.h"
#include "cliupdatefixture.h"
#include "devicecommands.h"
#include "output/cliio.h"

namespace veltrin {
namespace {

using test::CliProcess;
using Json = nlohmann::json;

// Generous: a run to its end takes some seconds under the sanitizers.
constexpr std::chrono::seconds kBound{60};

// Holds the simulated pipette at the first block written to it, before its ACK, until released:
// the program is then in the middle of the write whatever the speed of the machine.
class WriteGate {
public:
    explicit WriteGate(PipetteSimulator& sim) : sim_(sim) {
        sim_.SetRequestListener([this](const SimRequest& request) {
            if (request.Command != SIM_WRITE_MEMORY)
                return;
            std::unique_lock<std::mutex> lock(lock_);
            if (held_)
                return;
            held_ = true;
            changed_.notify_all();
            changed_.wait(lock, [this] { return released_; });
        });
    }
    ~WriteGate() {
        Release();
        sim_.SetRequestListener(nullptr);
    }

    bool WaitHeld() {
        std::unique_lock<std::mutex> lock(lock_);
        return changed_.wait_for(lock, kBound, [this] { return held_; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(lock_);
        released_ = true;
        changed_.notify_all();
    }

private:
    PipetteSimulator& sim_;
    std::mutex lock_;
    std::condition_variable changed_;
    bool held_ = false;
    bool released_ = false;
};

class CliStopTest : public test::CliUpdateTest {
protected:
    void SetUp() override {
        test::CliUpdateTest::SetUp();
        Publish();
    }

    // A dispensing pipette in its bootloader: the write starts, and a finished run ends, without a
    // restart countdown.
    static SimOptions BootloaderOptions() {
        SimOptions options = DeviceOptions(7);
        options.Mode = 2;
        return options;
    }

    std::vector<std::string> Command(const PipetteSimulator& sim, bool json) const {
        std::vector<std::string> args = {VELTRIN_CLI_PATH, "update",
                                         "--server",       server_->Origin() + "/pipette-update",
                                         "--ca-file",      certs_.CaCertFile,
                                         "--port",         sim.PortName(),
                                         "--yes",          "--history-file",
                                         HistoryFile()};
        if (json)
            args.push_back("--json");
        return args;
    }

    std::string HistoryFile() const { return (dir_.Path() / "history.jsonl").string(); }
    std::string ErrFile() const { return (dir_.Path() / "stderr.txt").string(); }

    std::vector<Json> Records() const {
        std::ifstream file(HistoryFile());
        std::vector<Json> records;
        for (std::string line; std::getline(file, line);)
            records.push_back(Json::parse(line, nullptr, false));
        return records;
    }
};

struct StopCase {
    const char* Title;
    int Signal;        // sent while the pipette is held in the write; 0 none
    bool CloseOutput;  // the reader goes away after the first progress event
    int ExitStatus;
    const char* Outcome;
};

void PrintTo(const StopCase& c, std::ostream* os) {
    *os << c.Title;
}

class CliStopCaseTest : public CliStopTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(CliStopCaseTest, TheRunEndsThroughItsNormalEnd) {
    const StopCase& c = GetParam();
    PipetteSimulator sim(BootloaderOptions());
    ASSERT_EQ(sim.Start(), 0);
    {
        WriteGate gate(sim);
        CliProcess cli(Command(sim, true), ErrFile());
        ASSERT_TRUE(cli.Started());
        ASSERT_TRUE(cli.ReadUntil("\"event\":\"progress\"", kBound)) << cli.Seen();
        if (c.CloseOutput)
            cli.CloseOutput();
        ASSERT_TRUE(gate.WaitHeld());
        if (c.Signal != 0) {
            cli.Signal(c.Signal);
            // Passed on to the worker while the pipette still holds its block.
            EXPECT_TRUE(cli.ReadUntil("\"event\":\"cancel_requested\"", kBound)) << cli.Seen();
        }
        gate.Release();
        const int status = cli.Wait(kBound);
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), c.ExitStatus);
    }

    const std::vector<Json> records = Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]["outcome"], c.Outcome);
    const SimDeviceState state = sim.State();
    // The device was told how the run ended.
    EXPECT_EQ(state.UpdateFailedSignalled, c.ExitStatus == kExitCancelled ? 1u : 0u);
    EXPECT_EQ(state.UpdateSuccessShown, c.ExitStatus == 0 ? 1u : 0u);

    // A run that wrote the release leaves a current pipette: the next one reinstalls it.
    const test::CliResult next = RunUpdate(sim, true, "", {"--allow-reinstall"});
    EXPECT_EQ(next.Status, 0) << next.Out;
}

INSTANTIATE_TEST_SUITE_P(
    Stops, CliStopCaseTest,
    ::testing::Values(StopCase{"ClosedOutput", 0, true, 0, "success"},
                      StopCase{"Terminate", SIGTERM, false, kExitCancelled, "cancelled"},
                      StopCase{"HangUp", SIGHUP, false, kExitCancelled, "cancelled"},
                      StopCase{"Interrupt", SIGINT, false, kExitCancelled, "cancelled"}),
    [](const ::testing::TestParamInfo<StopCase>& info) { return info.param.Title; });

TEST_F(CliStopTest, PrintsLineByLineIntoAPipeAndASecondSignalEndsAtOnce) {
    PipetteSimulator sim(BootloaderOptions());
    ASSERT_EQ(sim.Start(), 0);
    WriteGate gate(sim);
    CliProcess cli(Command(sim, false), ErrFile());
    ASSERT_TRUE(cli.Started());
    ASSERT_TRUE(gate.WaitHeld());
    // The program is held mid-write: what it printed so far is in the pipe, not in its buffer.
    EXPECT_TRUE(cli.ReadUntil("  Update module 1/", kBound)) << cli.Seen();
    cli.Signal(SIGTERM);
    EXPECT_TRUE(cli.ReadUntil("Cancelling at the next safe point ...", kBound)) << cli.Seen();
    cli.Signal(SIGHUP);
    const int status = cli.Wait(kBound);
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), SIGHUP);
}

}  // namespace
}  // namespace veltrin
