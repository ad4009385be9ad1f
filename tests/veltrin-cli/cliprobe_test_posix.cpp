// probe on a bench says for each pipette what an update with --yes would do there, and such an
// update over the same bench writes only the pipette that needs it.

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cliupdatefixture.h"
#include "jsondoc.h"
#include "sampledata.h"
#include "transport/portlock.h"

namespace veltrin {
namespace {

using test::Contains;
using test::kVersion;
using Json = nlohmann::json;

struct BenchPipette {
    const char* Title;
    int DeviceType;  // 0: no pipette, a port name that does not exist
    const char* Installed;
    bool HeldByAnotherRun;
    const char* Action;  // update_action of probe --json
    std::string Text;    // the table's UPDATE column
    bool Written;        // by update --yes over the bench
};

class CliProbeTest : public test::CliUpdateTest {
protected:
    std::string Run(const std::vector<std::string>& args, int& status,
                    std::string* stdOut = nullptr) {
        std::ostringstream out, err;
        std::istringstream in;
        CliIo io{out, err, in, false, false};
        CliEnvironment environment;
        environment.Sleeper = [](std::uint32_t ms) {
            if (ms >= 500)
                SleepMilliseconds(15);
        };
        status = RunCli(args, io, environment);
        if (stdOut != nullptr)
            *stdOut = out.str();
        return out.str() + err.str();
    }

    std::vector<std::string> ServerArgs() const {
        return {"--server", server_->Origin() + "/pipette-update", "--ca-file", certs_.CaCertFile};
    }
};

// The row of the table that starts with port, its columns apart by single blanks; or empty.
std::string RowOf(const std::string& table, const std::string& port) {
    std::istringstream lines(table);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(port + " ", 0) == 0) {
            std::string row;
            for (char c : line) {
                if (c != ' ' || row.empty() || row.back() != ' ')
                    row += c;
            }
            return row;
        }
    }
    return {};
}

