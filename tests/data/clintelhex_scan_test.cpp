#include <gtest/gtest.h>

#include <algorithm>

#include "hextext.h"

using namespace veltrin;
using namespace veltrin::testutil;

namespace {

class ScanTest : public HexPassTest {};

TEST_P(ScanTest, EmptyFileFindsNothing) {
    TSHexRange ranges[] = {Range(0, 0xFF), Range(0x100, 0x1FF)};
    ranges[0].DataFound = 1;  // stale values from an earlier scan must be reset
    ranges[0].DataEnd = 7;
    std::uint32_t lines = 99;
    EXPECT_EQ(Scan("", ranges, 2, &lines), HEX_OK);
    EXPECT_EQ(lines, 0u);
    for (const auto& range : ranges) {
        EXPECT_EQ(range.DataFound, 0);
        EXPECT_EQ(range.DataEnd, 0u);
        EXPECT_EQ(ClIntelHex::GetDataSize(range), 0u);
    }
}

// CR LF and LF line ends read alike; a blank LF line is skipped but counted, a blank CR LF
// line is refused because it starts with a carriage return.
struct LineEndCase {
    const char* Name;
    std::string Text;
    int Result;
    std::uint32_t Lines;
};

class LineEndTest : public ::testing::WithParamInterface<std::tuple<HexSource, LineEndCase>>,
                    public ::testing::Test {
protected:
    ClIntelHex hex;
};

TEST_P(LineEndTest, ReadsLikeTheFormatSays) {
    const auto& [source, c] = GetParam();
    std::uint8_t buffer[4] = {};
    TSHexRange range = Range(0x10, 0x13, buffer);
    std::uint32_t lines = 0;
    int result;
    if (source == HexSource::Memory) {
        result = hex.ScanRanges(c.Text, &range, 1, &lines);
    } else {
        FilePtr file = TempFileWith(c.Text);
        result = hex.ScanRanges(file.get(), &range, 1, &lines);
    }
    EXPECT_EQ(result, c.Result);
    EXPECT_EQ(lines, c.Lines);
    if (c.Result == HEX_OK) {
        EXPECT_EQ(range.DataFound, 1);
        EXPECT_EQ(buffer[0], 0xAA);
        EXPECT_EQ(buffer[3], 0xDD);
    }
}

const std::string kData = DataLine(0x10, {0xAA, 0xBB, 0xCC, 0xDD});

INSTANTIATE_TEST_SUITE_P(
    Cases, LineEndTest,
    ::testing::Combine(
        ::testing::Values(HexSource::File, HexSource::Memory),
        ::testing::Values(
            LineEndCase{"Lf", Lines({kData, kEndOfFile}), HEX_OK, 2},
            LineEndCase{"CrLf", Lines({kData, kEndOfFile}, "\r\n"), HEX_OK, 2},
            LineEndCase{"NoFinalLineEnd", kData + "\n" + kEndOfFile, HEX_OK, 2},
            LineEndCase{"NoEndRecord", kData + "\r\n", HEX_OK, 1},
            LineEndCase{"BlankLfLineSkipped", kData + "\n\n\n" + kEndOfFile + "\n", HEX_OK, 4},
            LineEndCase{"BlankCrLfLineRefused", kData + "\r\n\r\n" + kEndOfFile + "\r\n",
                        HEX_ERR_START_OF_LINE, 2},
            LineEndCase{"LowerCaseDigits", ":04001000aabbccdd" + kData.substr(17) + "\n", HEX_OK,
                        1},
            LineEndCase{"TextAfterChecksumIgnored", kData + " trailing words\n", HEX_OK, 1})),
    [](const auto& info) {
        return std::string(std::get<0>(info.param) == HexSource::File ? "File" : "Memory") +
               std::get<1>(info.param).Name;
    });

// Each malformed line stops the pass with its code and the line counter names the line.
struct BadLineCase {
    const char* Name;
    std::string Line;
    int Result;
};

class BadLineTest : public ::testing::WithParamInterface<std::tuple<HexSource, BadLineCase>>,
                    public ::testing::Test {};

TEST_P(BadLineTest, StopsAtTheOffendingLine) {
    const auto& [source, c] = GetParam();
    const std::string text = Lines({DataLine(0, {1, 2}), "", c.Line, DataLine(8, {3})});
    TSHexRange range = Range(0, 0xFF);
    std::uint32_t lines = 0;
    ClIntelHex hex;
    int result;
    if (source == HexSource::Memory) {
        result = hex.ScanRanges(text, &range, 1, &lines);
    } else {
        FilePtr file = TempFileWith(text);
        result = hex.ScanRanges(file.get(), &range, 1, &lines);
    }
    EXPECT_EQ(result, c.Result);
    EXPECT_EQ(lines, 3u);
    // What came before the offending line is kept; nothing after it is read.
    EXPECT_EQ(range.DataFound, 1);
    EXPECT_EQ(range.DataStart, 0u);
    EXPECT_EQ(range.DataEnd, 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadLineTest,
    ::testing::Combine(
        ::testing::Values(HexSource::File, HexSource::Memory),
        ::testing::Values(
            BadLineCase{"WrongChecksum", HexLine(0, 0x20, {5, 6}, 1), HEX_ERR_CHECKSUM},
            BadLineCase{"MissingColon", HexLine(0, 0x20, {5, 6}).substr(1), HEX_ERR_START_OF_LINE},
            BadLineCase{"LeadingBlank", " " + HexLine(0, 0x20, {5}), HEX_ERR_START_OF_LINE},
            BadLineCase{"BadCount", ":G2002000050600", HEX_ERR_BYTE_COUNT},
            BadLineCase{"CountCutShort", ":0", HEX_ERR_BYTE_COUNT},
            BadLineCase{"BadDataDigit", ":02002000X506D3", HEX_ERR_DATA_BYTE},
            BadLineCase{"LineShorterThanCount", ":1000200005", HEX_ERR_DATA_BYTE},
            BadLineCase{"NulInsideRecord",
                        std::string(":0200200005\0"
                                    "6D3",
                                    15),
                        HEX_ERR_DATA_BYTE},
            BadLineCase{"Type03", HexLine(0x03, 0, {0, 0, 0, 0}), HEX_ERR_RECORD_TYPE},
            BadLineCase{"TypeFF", HexLine(0xFF, 0, {}), HEX_ERR_RECORD_TYPE},
            BadLineCase{"LinearBaseOneByte", HexLine(0x04, 0, {0x08}), HEX_ERR_ADDRESS_OFFSET},
            BadLineCase{"LinearBaseThreeBytes", HexLine(0x04, 0, {0, 8, 1}),
                        HEX_ERR_ADDRESS_OFFSET},
            BadLineCase{"SegmentBaseEmpty", HexLine(0x02, 0, {}), HEX_ERR_ADDRESS_OFFSET},
            BadLineCase{"StartAddressShort", HexLine(0x05, 0, {0, 0}), HEX_ERR_ADDRESS_OFFSET})),
    [](const auto& info) {
        return std::string(std::get<0>(info.param) == HexSource::File ? "File" : "Memory") +
               std::get<1>(info.param).Name;
    });

TEST_P(ScanTest, RecordsAfterEndOfFileAreNeverRead) {
    const std::string text =
        Lines({DataLine(0, {1}), kEndOfFile, "garbage that is no record", DataLine(4, {2})});
    TSHexRange range = Range(0, 0xFF);
    std::uint32_t lines = 0;
    EXPECT_EQ(Scan(text, &range, 1, &lines), HEX_OK);
    EXPECT_EQ(lines, 2u);
    EXPECT_EQ(range.DataEnd, 0u);
}

// Both base records replace the base completely, whichever set it before.
TEST_P(ScanTest, BaseRecordsPlaceDataRecords) {
    const std::string text =
        Lines({LinearBase(0x0801), DataLine(0x0000, {0x11}), SegmentBase(0x1000),
               DataLine(0x0010, {0x22}), LinearBase(0x0000), DataLine(0x0003, {0x33}),
               HexLine(0x05, 0, {0x08, 0x01, 0x00, 0x00}), kEndOfFile});
    std::uint8_t linear[1] = {};
    std::uint8_t segment[1] = {};
    std::uint8_t low[1] = {};
    TSHexRange ranges[] = {Range(0x08010000, 0x08010000, linear), Range(0x10010, 0x10010, segment),
                           Range(0x3, 0x3, low)};
    EXPECT_EQ(Scan(text, ranges, 3), HEX_OK);
    EXPECT_EQ(linear[0], 0x11);
    EXPECT_EQ(segment[0], 0x22);
    EXPECT_EQ(low[0], 0x33);
    for (const auto& range : ranges)
        EXPECT_EQ(ClIntelHex::GetDataSize(range), 1u);
}

TEST_P(ScanTest, DataRecordsDoNotWrapAt64KiB) {
    const std::string text = Lines({LinearBase(0x0001), DataLine(0xFFFE, {1, 2, 3, 4})});
    TSHexRange range = Range(0x1FFFE, 0x20001);
    EXPECT_EQ(Scan(text, &range, 1), HEX_OK);
    EXPECT_EQ(range.DataStart, 0x1FFFEu);
    EXPECT_EQ(range.DataEnd, 0x20001u);
}

TEST_P(ScanTest, AddressPastFourGigabytesIsRefused) {
    const std::string text =
        Lines({LinearBase(0xFFFF), DataLine(0xFFF0, std::vector<std::uint8_t>(16, 1)),
               DataLine(0xFFF8, std::vector<std::uint8_t>(16, 2))});
    TSHexRange range = Range(0xFFFF0000, 0xFFFFFFFF);
    std::uint32_t lines = 0;
    EXPECT_EQ(Scan(text, &range, 1, &lines), HEX_ERR_ADDRESS);
    EXPECT_EQ(lines, 3u);
    EXPECT_EQ(range.DataEnd, 0xFFFFFFFFu);  // the record that ends exactly at the top is fine
}

TEST_P(ScanTest, RecordCrossingRangeEndContributesOnlyItsBytesInside) {
    std::vector<std::uint8_t> buffer(4, 0x55);
    buffer.shrink_to_fit();  // exactly the range: a write past it is caught by the sanitizer
    TSHexRange range = Range(0x102, 0x105, buffer.data());
    EXPECT_EQ(Scan(Lines({DataLine(0x100, {0, 1, 2, 3, 4, 5, 6, 7})}), &range, 1), HEX_OK);
    EXPECT_EQ(range.DataStart, 0x102u);
    EXPECT_EQ(range.DataEnd, 0x105u);
    EXPECT_EQ(buffer, (std::vector<std::uint8_t>{2, 3, 4, 5}));
}

TEST_P(ScanTest, OverlappingEntriesBothReceiveTheByte) {
    std::uint8_t first[8] = {};
    std::uint8_t second[8] = {};
    TSHexRange ranges[] = {Range(0x00, 0x07, first), Range(0x04, 0x0B, second)};
    EXPECT_EQ(Scan(Lines({DataLine(0x05, {0xAB})}), ranges, 2), HEX_OK);
    EXPECT_EQ(first[5], 0xAB);
    EXPECT_EQ(second[1], 0xAB);
    EXPECT_EQ(ranges[0].DataStart, 5u);
    EXPECT_EQ(ranges[1].DataStart, 5u);
}

TEST_P(ScanTest, TracksLowestAndHighestAddressAcrossRecordsInAnyOrder) {
    const std::string text =
        Lines({DataLine(0x50, {1, 2}), DataLine(0x20, {3}), DataLine(0x60, {4, 5, 6})});
    TSHexRange range = Range(0x00, 0xFF);
    EXPECT_EQ(Scan(text, &range, 1), HEX_OK);
    EXPECT_EQ(range.DataStart, 0x20u);
    EXPECT_EQ(range.DataEnd, 0x62u);
    EXPECT_EQ(ClIntelHex::GetDataSize(range), 0x43u);
}

TEST_P(ScanTest, BufferIsPrefilledWithZerosWhereTheImageHasNoData) {
    std::uint8_t buffer[6];
    std::fill(std::begin(buffer), std::end(buffer), 0x77);
    TSHexRange range = Range(0x10, 0x15, buffer);
    EXPECT_EQ(Scan(Lines({DataLine(0x12, {0xFF})}), &range, 1), HEX_OK);
    EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 6),
              (std::vector<std::uint8_t>{0, 0, 0xFF, 0, 0, 0}));
}

