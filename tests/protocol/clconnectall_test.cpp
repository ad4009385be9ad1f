#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "protocol/clconnectall.h"
#include "scriptedtransport.h"
#include "transport/clconnectirda.h"
#include "transport/irdasocket_fake.h"

using namespace veltrin;
using veltrin::testing::ScriptedTransport;

namespace {

// A holder of a fake-stack IrDA transport and a scripted serial transport.
struct HolderFixture {
    FakeIrdaStack stack;
    ClConnectIrda* irda = nullptr;
    ScriptedTransport* serial = nullptr;
    std::unique_ptr<ClConnectAll> holder;

    HolderFixture() {
        auto ownedIrda = std::make_unique<ClConnectIrda>(stack.Layer());
        auto ownedSerial = std::make_unique<ScriptedTransport>(nullptr, "serial");
        irda = ownedIrda.get();
        serial = ownedSerial.get();
        holder = std::make_unique<ClConnectAll>(std::move(ownedIrda), std::move(ownedSerial));
        FakeIrdaDevice device;
        device.DeviceId = {1, 2, 3, 4};
        stack.Devices.push_back(device);
    }
};

}  // namespace

TEST(ClConnectAllTest, NewHolderForwardsToTheSerialTransport) {
    HolderFixture f;
    EXPECT_EQ(f.holder->SelectedKind(), 2u);
    std::vector<std::string> ports{"kept"};
    f.holder->GetPortList(ports);
    EXPECT_EQ(ports, (std::vector<std::string>{"kept", "serial0"}));
    EXPECT_EQ(f.holder->Open(), 0);
    EXPECT_EQ(f.serial->opens, 1);
    EXPECT_EQ(f.stack.Startups, 0);
    char text[256];
    EXPECT_EQ(f.holder->GetErrorText(text, sizeof text, 0x60200211), 0);
    EXPECT_STREQ(text, "Receive NACK.");
}

TEST(ClConnectAllTest, NoTransportSelected) {
    for (int kind : {0, 7, -1, 3}) {
        HolderFixture f;
        f.holder->SelectTransport(kind);
        EXPECT_EQ(f.holder->SelectedKind(), 0u) << kind;
        TSConnectParams params;
        EXPECT_EQ(f.holder->Open(), 0x60200002);
        EXPECT_EQ(f.holder->Close(), 0x60200002);
        EXPECT_EQ(f.holder->SetParams(params), 0x60200002);
        EXPECT_EQ(f.holder->GetParams(params), 0x60200002);
        std::uint8_t message[16] = {1};
        std::uint32_t length = 1;
        char request[64];
        char answer[64];
        EXPECT_EQ(f.holder->Transfer(message, &length, sizeof message, request, sizeof request,
                                     answer, sizeof answer),
                  0x60200002);
        char text[256] = "stale";
        f.holder->GetErrorText(text, sizeof text, 0x60200211);
        EXPECT_STREQ(text, "");
        std::strcpy(text, "stale");
        f.holder->GetSystemErrorText(text, sizeof text, 2);
        EXPECT_STREQ(text, "");
        std::vector<std::string> ports{"kept"};
        f.holder->GetPortList(ports);
        EXPECT_EQ(ports, std::vector<std::string>{"kept"});
        EXPECT_EQ(f.serial->opens + f.serial->closes, 0);
        EXPECT_TRUE(f.serial->requests.empty());
        EXPECT_EQ(f.stack.Startups, 0);
    }
}

TEST(ClConnectAllTest, IrdaSelectedLeavesThePortListAsItWasAndOpensIrda) {
    HolderFixture f;
    f.holder->SelectTransport(1);
    EXPECT_EQ(f.holder->SelectedKind(), 1u);
    std::vector<std::string> ports{"kept"};
    f.holder->GetPortList(ports);
    EXPECT_EQ(ports, std::vector<std::string>{"kept"});
    EXPECT_EQ(f.holder->Open(), 0);
    EXPECT_EQ(f.irda->IsConnected(), 1);
    EXPECT_EQ(f.serial->opens, 0);
}

TEST(ClConnectAllTest, SettingsStayInTheTransportTheyWereCopiedInto) {
    HolderFixture f;
    TSConnectParams mine;
    mine.BaudRate = 230400;
    mine.Attempts = 3;
    mine.IrdaAnswerDelay = 5;
    ASSERT_EQ(f.holder->SetParams(mine), 0);

    f.holder->SelectTransport(1);
    TSConnectParams seen;
    ASSERT_EQ(f.holder->GetParams(seen), 0);
    EXPECT_EQ(seen.BaudRate, 0u);
    EXPECT_EQ(seen.Attempts, 1);  // the IrDA transport's own default
    EXPECT_EQ(seen.IrdaAnswerDelay, 0u);

    f.holder->SelectTransport(2);
    ASSERT_EQ(f.holder->GetParams(seen), 0);
    EXPECT_EQ(seen.BaudRate, 230400u);
    EXPECT_EQ(seen.IrdaAnswerDelay, 5u);
}

TEST(ClConnectAllTest, SwitchingNeitherOpensNorCloses) {
    HolderFixture f;
    f.holder->SelectTransport(1);
    ASSERT_EQ(f.holder->Open(), 0);
    f.holder->SelectTransport(2);
    f.holder->SelectTransport(0);
    f.holder->SelectTransport(1);
    EXPECT_EQ(f.irda->IsConnected(), 1);
    EXPECT_EQ(f.serial->opens + f.serial->closes, 0);
    EXPECT_EQ(f.holder->Close(), 0);
    EXPECT_EQ(f.irda->IsConnected(), 0);
}

TEST(ClConnectAllTest, TransferGoesToTheSelectedTransport) {
    HolderFixture f;
    std::uint8_t message[16] = {0x0A, 0, 0, 0, 0x02};
    std::uint32_t length = 10;
    char request[(16 + 2) * 2 + 1];
    char answer[(16 + 2) * 2 + 1];
    EXPECT_EQ(f.holder->Transfer(message, &length, sizeof message, request, sizeof request, answer,
                                 sizeof answer),
              0);
    ASSERT_EQ(f.serial->requests.size(), 1u);
    EXPECT_EQ(f.serial->requests[0], "0A00000002000000000021C2");
}

TEST(ClConnectAllTest, DestroysIrdaThenSerial) {
    std::vector<std::string> log;
    {
        ClConnectAll holder(std::make_unique<ScriptedTransport>(&log, "irda"),
                            std::make_unique<ScriptedTransport>(&log, "serial"));
    }
    EXPECT_EQ(log, (std::vector<std::string>{"irda destroyed", "serial destroyed"}));
}

TEST(ClConnectAllTest, MissingTransportBehavesAsNoneSelected) {
    ClConnectAll holder(nullptr, std::make_unique<ScriptedTransport>());
    holder.SelectTransport(1);
    EXPECT_EQ(holder.Open(), 0x60200002);
    holder.SelectTransport(2);
    EXPECT_EQ(holder.Open(), 0);
}
