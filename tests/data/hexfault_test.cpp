// A failed pass names the line and what was wrong there, from a real scan of a real image.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <memory>

#include "data/hexfault.h"
#include "hextext.h"

namespace veltrin {
namespace {

using testutil::DataLine;
using testutil::HexLine;
using testutil::Lines;

struct FaultCase {
    const char* Name;
    std::string BadLine;  // placed as line 3, after a base and a good data line
    int Code;
    const char* Detail;
};

class HexFaultTest : public testing::TestWithParam<FaultCase> {
protected:
    std::string Image() const {
        return Lines({testutil::LinearBase(0x0070), DataLine(0x0000, {1, 2, 3, 4}),
                      GetParam().BadLine, DataLine(0x0010, {5})});
    }
};

TEST_P(HexFaultTest, TheScanSaysWhereAndWhat) {
    const std::string image = Image();
    ClIntelHex reader;
    TSHexRange range;
    range.StartAddress = 0;
    range.EndAddress = 0xFFFFFFFF;
    std::uint32_t line = 0;
    const int code = reader.ScanRanges(image, &range, 1, &line);
    ASSERT_EQ(code, GetParam().Code);
    EXPECT_EQ(DescribeHexFault(image, line, code), std::string("line 3: ") + GetParam().Detail);

    // The same from the open file the worker and the download hand over.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), std::fclose);
    ASSERT_TRUE(file);
    ASSERT_EQ(std::fwrite(image.data(), 1, image.size(), file.get()), image.size());
    EXPECT_EQ(DescribeHexFault(file.get(), line, code),
              std::string("line 3: ") + GetParam().Detail);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, HexFaultTest,
    testing::Values(
        FaultCase{"checksum", HexLine(0x00, 0x0004, {0xAA, 0xBB}, -1), HEX_ERR_CHECKSUM,
                  "checksum 0x94, expected 0x95"},
        FaultCase{"start", "X" + DataLine(0x0004, {1}).substr(1), HEX_ERR_START_OF_LINE,
                  "starts with 'X' instead of ':'"},
        FaultCase{"crlf blank", "\r", HEX_ERR_START_OF_LINE,
                  "starts with a carriage return instead of ':'"},
        FaultCase{"count", ":G1000400FF", HEX_ERR_BYTE_COUNT,
                  "byte count: 'G' at column 2 is not a hex digit"},
        FaultCase{"digit", ":0200040012Z4E4", HEX_ERR_DATA_BYTE,
                  "'Z' at column 12 is not a hex digit"},
        FaultCase{"short", ":04000400AABB", HEX_ERR_DATA_BYTE,
                  "the record ends after 13 characters, its byte count needs 19"},
        FaultCase{"type", HexLine(0x03, 0x0000, {0, 0, 0, 0}), HEX_ERR_RECORD_TYPE,
                  "record type 0x03 is none of 00, 01, 02, 04, 05"},
        FaultCase{"offset", HexLine(0x04, 0x0000, {0x00, 0x70, 0x01}), HEX_ERR_ADDRESS_OFFSET,
                  "record type 0x04 carries 3 data bytes, expected 2"}),
    [](const testing::TestParamInfo<FaultCase>& info) {
        std::string name = info.param.Name;
        for (auto& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST(HexFaultTextTest, NoLineOrSuccess) {
    EXPECT_EQ(DescribeHexFault(std::string_view("x"), 0, HEX_ERR_PARAMETERS),
              "Error while read/write array with parameters!");
    EXPECT_EQ(DescribeHexFault(std::string_view(":00000001FF\n"), 1, HEX_OK), "");
    // A line number past the end (the file changed since): the code's text still stands.
    EXPECT_EQ(DescribeHexFault(std::string_view(":00000001FF\n"), 9, HEX_ERR_CHECKSUM),
              "line 9: Invalid checksum!");
    // The address check needs the base of earlier lines; the line still names the record.
    const std::string top = Lines({testutil::LinearBase(0xFFFF), DataLine(0xFFFE, {1, 2, 3})});
    ClIntelHex reader;
    TSHexRange range;
    range.EndAddress = 0xFFFFFFFF;
    std::uint32_t line = 0;
    ASSERT_EQ(reader.ScanRanges(top, &range, 1, &line), HEX_ERR_ADDRESS);
    EXPECT_EQ(DescribeHexFault(top, line, HEX_ERR_ADDRESS),
              "line 2: the record's data would run past address 0xFFFFFFFF");
}

}  // namespace
}  // namespace veltrin