TEST_P(ScanTest, EntryEndingBelowItsStartStopsBeforeTheFileIsRead) {
    TSHexRange ranges[] = {Range(0, 0xF), Range(0x20, 0x10), Range(0x30, 0x3F)};
    ranges[0].DataFound = 1;
    ranges[2].DataFound = 1;
    ranges[2].DataEnd = 0x33;
    std::uint32_t lines = 5;
    EXPECT_EQ(Scan(Lines({DataLine(0, {1})}), ranges, 3, &lines), HEX_ERR_PARAMETERS);
    EXPECT_EQ(lines, 0u);
    EXPECT_EQ(ranges[0].DataFound, 0);  // reset, but no data recorded
    EXPECT_EQ(ranges[2].DataFound, 1);  // untouched
    EXPECT_EQ(ranges[2].DataEnd, 0x33u);
}

// A line is read up to its line feed but at most 529 characters; the rest is the next line.
TEST_P(ScanTest, OverLongLinesAreReadInTwoPieces) {
    const std::string record = DataLine(0, std::vector<std::uint8_t>(255, 0x5A));  // 521 chars
    const std::string exact = record + std::string(529 - record.size(), ' ');
    TSHexRange range = Range(0, 0x1FF);
    std::uint32_t lines = 0;

    // 529 characters, then the line feed alone: a blank second piece, skipped.
    EXPECT_EQ(Scan(exact + "\n" + kEndOfFile + "\n", &range, 1, &lines), HEX_OK);
    EXPECT_EQ(lines, 3u);
    EXPECT_EQ(range.DataEnd, 254u);

    // One more character: the second piece starts with it and is refused.
    EXPECT_EQ(Scan(exact + "x\n", &range, 1, &lines), HEX_ERR_START_OF_LINE);
    EXPECT_EQ(lines, 2u);

    // ... unless it happens to start a record.
    EXPECT_EQ(Scan(exact + DataLine(0x100, {7}) + "\n", &range, 1, &lines), HEX_OK);
    EXPECT_EQ(lines, 2u);
    EXPECT_EQ(range.DataEnd, 0x100u);
}

