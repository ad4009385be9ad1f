#include "engine/cltoolstextconvert.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace veltrin {
namespace {

struct TextToBufferCase {
    std::string text;
    bool terminate;
    std::string expected;  // all 8 bytes of the field
};

class TextToBufferTest : public testing::TestWithParam<TextToBufferCase> {};

TEST_P(TextToBufferTest, FillsTheFieldExactly) {
    const auto& c = GetParam();
    char field[10];
    std::memset(field, '#', sizeof(field));
    ClToolsTextConvert().TextToBuffer(field, 8, c.text, c.terminate);
    EXPECT_EQ(std::string(field, 8), c.expected);
    // Nothing beyond the field is touched.
    EXPECT_EQ(field[8], '#');
    EXPECT_EQ(field[9], '#');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToBufferTest,
    testing::Values(TextToBufferCase{"ttyACM0", true, std::string("ttyACM0\0", 8)},
                    TextToBufferCase{"ttyUSB10", true, std::string("ttyUSB1\0", 8)},
                    TextToBufferCase{"ttyUSB10", false, std::string("ttyUSB10", 8)},
                    TextToBufferCase{"pts/7", true, std::string("pts/7\0\0\0", 8)},
                    TextToBufferCase{"", true, std::string(8, '\0')},
                    TextToBufferCase{"averyverylongname", false, "averyver"}));

TEST(TextToBufferSizeTest, SizeZeroWritesNothing) {
    char field[2] = {'a', 'b'};
    ClToolsTextConvert().TextToBuffer(field, 0, "xyz", true);
    EXPECT_EQ(field[0], 'a');
    EXPECT_EQ(field[1], 'b');
}

}  // namespace
}  // namespace veltrin
