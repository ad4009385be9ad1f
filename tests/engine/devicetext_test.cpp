#include <gtest/gtest.h>

#include <string>

#include "engine/countdowntext.h"
#include "engine/devicetext.h"

namespace veltrin {
namespace {

struct FieldCase {
    std::string Bytes;
    const char* Text;
};

class DeviceFieldTextTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(DeviceFieldTextTest, ReadsAsOneSafeLine) {
    const FieldCase& c = GetParam();
    EXPECT_EQ(DeviceFieldText(reinterpret_cast<const std::uint8_t*>(c.Bytes.data()), c.Bytes.size()),
              c.Text);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DeviceFieldTextTest,
    ::testing::Values(
        FieldCase{std::string("01.02.03\0Application\0\0" "20240101\0\0", 32),
                  "01.02.03 Application 20240101"},
        FieldCase{std::string("\0\0Lab 3\0", 8), "Lab 3"},
        FieldCase{std::string(31, '\0'), ""},
        // Decoded from the device's Windows-1252; control and unassigned bytes stay unreadable.
        FieldCase{"Gr\xF6\xDF\x65 10\xB5l", "Größe 10µl"},
        FieldCase{"\x80 \x93x\x94 \x81\x7F", "€ “x” ??"},
        FieldCase{"A\xFF\n\"B", "Aÿ?\"B"}));

TEST(CountdownTextTest, IsRecognisedOnlyInItsOwnForm) {
    int seconds = -1;
    EXPECT_TRUE(ParseCountdownText(CountdownText(10), seconds));
    EXPECT_EQ(seconds, 10);
    EXPECT_TRUE(ParseCountdownText(CountdownText(1), seconds));
    EXPECT_EQ(seconds, 1);
    for (const char* other : {"Update will continue in  seconds ...",
                              "Update will continue in x seconds ...", "Update module 1/6",
                              "Update will continue in 999999 seconds ..."}) {
        EXPECT_FALSE(ParseCountdownText(other, seconds)) << other;
    }
}

}  // namespace
}  // namespace veltrin