TEST_P(ScanTest, RescanningTheSameFileGivesTheSameResult) {
    FilePtr file = TempFileWith(Lines({DataLine(0x10, {1, 2, 3}), kEndOfFile}));
    TSHexRange range = Range(0, 0xFF);
    for (int pass = 0; pass < 2; ++pass) {
        std::uint32_t lines = 0;
        EXPECT_EQ(hex.ScanRanges(file.get(), &range, 1, &lines), HEX_OK);
        EXPECT_EQ(lines, 2u);
        EXPECT_EQ(range.DataStart, 0x10u);
        EXPECT_EQ(range.DataEnd, 0x12u);
    }
}

INSTANTIATE_TEST_SUITE_P(Sources, ScanTest, ::testing::Values(HexSource::File, HexSource::Memory),
                         SourceName);

TEST(ScanWithoutFile, ResetsTheTableThenFailsWithCode2) {
    TSHexRange range = Range(0, 0xF);
    range.DataFound = 1;
    std::uint32_t lines = 7;
    ClIntelHex hex;
    EXPECT_EQ(hex.ScanRanges(static_cast<std::FILE*>(nullptr), &range, 1, &lines),
              HEX_ERR_OPEN_FILE);
    EXPECT_EQ(range.DataFound, 0);
    EXPECT_EQ(lines, 0u);
}

