// Opening and closing real ports, and the line settings they get.
#include <asm/termbits.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <cstring>
#include <string>

#include "comport_fixture.h"

namespace veltrin::testsupport {
namespace {

// The slave's settings, seen through the master the way the device side sees the line.
termios2 LineSettings(const PtyPair& pty) {
    termios2 t{};
    EXPECT_EQ(::ioctl(pty.Master(), TCGETS2, &t), 0);
    return t;
}

TEST(ComportOpenTest, PortIsExclusiveUntilClosed) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok()) << pty.Error();
    ClConnectComport first;
    ClConnectComport second;
    first.SetParams(WorkerLikeParams(pty.PortName()));
    second.SetParams(WorkerLikeParams(pty.PortName()));
    ASSERT_EQ(first.Open(), 0);
    EXPECT_EQ(first.Open(), 0);  // already open: nothing happens
    EXPECT_EQ(second.Open(), 0x60200201);
    EXPECT_EQ(first.Close(), 0);
    EXPECT_EQ(first.Close(), 0);  // closing a closed port
    EXPECT_EQ(second.Open(), 0);
}

TEST(ComportOpenTest, PortsThatCannotBeOpened) {
    // No name, no such device, a device that is no serial line.
    for (const char* name : {"", "nosuch0", "null"}) {
        ClConnectComport port;
        port.SetParams(WorkerLikeParams(name));
        EXPECT_EQ(port.Open(), 0x60200201) << name;
        EXPECT_EQ(port.Close(), 0);
    }
}

TEST(ComportOpenTest, LineSettingsAppliedOnOpenAndRestoredOnClose) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok()) << pty.Error();
    for (const std::uint32_t rate : {230400u, 123457u}) {
        ClConnectComport port;
        TSConnectParams p = WorkerLikeParams(pty.PortName());
        p.BaudRate = rate;
        p.StopBits = 2;
        port.SetParams(p);
        ASSERT_EQ(port.Open(), 0);

        const termios2 t = LineSettings(pty);
        EXPECT_EQ(t.c_ospeed, rate);
        EXPECT_EQ(t.c_cflag & CSIZE, unsigned{CS8});
        EXPECT_NE(t.c_cflag & CSTOPB, 0u);
        EXPECT_EQ(t.c_cflag & PARENB, 0u);
        // Raw: a received ETX must not become an interrupt, nothing echoed or translated.
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(t.c_oflag & OPOST, 0u);
        EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | INPCK), 0u);

        ASSERT_EQ(port.Close(), 0);
        const termios2 restored = LineSettings(pty);
        EXPECT_NE(restored.c_lflag & ICANON, 0u);
        EXPECT_NE(restored.c_lflag & ECHO, 0u);
        EXPECT_EQ(restored.c_cflag & CSTOPB, 0u);
    }
}

// A pseudo-terminal runs 8 bits without parity whatever it is told; a line that would run
// another framing than asked for is not opened.
TEST(ComportOpenTest, FramingTheDriverDoesNotTakeFailsTheOpen) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok()) << pty.Error();
    struct Case {
        std::int32_t dataBits;
        std::uint32_t stopBits;
        std::uint32_t parity;
    };
    for (const Case& k : {Case{7, 0, 0}, Case{8, 0, 2}, Case{8, 1, 0}, Case{4, 0, 0}}) {
        ClConnectComport port;
        TSConnectParams p = WorkerLikeParams(pty.PortName());
        p.DataBits = k.dataBits;
        p.StopBits = k.stopBits;
        p.Parity = k.parity;
        port.SetParams(p);
        EXPECT_EQ(port.Open(), 0x60200201) << k.dataBits << " " << k.stopBits << " " << k.parity;
    }
    // Values outside the tables keep the driver's own framing, which is then what it runs.
    ClConnectComport port;
    TSConnectParams p = WorkerLikeParams(pty.PortName());
    p.DataBits = 9;
    p.StopBits = 7;
    p.Parity = 5;
    port.SetParams(p);
    EXPECT_EQ(port.Open(), 0);
}

TEST(ComportBasicsTest, SettingsAsConstructed) {
    ClConnectComport port;
    TSConnectParams p;
    port.GetParams(p);
    const struct {
        const char* Field;
        long long Value;
        long long Expected;
    } fields[] = {{"TxChecksum", p.TxChecksum, 0},       {"TxLengthBytes", p.TxLengthBytes, 0},
                  {"Attempts", p.Attempts, 1},           {"StxCount", p.StxCount, 1},
                  {"PrefixDelay", p.PrefixDelay, 1},     {"RetryDelay", p.RetryDelay, 1},
                  {"RxChecksum", p.RxChecksum, 0},       {"RxLengthBytes", p.RxLengthBytes, 0},
                  {"AckTimeout", p.AckTimeout, 1000},    {"AnswerTimeout", p.AnswerTimeout, 1000},
                  {"IrdaSendTimeout", p.IrdaSendTimeout, 0},
                  {"IrdaReceiveTimeout", p.IrdaReceiveTimeout, 0},
                  {"IrdaAnswerDelay", p.IrdaAnswerDelay, 0}, {"BaudRate", p.BaudRate, 230400},
                  {"DataBits", p.DataBits, 8},           {"StopBits", p.StopBits, 0},
                  {"Parity", p.Parity, 0},               {"Reserved1", p.Reserved1, 0},
                  {"Reserved2", p.Reserved2, 0},         {"Reserved3", p.Reserved3, 0},
                  {"Reserved4", p.Reserved4, 1},         {"Reserved5", p.Reserved5, 1},
                  {"Reserved6", p.Reserved6, 10},        {"Reserved7", p.Reserved7, 0},
                  {"Reserved8", p.Reserved8, 0}};
    for (const auto& f : fields)
        EXPECT_EQ(f.Value, f.Expected) << f.Field;
    EXPECT_EQ(p.TraceFile, nullptr);
    EXPECT_EQ(std::string(p.PortName, sizeof p.PortName), std::string(sizeof p.PortName, '\0'));
    EXPECT_EQ(port.IsConnected(), 0);
}

TEST(ComportBasicsTest, VersionText) {
    ClConnectComport port;
    char version[16];
    port.GetVersion(version, 9);
    EXPECT_STREQ(version, "00.00.03");
    port.GetVersion(version, 5);
    EXPECT_STREQ(version, "00.0");
}

}  // namespace
}  // namespace veltrin::testsupport
