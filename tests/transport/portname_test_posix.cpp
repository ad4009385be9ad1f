// Port names as Linux users type them: the device path or the bare name.
#include <gtest/gtest.h>

#include <string>

#include "support/ptypair.h"
#include "transport/portname.h"

namespace veltrin {

std::string FullPortSpelling(const std::string& port) {
    return "/dev/" + port;
}

namespace {

TEST(PortNameTest, FullSpellingsNameTheBarePort) {
    const struct {
        const char* Spelling;
        const char* Bare;
    } cases[] = {
        {"/dev/ttyACM0", "ttyACM0"}, {" /dev/ttyUSB12\t", "ttyUSB12"},
        {"ttyACM0", "ttyACM0"},      {"/dev/pts/7", "pts/7"},
        {"pts/7", "pts/7"},          {"", ""},
        {"/devttyS0", "/devttyS0"},  {"dev/ttyS0", "dev/ttyS0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BarePortName(c.Spelling), c.Bare) << c.Spelling;
}

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
