// How the wanted framing and rate turn into driver settings.
#include "transport/linesettings_posix.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace veltrin {
namespace {

// A cooked terminal at 9600 bit/s, 7 bits, even parity, two stop bits.
termios2 CookedLine() {
    termios2 t{};
    t.c_iflag = ICRNL | IXON | IXOFF | INPCK | ISTRIP;
    t.c_oflag = OPOST | ONLCR;
    t.c_lflag = ICANON | ECHO | ECHOE | ISIG | IEXTEN;
    t.c_cflag = B9600 | CS7 | PARENB | CSTOPB | CRTSCTS | HUPCL;
    t.c_ispeed = t.c_ospeed = 9600;
    return t;
}

constexpr tcflag_t kParityBits = PARENB | PARODD | CMSPAR;

struct Case {
    const char* name;
    LineSettings wanted;
    int result;
    tcflag_t size;
    bool twoStop;
    tcflag_t parity;
};

class MakeRawLineTest : public ::testing::TestWithParam<Case> {};

TEST_P(MakeRawLineTest, FramingAndRate) {
    const Case& k = GetParam();
    termios2 t = CookedLine();
    ASSERT_EQ(MakeRawLine(t, k.wanted), k.result);
    if (k.result != 0)
        return;
    EXPECT_EQ(t.c_cflag & CSIZE, k.size);
    EXPECT_EQ((t.c_cflag & CSTOPB) != 0, k.twoStop);
    EXPECT_EQ(t.c_cflag & kParityBits, k.parity);
    if (k.wanted.BaudRate != 0) {
        EXPECT_EQ(t.c_cflag & CBAUD, tcflag_t{BOTHER});
        EXPECT_EQ(t.c_ospeed, k.wanted.BaudRate);
        EXPECT_EQ(t.c_ispeed, k.wanted.BaudRate);
    } else {
        EXPECT_EQ(t.c_cflag & CBAUD, tcflag_t{B9600});
    }
    // Raw in every case; XON/XOFF and the modem-line behaviour stay the driver's.
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ECHOE | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | INPCK | ISTRIP), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t{IXON | IXOFF});
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD | CRTSCTS | HUPCL), tcflag_t{CLOCAL | CREAD | HUPCL});
    EXPECT_EQ(t.c_cc[VMIN], 1);
}

INSTANTIATE_TEST_SUITE_P(
    Serial, MakeRawLineTest,
    ::testing::Values(Case{"Worker", {230400, 8, 0, 0}, 0, CS8, false, 0},
                      Case{"NonStandardRate", {250000, 8, 0, 0}, 0, CS8, false, 0},
                      Case{"SevenOddTwoStop", {9600, 7, 2, 1}, 0, CS7, true, PARENB | PARODD},
                      Case{"SixEven", {0, 6, 0, 2}, 0, CS6, false, PARENB},
                      Case{"Mark", {0, 8, 0, 3}, 0, CS8, false, PARENB | PARODD | CMSPAR},
                      Case{"Space", {0, 8, 0, 4}, 0, CS8, false, PARENB | CMSPAR},
                      Case{"FiveBitsOneAndAHalfStop", {0, 5, 1, 0}, 0, CS5, true, 0},
                      Case{"OneAndAHalfStopWithEightBits", {0, 8, 1, 0}, EINVAL, 0, false, 0},
                      Case{"FourBits", {0, 4, 0, 0}, EINVAL, 0, false, 0},
                      Case{"OtherValuesKeepTheDriverSettings", {0, 9, 7, 5}, 0, CS7, true, PARENB}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(FramingAcceptedTest, ComparesFramingOnly) {
    termios2 wanted = CookedLine();
    termios2 applied = wanted;
    applied.c_ospeed = 9615;  // a rounded rate is fine
    EXPECT_TRUE(FramingAccepted(wanted, applied));
    applied.c_cflag = (applied.c_cflag & ~CSIZE) | CS8;
    EXPECT_FALSE(FramingAccepted(wanted, applied));
    applied = wanted;
    applied.c_cflag &= ~PARENB;
    EXPECT_FALSE(FramingAccepted(wanted, applied));
    // Without parity the odd flag means nothing.
    wanted.c_cflag &= ~PARENB;
    applied = wanted;
    applied.c_cflag |= PARODD;
    EXPECT_TRUE(FramingAccepted(wanted, applied));
}

}  // namespace
}  // namespace veltrin
