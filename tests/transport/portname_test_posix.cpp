// Every path to one port names it once.
#include <gtest/gtest.h>

#include <string>

#include "support/ptypair.h"
#include "transport/portname.h"

namespace veltrin {

namespace {

TEST(PortNameTest, EverySpellingOfOnePortHasOneIdentity) {
    testsupport::PtyPair pty;
    ASSERT_TRUE(pty.Ok()) << pty.Error();
    const std::string name = pty.PortName();
    EXPECT_EQ(PortIdentity(name), name);
    EXPECT_EQ(PortIdentity("/dev/" + name), name);
    // Another path to the device (as the links of /dev/serial/by-id are) is the same port.
    EXPECT_EQ(PortIdentity("/dev/pts/../" + name), name);
    EXPECT_EQ(PortIdentity("ttyGONE9"), "ttyGONE9");
}

}  // namespace
}  // namespace veltrin
