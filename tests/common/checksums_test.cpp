#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "common/checksums.h"

using namespace veltrin;

namespace {

const std::uint8_t* Bytes(std::string_view text) {
    return reinterpret_cast<const std::uint8_t*>(text.data());
}

struct CheckValue {
    const char* name;
    std::string_view input;
    std::uint16_t arc;
    std::uint16_t x25;
};

class ChecksumTest : public ::testing::TestWithParam<CheckValue> {};

// The published check values of both algorithms, and the empty input (the start values).
INSTANTIATE_TEST_SUITE_P(KnownValues, ChecksumTest,
                         ::testing::Values(CheckValue{"Digits", "123456789", 0xBB3D, 0x906E},
                                           CheckValue{"Abc", "abc", 0x9738, 0x9E25},
                                           CheckValue{"Empty", "", 0x0000, 0x0000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(ChecksumTest, MatchesTheCheckValue) {
    const CheckValue& c = GetParam();
    EXPECT_EQ(Crc16Arc(0, Bytes(c.input), c.input.size()), c.arc);
    EXPECT_EQ(Crc16X25(Bytes(c.input), c.input.size()), c.x25);
}

// The variant file is checked in chunks: any split must give the checksum of the whole.
TEST_P(ChecksumTest, ArcFedInChunksEqualsTheWhole) {
    const CheckValue& c = GetParam();
    for (std::size_t split = 0; split <= c.input.size(); ++split) {
        const std::uint16_t head = Crc16Arc(0, Bytes(c.input), split);
        EXPECT_EQ(Crc16Arc(head, Bytes(c.input) + split, c.input.size() - split), c.arc) << split;
    }
}

}  // namespace