TEST_F(CliProbeTest, ProbeSaysWhatTheUpdateWouldDoAndTheUpdateDoesJustThat) {
    Publish();
    const std::vector<BenchPipette> bench = {
        {"current", 10, kVersion, false, "up-to-date", "up to date", false},
        {"older", 10, "01.00.00", false, "update", std::string("update to ") + kVersion, true},
        {"newer", 10, "09.00.00", false, "newer-than-release", "newer than the release", false},
        {"unsupported", 5, "01.00.00", false, "not-supported", "not supported", false},
        {"held by another run", 10, "01.00.00", true, "in-use",
         "in use by another update run (test_veltrin_cli, process " + std::to_string(getpid()) +
             ")",
         false},
        {"missing", 0, "", false, "no-device", "no such port", false},
    };
    std::vector<std::unique_ptr<PipetteSimulator>> sims;
    std::vector<std::string> ports;
    std::unique_ptr<PortLock> held;
    for (const BenchPipette& pipette : bench) {
        if (pipette.DeviceType == 0) {
            sims.push_back(nullptr);
            ports.push_back("ttyNOPE97");
            continue;
        }
        SimOptions options = DeviceOptions(pipette.DeviceType);
        options.Version0 = pipette.Installed;
        options.Version1 = "01.02.00";
        options.InfoText = std::string("Bench ") + pipette.Title;
        sims.push_back(std::make_unique<PipetteSimulator>(options));
        ASSERT_EQ(sims.back()->Start(), 0) << pipette.Title;
        ports.push_back(sims.back()->PortName());
        if (pipette.HeldByAnotherRun) {
            PortLockHolder holder;
            ASSERT_EQ(AcquirePortLock(ports.back(), held, holder), 0);
        }
    }

    std::vector<std::string> probe = {"probe"};
    const std::vector<std::string> server = ServerArgs();
    probe.insert(probe.end(), server.begin(), server.end());
    probe.insert(probe.end(), ports.begin(), ports.end());
    int status = -1;
    const std::string table = Run(probe, status);
    EXPECT_EQ(status, 0) << table;
    EXPECT_TRUE(Contains(table, "PORT ")) << table;
    EXPECT_TRUE(Contains(table, std::string("Update data: Quorvan/plus ") + kVersion)) << table;

    probe.push_back("--json");
    std::string lines;
    Run(probe, status, &lines);
    std::vector<Json> objects;
    std::istringstream jsonLines(lines);
    for (std::string line; std::getline(jsonLines, line);)
        objects.push_back(Json::parse(line, nullptr, false));
    ASSERT_EQ(objects.size(), bench.size()) << lines;
    const auto documented = test::DocumentedJsonFields().at("`probe --json`");

    for (std::size_t i = 0; i < bench.size(); ++i) {
        const BenchPipette& pipette = bench[i];
        const std::string row = RowOf(table, ports[i]);
        EXPECT_TRUE(Contains(row, " " + pipette.Text)) << pipette.Title << '\n' << table;
        const Json& object = objects[i];
        EXPECT_EQ(test::FieldsOf(object), documented) << object;
        EXPECT_EQ(object["update_action"], pipette.Action) << pipette.Title;
        EXPECT_EQ(object["update_text"], pipette.Text) << pipette.Title;
        const bool readable = pipette.DeviceType != 0 && !pipette.HeldByAnotherRun;
        // What the update reads before its questions, and nothing of a port it may not open.
        if (readable) {
            EXPECT_TRUE(Contains(
                row, std::string(" ") + pipette.Installed + " 01.02.00 Bench " + pipette.Title))
                << table;
            EXPECT_EQ(object["version_text_0"].get<std::string>().rfind(pipette.Installed, 0), 0u)
                << object;
            EXPECT_EQ(object["info_text"], std::string("Bench ") + pipette.Title);
        } else {
            EXPECT_TRUE(object["version_text_0"].is_null()) << object;
        }
        // Where no pipette can be updated, the words of the update's "No device found" lines.
        const std::string cause = pipette.DeviceType == 5 ? "a device of an unsupported type ("
                                  : pipette.DeviceType == 10 && readable ? ""
                                                                         : pipette.Text;
        if (cause.empty()) {
            EXPECT_TRUE(object["cause"].is_null()) << object;
        } else {
            EXPECT_EQ(object["cause"].get<std::string>().rfind(cause, 0), 0u) << object;
        }
        if (sims[i]) {
            EXPECT_TRUE(sims[i]->WrittenBlocks().empty()) << pipette.Title;
        }
    }

    // Without update data the pipettes are still listed, each saying so.
    probe = {"probe", "--server", "file://" + (dir_.Path() / "nothing-here").string(), ports[1]};
    const std::string without = Run(probe, status);
    EXPECT_EQ(status, 0) << without;
    EXPECT_TRUE(Contains(RowOf(without, ports[1]), " update data unavailable")) << without;
    EXPECT_TRUE(Contains(without, "Update data unavailable.\n")) << without;

    // Update data with the other family's firmware only.
    const std::string otherFamily = (dir_.Path() / "other-family").string();
    std::filesystem::create_directories(otherFamily);
    sample::SampleSetOptions tarnovelleOnly;
    tarnovelleOnly.WithQuorvan = false;
    ASSERT_EQ(sample::WriteSampleSet(otherFamily, tarnovelleOnly), "");
    probe = {"probe", "--server", "file://" + otherFamily, ports[1]};
    const std::string noFirmware = Run(probe, status);
    EXPECT_EQ(status, 0) << noFirmware;
    EXPECT_TRUE(Contains(RowOf(noFirmware, ports[1]), " no firmware for this family"))
        << noFirmware;

    // The update of the whole bench writes only what probe said it would; a port without a
    // device says why, as a single update does.
    std::vector<std::string> update = {"update", "--yes"};
    update.insert(update.end(), server.begin(), server.end());
    for (const std::string& port : ports)
        update.insert(update.end(), {"--port", port});
    const std::string summary = Run(update, status);
    EXPECT_EQ(status, kExitSomeDevicesFailed) << summary;
    for (std::size_t i = 0; i < bench.size(); ++i) {
        if (sims[i]) {
            EXPECT_EQ(!sims[i]->WrittenBlocks().empty(), bench[i].Written) << bench[i].Title;
        }
    }
    EXPECT_TRUE(
        Contains(summary, "\n" + ports[3] + ": a device of an unsupported type (device type 5"))
        << summary;
    EXPECT_TRUE(Contains(summary, "\nttyNOPE97: no such port\n")) << summary;
}

}  // namespace
}  // namespace veltrin
