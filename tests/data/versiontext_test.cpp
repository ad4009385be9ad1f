#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "data/firmwarelayout.h"

using namespace veltrin;

namespace {

// A 32-byte buffer holding text followed by 'x' filler, as read out of an image.
struct Block {
    explicit Block(const std::string& text) {
        std::memset(bytes, 'x', sizeof bytes);
        std::memcpy(bytes, text.data(), text.size());
    }
    std::uint8_t bytes[32];
};

struct CompareCase {
    const char* First;
    const char* Second;
    int Result;
};

class CompareVersionsTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareVersionsTest, OrdersByTheThreeNumbers) {
    Block first(GetParam().First);
    Block second(GetParam().Second);
    EXPECT_EQ(CompareVersions(first.bytes, second.bytes), GetParam().Result);
}

INSTANTIATE_TEST_SUITE_P(Cases, CompareVersionsTest,
                         ::testing::Values(CompareCase{"01.02.03", "01.02.03", 0},
                                           CompareCase{"01.10.00", "01.09.99", 1},
                                           CompareCase{"00.99.99", "01.00.00", 2},
                                           CompareCase{"02.00.00", "10.00.00", 2},
                                           CompareCase{"01.02.04", "01.02.03", 1},
                                           // Characters after the eighth never count.
                                           CompareCase{"01.02.03abc", "01.02.03xyz", 0},
                                           CompareCase{"1.2.3", "01.02.03", 3},
                                           CompareCase{"01.02.03", "1.2.3", 3},
                                           CompareCase{"01.02.03", "", 3},
                                           CompareCase{"01-02-03", "01.02.03", 3},
                                           CompareCase{"01.02.0a", "01.02.03", 3}));

TEST(CompareVersions, TerminatesBothWellFormedTextsAtPositionEight) {
    Block first("01.02.03 build 7");
    Block second("01.02.04");
    EXPECT_EQ(CompareVersions(first.bytes, second.bytes), 2);
    EXPECT_STREQ(reinterpret_cast<const char*>(first.bytes), "01.02.03");
    EXPECT_STREQ(reinterpret_cast<const char*>(second.bytes), "01.02.04");
}

TEST(CompareVersions, LeavesBuffersAloneWhenATextIsMalformed) {
    Block first("01.02.03");
    Block second("garbage!");
    EXPECT_EQ(CompareVersions(first.bytes, second.bytes), 3);
    EXPECT_EQ(first.bytes[8], 'x');
}

TEST(IsVersionText, LooksAtTheFirstEightCharactersOnly) {
    EXPECT_TRUE(IsVersionText(Block("99.00.42").bytes));
    EXPECT_TRUE(IsVersionText(Block("01.02.03 and more").bytes));
    EXPECT_FALSE(IsVersionText(Block("01.02.3").bytes));
    EXPECT_FALSE(IsVersionText(Block(" 1.02.03").bytes));
    EXPECT_FALSE(IsVersionText(Block("01:02:03").bytes));
    EXPECT_FALSE(IsVersionText(nullptr));
}

// A version block: 8 + NUL, 12 + NUL, 8 + NUL.
Block VersionBlock(const std::string& version, const std::string& date, const std::string& time) {
    Block block("");
    std::memcpy(block.bytes, version.data(), version.size());
    std::memcpy(block.bytes + 9, date.data(), date.size());
    std::memcpy(block.bytes + 22, time.data(), time.size());
    return block;
}

struct MatchCase {
    const char* Name;
    Block First;
    Block Second;
    bool Match;
};

class VersionBlocksMatchTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(VersionBlocksMatchTest, ComparesTheThreeFields) {
    MatchCase c = GetParam();
    EXPECT_EQ(VersionBlocksMatch(c.First.bytes, c.Second.bytes), c.Match);
    for (int end : {8, 21, 30}) {
        EXPECT_EQ(c.First.bytes[end], 0);
        EXPECT_EQ(c.Second.bytes[end], 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionBlocksMatchTest,
    ::testing::Values(MatchCase{"Same", VersionBlock("01.02.03", "Dec 09 2026", "10:11:12"),
                                VersionBlock("01.02.03", "Dec 09 2026", "10:11:12"), true},
                      MatchCase{"VersionDiffers",
                                VersionBlock("01.02.03", "Dec 09 2026", "10:11:12"),
                                VersionBlock("01.02.04", "Dec 09 2026", "10:11:12"), false},
                      MatchCase{"DateDiffers", VersionBlock("01.02.03", "Dec 09 2026", "10:11:12"),
                                VersionBlock("01.02.03", "Dec 10 2026", "10:11:12"), false},
                      MatchCase{"TimeDiffers", VersionBlock("01.02.03", "Dec 09 2026", "10:11:12"),
                                VersionBlock("01.02.03", "Dec 09 2026", "10:11:13"), false},
                      // The terminators are forced: bytes at 8, 21 and 30 never take part.
                      MatchCase{"DifferOnlyAtTerminators", Block("01.02.03AxxxxxxxxxxxxBxxxxxxxxC"),
                                Block("01.02.03ZxxxxxxxxxxxxYxxxxxxxxX"), true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(VersionBlocksMatch, IgnoresBytesAfterAShortFieldsTerminator) {
    Block first = VersionBlock("01.02.03", "Dec 09", "10:11:12");
    Block second = VersionBlock("01.02.03", "Dec 09", "10:11:12");
    first.bytes[9 + 6] = 0;
    second.bytes[9 + 6] = 0;
    first.bytes[9 + 8] = 'A';
    second.bytes[9 + 8] = 'B';
    EXPECT_TRUE(VersionBlocksMatch(first.bytes, second.bytes));
}

}  // namespace
