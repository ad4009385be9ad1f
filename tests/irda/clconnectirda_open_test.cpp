#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "irdatestsupport.h"
#include "protocol/connecterrors.h"

using namespace veltrin;
using veltrin::testing::IrdaFixture;
using veltrin::testing::PipetteInRange;

TEST(ClConnectIrdaTest, ConstructorDefaultsAndVersion) {
    IrdaFixture f;
    TSConnectParams p;
    p.IrdaAnswerDelay = 77;  // must be overwritten by the copy-out
    f.irda->GetParams(p);
    EXPECT_EQ(p.TxChecksum, 0);
    EXPECT_EQ(p.RxChecksum, 0);
    EXPECT_EQ(p.TxLengthBytes, 0);
    EXPECT_EQ(p.RxLengthBytes, 0);
    EXPECT_EQ(p.Attempts, 1);
    EXPECT_EQ(p.StxCount, 1);
    EXPECT_EQ(p.PrefixDelay, 1);
    EXPECT_EQ(p.RetryDelay, 1);
    EXPECT_EQ(p.AckTimeout, 1000u);
    EXPECT_EQ(p.AnswerTimeout, 1000u);
    EXPECT_EQ(p.TraceFile, nullptr);
    EXPECT_EQ(p.IrdaAnswerDelay, 0u);
    EXPECT_EQ(p.Reserved4, 1u);
    EXPECT_EQ(p.Reserved6, 10u);
    EXPECT_EQ(f.irda->IsConnected(), 0);

    char text[16];
    f.irda->GetVersion(text, sizeof text);
    EXPECT_STREQ(text, "00.00.01");
    f.irda->GetVersion(text, 5);
    EXPECT_STREQ(text, "00.0");
    text[0] = 'x';
    f.irda->GetVersion(text, 0);
    EXPECT_EQ(text[0], 'x');
}

TEST(ClConnectIrdaTest, OpenConnectsToTheIrcommServiceWithNineWireMode) {
    IrdaFixture f;
    f.stack.Devices.push_back(PipetteInRange());
    f.SetIrdaFields(250, 500, 0);
    ASSERT_EQ(f.irda->Open(), 0);
    EXPECT_EQ(f.irda->IsConnected(), 1);
    EXPECT_EQ(f.stack.LastFamily, 26);
    EXPECT_EQ(f.stack.LastType, 1);
    EXPECT_EQ(f.stack.ReceiveTimeout, 500u);
    EXPECT_EQ(f.stack.SendTimeout, 250u);
    EXPECT_EQ(f.stack.EnumCalls, 1);
    EXPECT_STREQ(f.stack.LastQuery.ClassName, "IrDA:IrCOMM");
    EXPECT_STREQ(f.stack.LastQuery.AttributeName, "Parameters");
    EXPECT_TRUE(f.stack.NineWireSet);
    ASSERT_TRUE(f.stack.Connected);
    EXPECT_STREQ(f.stack.ConnectedPeer.ServiceName, "IrDA:IrCOMM");
    EXPECT_EQ(f.stack.ConnectedPeer.DeviceId[0], 0x11);
    EXPECT_EQ(f.stack.StartedNow(), 1);
    EXPECT_EQ(f.stack.OpenSockets(), 1u);

    EXPECT_EQ(f.irda->Close(), 0);
    EXPECT_TRUE(f.Idle());
}

TEST(ClConnectIrdaTest, SeveralDevicesInRangeTheFirstListedIsUsed) {
    IrdaFixture f;
    f.stack.Devices.push_back(PipetteInRange(0x01));
    f.stack.Devices.push_back(PipetteInRange(0x02));
    f.stack.Devices.push_back(PipetteInRange(0x03));
    ASSERT_EQ(f.irda->Open(), 0);
    EXPECT_EQ(f.stack.LastQuery.DeviceId[0], 0x01);
    EXPECT_EQ(f.stack.ConnectedPeer.DeviceId[0], 0x01);
}

TEST(ClConnectIrdaTest, NoDeviceInRange) {
    IrdaFixture f;
    EXPECT_EQ(f.irda->Open(), 0x60200101);
    EXPECT_EQ(f.stack.EnumCalls, 1);  // one enumeration, no retry
    EXPECT_EQ(f.stack.Startups, 1);
    EXPECT_TRUE(f.Idle());
    EXPECT_EQ(f.stack.SocketsClosed, 1);
}

namespace {

struct ParametersCase {
    const char* name;
    std::uint32_t attributeType;
    std::vector<std::uint8_t> parameters;
    int expected;
};

class IrcommParametersTest : public ::testing::TestWithParam<ParametersCase> {};

}  // namespace

