#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "transport/clconnectirda.h"

using namespace veltrin;

// The kernel has no IrDA: Open reports the system's own error and leaves nothing open.
TEST(IrdaSystemSocketTest, OpenReportsAddressFamilyNotSupported) {
    ClConnectIrda irda;
    EXPECT_EQ(irda.Open(), EAFNOSUPPORT);
    EXPECT_EQ(irda.IsConnected(), 0);
    char text[256];
    irda.GetSystemErrorText(text, sizeof text, EAFNOSUPPORT);
    EXPECT_STREQ(text, strerrordesc_np(EAFNOSUPPORT));
    EXPECT_EQ(irda.Close(), 0);
}