// Lines that straddle the file reader's internal buffer must read exactly as from memory.
TEST(ScanLargeFile, FileAndMemoryAgreeAcrossReadBuffers) {
    std::vector<std::string> lines = {LinearBase(0x0040)};
    std::uint32_t highest = 0;
    for (std::uint32_t i = 0; i < 20000; ++i) {
        // Varying lengths so that line ends fall at every offset of a buffer.
        std::vector<std::uint8_t> data(1 + i % 31, static_cast<std::uint8_t>(i));
        lines.push_back(DataLine(static_cast<std::uint16_t>(i * 3), data));
        highest =
            std::max(highest, 0x400000u + i * 3 + static_cast<std::uint32_t>(data.size()) - 1);
    }
    lines.push_back(kEndOfFile);
    const std::string text = Lines(lines, "\r\n");
    ASSERT_GT(text.size(), 600u * 1024);

    ClIntelHex hex;
    TSHexRange fromFile[] = {Range(0x400000, 0x40FFFF), Range(0x400100, 0x4001FF)};
    TSHexRange fromMemory[] = {Range(0x400000, 0x40FFFF), Range(0x400100, 0x4001FF)};
    std::uint32_t fileLines = 0;
    std::uint32_t memoryLines = 0;
    FilePtr file = TempFileWith(text);
    EXPECT_EQ(hex.ScanRanges(file.get(), fromFile, 2, &fileLines), HEX_OK);
    EXPECT_EQ(hex.ScanRanges(text, fromMemory, 2, &memoryLines), HEX_OK);
    EXPECT_EQ(fileLines, lines.size());
    EXPECT_EQ(memoryLines, fileLines);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(fromFile[i].DataStart, fromMemory[i].DataStart);
        EXPECT_EQ(fromFile[i].DataEnd, fromMemory[i].DataEnd);
    }
    EXPECT_EQ(fromFile[0].DataEnd, highest);
}

