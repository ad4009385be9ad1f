// An update run holds off shutdown and sleep from the claim of its port to its end, and says so
// in its events; without a login manager it still runs.

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cliupdatefixture.h"
#include "support/logindbus.h"

namespace veltrin::test {
namespace {

using Json = nlohmann::json;

class CliInhibitorTest : public CliUpdateTest {
protected:
    // A run whose countdowns (in the middle of the write) look at the login manager's locks.
    CliResult RunWatched(PipetteSimulator& sim, const LogindBus& bus,
                         const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args = {
            "update",       "--server",        server_->Origin() + "/pipette-update",
            "--ca-file",    certs_.CaCertFile, "--port",
            sim.PortName(), "--yes",           "--json"};
        args.insert(args.end(), extra.begin(), extra.end());
        std::ostringstream out;
        std::ostringstream err;
        std::istringstream in;
        CliIo io{out, err, in, false, false};
        CliEnvironment environment;
        environment.Sleeper = [&](std::uint32_t ms) {
            if (ms < 500)
                return;
            std::vector<ListedInhibitor> held;
            if (bus.ListInhibitors(held))
                heldDuringWrite_ = std::max<std::size_t>(heldDuringWrite_, held.size());
            SleepMilliseconds(15);
        };
        CliResult result;
        result.Status = RunCli(args, io, environment);
        result.StdOut = out.str();
        result.Out = out.str() + err.str();
        return result;
    }

    static Json InhibitorEvent(const CliResult& result) {
        std::istringstream lines(result.StdOut);
        std::string line;
        Json found;
        while (std::getline(lines, line)) {
            const Json event = Json::parse(line, nullptr, false);
            if (event.is_object() && event["event"] == "inhibitor") {
                EXPECT_TRUE(found.is_null()) << "a second inhibitor event";
                found = event;
            }
        }
        return found;
    }

    std::atomic<std::size_t> heldDuringWrite_{0};
};

TEST_F(CliInhibitorTest, TheWriteHoldsALoginManagerLockThatEndsWithTheRun) {
    Publish();
    LogindBus bus(dir_.File("bus"), true);
    ASSERT_EQ(bus.Error(), "");
    PipetteSimulator sim(DeviceOptions(10));
    ASSERT_EQ(sim.Start(), 0);

    const CliResult result = RunWatched(sim, bus);
    EXPECT_EQ(result.Status, 0) << result.Out;
    EXPECT_EQ(heldDuringWrite_.load(), 1u);
    const Json event = InhibitorEvent(result);
    ASSERT_TRUE(event.is_object()) << result.StdOut;
    EXPECT_EQ(event["held"], true);
    EXPECT_EQ(event["problem"], "");
    EXPECT_TRUE(bus.WaitForInhibitorCount(0)) << "the lock outlived the run";
}

TEST_F(CliInhibitorTest, WithoutLoginManagerTheRunGoesOnAndSaysSo) {
    Publish();
    LogindBus bus(dir_.File("bus"), false);
    ASSERT_EQ(bus.Error(), "");
    PipetteSimulator sim(DeviceOptions(6));
    ASSERT_EQ(sim.Start(), 0);

    const std::string trace = dir_.File("run.trace");
    const CliResult result = RunWatched(sim, bus, {"--trace", trace});
    EXPECT_EQ(result.Status, 0) << result.Out;
    const Json event = InhibitorEvent(result);
    ASSERT_TRUE(event.is_object()) << result.StdOut;
    EXPECT_EQ(event["held"], false);
    const std::string problem = event["problem"];
    EXPECT_NE(problem, "");
    std::ifstream file(trace, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(Contains(text, "No shutdown inhibitor could be taken: " + problem)) << text;
}

}  // namespace
}  // namespace veltrin::test
