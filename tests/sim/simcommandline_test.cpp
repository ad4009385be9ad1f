#include <gtest/gtest.h>

#include "simcommandline.h"

using namespace veltrin;

namespace {

TEST(SimCommandLineTest, FlagsReachTheOptions) {
    SimProgramSettings s = DefaultProgramSettings();
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--type",
                                  "6",
                                  "--mode",
                                  "2",
                                  "--battery",
                                  "12",
                                  "--version0",
                                  "02.00.01",
                                  "--variant",
                                  "0xB370",
                                  "--largest-block",
                                  "0",
                                  "--no-memory-info",
                                  "--restart-ms",
                                  "150",
                                  "--baud",
                                  "230400",
                                  "--flash-write-ms",
                                  "7",
                                  "--replug-after-ms",
                                  "30",
                                  "--log",
                                  "l.txt",
                                  "--dump",
                                  "d"},
                                 s, error))
        << error;
    EXPECT_EQ(s.Options.DeviceType, 6);
    EXPECT_EQ(s.Options.Mode, 2);
    EXPECT_EQ(s.Options.Battery, 12);
    EXPECT_EQ(s.Options.Version0, "02.00.01");
    EXPECT_EQ(s.Options.VariantId, 0xB370);
    EXPECT_EQ(s.Options.LargestBlock, 0);
    EXPECT_TRUE(s.Options.NoMemoryInfo);
    EXPECT_EQ(s.Options.RestartSilenceMs, 150u);
    EXPECT_EQ(s.Options.BaudRate, 230400u);
    EXPECT_EQ(s.Options.FlashWriteMs, 7u);
    EXPECT_EQ(s.Options.ReplugAfterMs, 30);
    EXPECT_EQ(s.LogFile, "l.txt");
    EXPECT_EQ(s.DumpDir, "d");
}

struct FaultCase {
    const char* Text;
    SimFaultKind Kind;
    int Command;
    int Memory;
    std::uint32_t At;
    std::uint32_t Repeat;
    std::uint16_t Status;
    std::uint32_t Length = 0;
};

class FaultParseTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultParseTest, Parses) {
    const FaultCase& c = GetParam();
    SimFault fault;
    std::string error;
    ASSERT_TRUE(ParseFault(c.Text, fault, error)) << error;
    EXPECT_EQ(fault.Kind, c.Kind);
    EXPECT_EQ(fault.Command, c.Command);
    EXPECT_EQ(fault.MemoryType, c.Memory);
    EXPECT_EQ(fault.Occurrence, c.At);
    EXPECT_EQ(fault.Repeat, c.Repeat);
    EXPECT_EQ(fault.Status, c.Status);
    EXPECT_EQ(fault.Length, c.Length);
}

INSTANTIATE_TEST_SUITE_P(
    FaultTexts, FaultParseTest,
    ::testing::Values(
        FaultCase{"nak", SimFaultKind::Nak, -1, -1, 1, 1, 0x0103},
        FaultCase{"garbage:at=4,repeat=3", SimFaultKind::Garbage, -1, -1, 4, 3, 0x0103},
        FaultCase{"checksum:command=readbootrecord", SimFaultKind::BadChecksum, 0x00A0, -1, 1, 1,
                  0x0103},
        FaultCase{"status:command=0x0202,at=2,status=0x0A05", SimFaultKind::Status, 0x0202, -1, 2,
                  1, 0x0A05},
        FaultCase{"silence:repeat=0", SimFaultKind::Silence, -1, -1, 1, 0, 0x0103},
        FaultCase{"hangup:command=WriteMemory,memory=int-flash,at=3", SimFaultKind::HangUp, 0x0202,
                  0, 3, 1, 0x0103},
        FaultCase{"short:command=ReadBootRecord,length=20", SimFaultKind::ShortAnswer, 0x00A0, -1,
                  1, 1, 0x0103, 20},
        FaultCase{"no-etx:length=9000", SimFaultKind::Unterminated, -1, -1, 1, 1, 0x0103, 9000}));

class BadArgumentTest : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(BadArgumentTest, RefusedWithAReason) {
    SimProgramSettings s = DefaultProgramSettings();
    std::string error;
    EXPECT_FALSE(ParseCommandLine(GetParam(), s, error));
    EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, BadArgumentTest,
    ::testing::Values(std::vector<std::string>{"--type"}, std::vector<std::string>{"--bogus", "1"},
                      std::vector<std::string>{"stray"},
                      std::vector<std::string>{"--battery", "-1"},
                      std::vector<std::string>{"--battery", "70000"},
                      std::vector<std::string>{"--baud", "fast"},
                      std::vector<std::string>{"--fault", "explode"},
                      std::vector<std::string>{"--fault", "nak:at=0"},
                      std::vector<std::string>{"--fault", "nak:when=3"},
                      std::vector<std::string>{"--fault", "status:command=Frobnicate"},
                      std::vector<std::string>{"--fault", "hangup:memory=flash"},
                      std::vector<std::string>{"--fault", "nak:at=2,"}));

}  // namespace