// GetDataSize counts DataStart..DataEnd only for an entry whose found data lies in its range.
struct DataSizeCase {
    const char* Name;
    TSHexRange Range;
    std::uint32_t Size;
};

class DataSizeTest : public ::testing::TestWithParam<DataSizeCase> {};

TEST_P(DataSizeTest, Counts) {
    EXPECT_EQ(ClIntelHex::GetDataSize(GetParam().Range), GetParam().Size);
}

TSHexRange Entry(std::uint32_t start, std::uint32_t end, std::uint32_t dataStart,
                 std::uint32_t dataEnd, std::uint8_t found) {
    TSHexRange range = Range(start, end);
    range.DataStart = dataStart;
    range.DataEnd = dataEnd;
    range.DataFound = found;
    return range;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataSizeTest,
    ::testing::Values(DataSizeCase{"Normal", Entry(0x100, 0x1FF, 0x110, 0x11F, 1), 16},
                      DataSizeCase{"SingleByte", Entry(0x100, 0x1FF, 0x100, 0x100, 1), 1},
                      DataSizeCase{"NothingFound", Entry(0x100, 0x1FF, 0x110, 0x11F, 0), 0},
                      DataSizeCase{"EmptySlotAtZero", Entry(0, 0, 0, 0, 1), 0},
                      DataSizeCase{"StartBelowRange", Entry(0x100, 0x1FF, 0xFF, 0x11F, 1), 0},
                      DataSizeCase{"EndAboveRange", Entry(0x100, 0x1FF, 0x110, 0x200, 1), 0},
                      DataSizeCase{"Reversed", Entry(0x100, 0x1FF, 0x120, 0x110, 1), 0},
                      DataSizeCase{"WholeAddressSpace", Entry(1, 0xFFFFFFFF, 1, 0xFFFFFFFF, 1),
                                   0xFFFFFFFF}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ScanEmptySlot, DataAtAddressZeroLeavesAnEmptySlotEmpty) {
    TSHexRange range = Range(0, 0);
    ClIntelHex hex;
    EXPECT_EQ(hex.ScanRanges(Lines({DataLine(0, {1})}), &range, 1), HEX_OK);
    EXPECT_EQ(range.DataFound, 1);
    EXPECT_EQ(ClIntelHex::GetDataSize(range), 0u);
}

TEST(IntelHexTexts, EveryCodeHasItsText) {
    EXPECT_STREQ(ClIntelHex::GetResultText(HEX_OK), "No error!");
    EXPECT_STREQ(ClIntelHex::GetResultText(HEX_ERR_UNKNOWN_RECORD_TYPE), "Unknown record type!");
    EXPECT_STREQ(ClIntelHex::GetResultText(HEX_ERR_PARAMETERS),
                 "Error while read/write array with parameters!");
    EXPECT_STREQ(ClIntelHex::GetResultText(1), "");
}

}  // namespace
