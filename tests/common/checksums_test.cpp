#include <gtest/gtest.h>

#include <string_view>

#include "common/checksums.h"

using namespace veltrin;

namespace {

const std::uint8_t* Bytes(std::string_view text) {
    return reinterpret_cast<const std::uint8_t*>(text.data());
}

// The variant file is checked in chunks and the frames in one piece: any split must give the
// checksum of the whole, and the whole the published check value.
TEST(ChecksumTest, ArcFedInChunksEqualsTheWhole) {
    const std::string_view input = "123456789";
    EXPECT_EQ(Crc16Arc(0, Bytes(input), input.size()), 0xBB3D);
    for (std::size_t split = 0; split <= input.size(); ++split) {
        const std::uint16_t head = Crc16Arc(0, Bytes(input), split);
        EXPECT_EQ(Crc16Arc(head, Bytes(input) + split, input.size() - split), 0xBB3D) << split;
    }
}

TEST(ChecksumTest, X25MatchesItsCheckValue) {
    EXPECT_EQ(Crc16X25(Bytes("123456789"), 9), 0x906E);
    EXPECT_EQ(Crc16X25(Bytes(""), 0), 0x0000);
}

}  // namespace
