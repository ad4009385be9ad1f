// What the front end tells a technician about a pipette that a run left in its bootloader.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cliupdatefixture.h"
#include "history/historyfile.h"
#include "history/historyreader.h"
#include "output/endadvice.h"
#include "protocol/clconnectpipetten.h"
#include "protocol/devicetypes.h"

namespace veltrin::test {
namespace {

constexpr std::uint16_t kRefused = 0x0103;

SimFault Refuse(int command, int memoryType, std::uint32_t at) {
    SimFault fault;
    fault.Kind = SimFaultKind::Status;
    fault.Status = kRefused;
    fault.Command = command;
    fault.MemoryType = memoryType;
    fault.Occurrence = at;
    return fault;
}

struct StopCase {
    const char* Title;
    int Mode;  // where the pipette starts
    std::vector<SimFault> Faults;
    int Status;
    bool InBootloader;
};

void PrintTo(const StopCase& c, std::ostream* os) {
    *os << c.Title;
}

class CliBootloaderAdviceTest : public CliUpdateTest,
                                public ::testing::WithParamInterface<StopCase> {};

TEST_P(CliBootloaderAdviceTest, TheAdviceFollowsWhereThePipetteWaits) {
    const StopCase& c = GetParam();
    Publish();
    SimOptions options = DeviceOptions(9);
    options.Mode = c.Mode;
    options.Faults = c.Faults;
    PipetteSimulator sim(options);
    ASSERT_EQ(sim.Start(), 0);

    const CliResult result = RunUpdate(sim, true);
    EXPECT_EQ(result.Status, c.Status) << result.Out;
    // The end texts' own hint stays; the advice beside it fits the pipette's state.
    EXPECT_TRUE(Contains(result.Out, "Restart update or unplug the device.\n")) << result.Out;
    const std::string bootloader = EndAdviceFor(c.Status, false, true);
    EXPECT_EQ(Contains(result.Out, bootloader + "\n"), c.InBootloader) << result.Out;
    EXPECT_EQ(Contains(result.Out, "keep it connected"), !c.InBootloader) << result.Out;
    if (c.InBootloader) {
        EXPECT_EQ(sim.State().Mode, 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Stops, CliBootloaderAdviceTest,
    ::testing::Values(
        StopCase{
            "ApplicationWriteRefused", 1, {Refuse(CMD_WRITE_MEMORY, MEM_INT_FLASH, 2)}, 11, true},
        StopCase{"DataWriteRefusedInBootloaderMode",
                 2,
                 {Refuse(CMD_WRITE_MEMORY, MEM_EXT_FLASH, 3)},
                 11,
                 true},
        StopCase{
            "WriteAndItsFailureSignalRefused",
            1,
            {Refuse(CMD_WRITE_MEMORY, MEM_INT_FLASH, 1), Refuse(CMD_SIGNAL_UPDATE_FAILED, -1, 1)},
            41,
            true},
        // Before the restart into the bootloader the application still runs.
        StopCase{"BootloaderWriteRefusedInApplicationMode",
                 1,
                 {Refuse(CMD_WRITE_MEMORY, MEM_EXT_FLASH, 1)},
                 11,
                 false}),
    [](const auto& info) { return std::string(info.param.Title); });

TEST_F(CliUpdateTest, SeveralDeviceSummaryShowsAHalfWrittenPipetteAsInterrupted) {
    Publish();
    SimOptions failing = DeviceOptions(9);
    failing.Faults = {Refuse(CMD_WRITE_MEMORY, MEM_INT_FLASH, 2)};
    PipetteSimulator broken(failing);
    PipetteSimulator good(DeviceOptions(6));
    ASSERT_EQ(broken.Start(), 0);
    ASSERT_EQ(good.Start(), 0);

    const CliResult result = RunUpdate(broken, true, "", {"--port", good.PortName()});
    const std::size_t row =
        result.Out.find("\n" + broken.PortName() + " ", result.Out.rfind("\nPORT "));
    ASSERT_NE(row, std::string::npos) << result.Out;
    const std::string line = result.Out.substr(row + 1, result.Out.find('\n', row + 1) - row - 1);
    EXPECT_TRUE(Contains(line, "-> in bootloader  interrupted, in its bootloader (code 11)"))
        << line;
    EXPECT_TRUE(
        Contains(result.Out, broken.PortName() + ": " + EndAdviceFor(11, false, true) + "\n"))
        << result.Out;
}

// A run refused for its battery changes nothing, but its record still says which pipette it was.
TEST_F(CliUpdateTest, ALowBatteryRecordNamesThePipetteAndTheAccount) {
    Publish();
    SimOptions options = DeviceOptions(9);
    options.Battery = 5;
    options.InfoText = "Lab 7 bench 2";
    PipetteSimulator sim(options);
    ASSERT_EQ(sim.Start(), 0);
    const std::string history = dir_.File("history.jsonl");

    const CliResult result = RunUpdate(sim, true, "", {}, history);
    EXPECT_EQ(result.Status, 6) << result.Out;
    std::vector<HistoryRecord> records;
    std::vector<std::string> warnings;
    std::string error;
    ASSERT_EQ(ReadHistoryFile(history, records, warnings, error), HISTORY_OK) << error;
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].InfoText, "Lab 7 bench 2");
    EXPECT_EQ(records[0].VersionText0.rfind("01.00.00", 0), 0u) << records[0].VersionText0;
    EXPECT_EQ(records[0].User, AccountName());
    EXPECT_FALSE(records[0].User.empty());
    EXPECT_TRUE(sim.WrittenBlocks().empty());
}

}  // namespace
}  // namespace veltrin::test