TEST_P(IrcommParametersTest, OpenJudgesThePeersParameters) {
    const ParametersCase& c = GetParam();
    IrdaFixture f;
    FakeIrdaDevice device = PipetteInRange();
    device.AttributeType = c.attributeType;
    device.Parameters = c.parameters;
    device.IntegerValue = 4;
    device.UserString = "IrCOMM";
    f.stack.Devices.push_back(device);
    EXPECT_EQ(f.irda->Open(), c.expected);
    if (c.expected == 0) {
        EXPECT_EQ(f.irda->IsConnected(), 1);
    } else {
        EXPECT_TRUE(f.Idle());
        EXPECT_FALSE(f.stack.Connected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Peers, IrcommParametersTest,
    ::testing::Values(
        ParametersCase{"NineWire", IRDA_IAS_OCTET_SEQUENCE, {0x00, 0x01, 0x04}, 0},
        ParametersCase{"NineWireInALaterTriplet",
                       IRDA_IAS_OCTET_SEQUENCE,
                       {0x01, 0x01, 0x02, 0x00, 0x01, 0x04},
                       0},
        ParametersCase{"IntegerAttribute", IRDA_IAS_INTEGER, {0x00, 0x01, 0x04}, 0x60200104},
        ParametersCase{"UserStringAttribute", IRDA_IAS_USER_STRING, {0x00, 0x01, 0x04}, 0x60200104},
        ParametersCase{"NoAttribute", IRDA_IAS_NONE, {0x00, 0x01, 0x04}, 0x60200104},
        ParametersCase{"ShorterThanThree", IRDA_IAS_OCTET_SEQUENCE, {0x00, 0x04}, 0x60200104},
        ParametersCase{
            "ServiceTypeWithoutBit", IRDA_IAS_OCTET_SEQUENCE, {0x00, 0x01, 0x02}, 0x60200102}),
    [](const ::testing::TestParamInfo<ParametersCase>& info) { return info.param.name; });

namespace {

struct FailureCase {
    const char* name;
    std::optional<FakeIrdaStep> step;
    int startupError;
    std::uint16_t startedVersion;
    int expected;
    int socketsCreated;
};

class IrdaOpenFailureTest : public ::testing::TestWithParam<FailureCase> {};

}  // namespace

// Every failure returns its own code and leaves nothing started, open or connected.
TEST_P(IrdaOpenFailureTest, LeavesNothingOpen) {
    const FailureCase& c = GetParam();
    IrdaFixture f;
    f.stack.Devices.push_back(PipetteInRange());
    f.stack.StartupError = c.startupError;
    f.stack.StartedVersion = c.startedVersion;
    if (c.step)
        f.stack.Fail(*c.step, 10000 + static_cast<int>(*c.step));
    EXPECT_EQ(f.irda->Open(), c.expected);
    EXPECT_TRUE(f.Idle());
    EXPECT_EQ(f.stack.SocketsCreated, c.socketsCreated);
    EXPECT_EQ(f.stack.SocketsClosed, c.socketsCreated);
    // The same transport opens once the stack is healthy: nothing of the failure stays.
    f.stack.StartupError = 0;
    f.stack.StartedVersion = 0x0202;
    if (c.step)
        f.stack.Fail(*c.step, 0);
    EXPECT_EQ(f.irda->Open(), 0);
    EXPECT_EQ(f.stack.StartedNow(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, IrdaOpenFailureTest,
    ::testing::Values(FailureCase{"Startup", std::nullopt, 10091, 0x0202, 10091, 0},
                      FailureCase{"WrongVersion", std::nullopt, 0, 0x0101, 0x60200100, 0},
                      FailureCase{"MinorVersionOnly", std::nullopt, 0, 0x0102, 0x60200100, 0},
                      FailureCase{"Socket", FakeIrdaStep::Socket, 0, 0x0202, 10000, 0},
                      FailureCase{"ReceiveTimeout", FakeIrdaStep::SetReceiveTimeout, 0, 0x0202,
                                  10001, 1},
                      FailureCase{"SendTimeout", FakeIrdaStep::SetSendTimeout, 0, 0x0202, 10002, 1},
                      FailureCase{"EnumDevices", FakeIrdaStep::EnumDevices, 0, 0x0202, 10003, 1},
                      FailureCase{"QueryIas", FakeIrdaStep::QueryIas, 0, 0x0202, 10004, 1},
                      FailureCase{"NineWire", FakeIrdaStep::NineWire, 0, 0x0202, 10005, 1},
                      FailureCase{"Connect", FakeIrdaStep::Connect, 0, 0x0202, 10006, 1}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST(ClConnectIrdaTest, CloseReportsSocketErrorButStillStopsTheStack) {
    IrdaFixture f;
    f.stack.Devices.push_back(PipetteInRange());
    ASSERT_EQ(f.irda->Open(), 0);
    f.stack.Fail(FakeIrdaStep::CloseSocket, 10050);
    EXPECT_EQ(f.irda->Close(), 10050);
    EXPECT_TRUE(f.Idle());
}

TEST(ClConnectIrdaTest, OpenTwiceKeepsOneConnectionAndOneStartup) {
    IrdaFixture f;
    f.stack.Devices.push_back(PipetteInRange());
    ASSERT_EQ(f.irda->Open(), 0);
    ASSERT_EQ(f.irda->Open(), 0);
    EXPECT_EQ(f.stack.StartedNow(), 1);
    EXPECT_EQ(f.stack.OpenSockets(), 1u);
    EXPECT_EQ(f.irda->Close(), 0);
    EXPECT_TRUE(f.Idle());
}

TEST(ClConnectIrdaTest, CloseWithoutOpenDoesNothing) {
    IrdaFixture f;
    EXPECT_EQ(f.irda->Close(), 0);
    EXPECT_EQ(f.stack.Cleanups, 0);
    EXPECT_TRUE(f.Idle());
}

TEST(ClConnectIrdaTest, DestructionReleasesSocketAndStack) {
    IrdaFixture f;
    f.stack.Devices.push_back(PipetteInRange());
    ASSERT_EQ(f.irda->Open(), 0);
    f.irda.reset();
    EXPECT_EQ(f.stack.OpenSockets(), 0u);
    EXPECT_EQ(f.stack.StartedNow(), 0);
}
