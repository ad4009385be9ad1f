#include <gtest/gtest.h>

#include "hextext.h"

using namespace veltrin;
using namespace veltrin::testutil;

namespace {

class ExtractTest : public HexPassTest {};

using Bytes = std::vector<std::uint8_t>;

TEST_P(ExtractTest, HolesAreFilledWithFF) {
    const std::string text = Lines({DataLine(0x10, {1, 2}), DataLine(0x15, {3}), kEndOfFile});
    Bytes image;
    std::uint32_t lines = 0;
    EXPECT_EQ(Extract(image, text, Found(0x10, 0x15), &lines), HEX_OK);
    EXPECT_EQ(lines, 3u);
    EXPECT_EQ(image, (Bytes{1, 2, 0xFF, 0xFF, 0xFF, 3}));
}

TEST_P(ExtractTest, TakesOnlyBytesInsideTheRangeAndLaterRecordsWin) {
    const std::string text = Lines({LinearBase(0x0801), DataLine(0x0000, {1, 2, 3, 4, 5, 6}),
                                    DataLine(0x0002, {0xAA}), DataLine(0x0100, {9})});
    Bytes image;
    EXPECT_EQ(Extract(image, text, Found(0x08010001, 0x08010004)), HEX_OK);
    EXPECT_EQ(image, (Bytes{2, 0xAA, 4, 5}));
}

TEST_P(ExtractTest, UnknownRecordTypeIsCode8KeepingWhatWasStored) {
    const std::string text =
        Lines({DataLine(0, {1}), HexLine(0x03, 0, {0, 0, 0, 0}), DataLine(1, {2})});
    Bytes image;
    std::uint32_t lines = 0;
    EXPECT_EQ(Extract(image, text, Found(0, 2), &lines), HEX_ERR_UNKNOWN_RECORD_TYPE);
    EXPECT_EQ(lines, 2u);
    EXPECT_EQ(image, (Bytes{1, 0xFF, 0xFF}));
}

TEST_P(ExtractTest, ParsesWithTheScansCodes) {
    Bytes image;
    std::uint32_t lines = 0;
    EXPECT_EQ(Extract(image, Lines({DataLine(0, {1}), HexLine(0, 1, {2}, 3)}), Found(0, 1), &lines),
              HEX_ERR_CHECKSUM);
    EXPECT_EQ(lines, 2u);
    EXPECT_EQ(Extract(image, "\r\n", Found(0, 1), &lines), HEX_ERR_START_OF_LINE);
    EXPECT_EQ(lines, 1u);
    EXPECT_EQ(image.size(), 2u);
}

TEST_P(ExtractTest, StopsAtEndOfFileRecord) {
    const std::string text = Lines({DataLine(0, {1}), kEndOfFile, DataLine(1, {2}), "junk"});
    Bytes image;
    EXPECT_EQ(Extract(image, text, Found(0, 1)), HEX_OK);
    EXPECT_EQ(image, (Bytes{1, 0xFF}));
}

// The range is checked before anything else: reversed first (12), then nothing found (11).
TEST_P(ExtractTest, RefusesRangesWithoutData) {
    Bytes image = {1, 2, 3};
    std::uint32_t lines = 9;
    TSHexRange reversed = Found(5, 4);
    reversed.DataFound = 0;
    EXPECT_EQ(Extract(image, Lines({DataLine(0, {1})}), reversed, &lines),
              HEX_ERR_NO_DATA_IN_RANGE);
    EXPECT_TRUE(image.empty());
    EXPECT_EQ(lines, 0u);
    TSHexRange notFound = Found(4, 5);
    notFound.DataFound = 0;
    image = {1};
    EXPECT_EQ(Extract(image, Lines({DataLine(0, {1})}), notFound), HEX_ERR_ADDRESS_RANGE);
    EXPECT_TRUE(image.empty());
}

INSTANTIATE_TEST_SUITE_P(Sources, ExtractTest,
                         ::testing::Values(HexSource::File, HexSource::Memory), SourceName);

TEST(ExtractWithoutFile, SizesTheImageThenFailsWithCode2) {
    ClIntelHex hex;
    Bytes image;
    EXPECT_EQ(hex.ExtractRange(image, static_cast<std::FILE*>(nullptr), Found(0, 3)),
              HEX_ERR_OPEN_FILE);
    EXPECT_EQ(image, (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

// The worker's flow: one scan, then every found module from the same open file.
TEST(ExtractAfterScan, OneOpenFileServesTheScanAndEveryExtraction) {
    FilePtr file = TempFileWith(Lines(
        {DataLine(0x00, {1, 2}), DataLine(0x20, {3}), DataLine(0x22, {4}), kEndOfFile}, "\r\n"));
    TSHexRange ranges[] = {Range(0x00, 0x0F), Range(0x10, 0x2F)};
    ClIntelHex hex;
    ASSERT_EQ(hex.ScanRanges(file.get(), ranges, 2), HEX_OK);
    Bytes first;
    Bytes second;
    EXPECT_EQ(hex.ExtractRange(first, file.get(), ranges[0]), HEX_OK);
    EXPECT_EQ(hex.ExtractRange(second, file.get(), ranges[1]), HEX_OK);
    EXPECT_EQ(first, (Bytes{1, 2}));
    EXPECT_EQ(second, (Bytes{3, 0xFF, 4}));
}

}  // namespace
