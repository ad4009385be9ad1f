// The command set against a scripted transport: request bytes and answer rules.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "protocol/clconnectall.h"
#include "protocol/clconnectpipetten.h"
#include "scriptedtransport.h"

using namespace veltrin;
using veltrin::testing::Answer;
using veltrin::testing::FrameText;
using veltrin::testing::ScriptedTransport;
using Bytes = std::vector<std::uint8_t>;

namespace {

class CommandSetTest : public ::testing::Test {
protected:
    CommandSetTest() {
        auto owned = std::make_unique<ScriptedTransport>();
        serial = owned.get();
        set = std::make_unique<ClConnectPipetten>(std::make_unique<ClConnectAll>(
            std::make_unique<ScriptedTransport>(), std::move(owned)));
    }
    Bytes Request() const { return serial->LastRequest(); }

    ScriptedTransport* serial = nullptr;
    std::unique_ptr<ClConnectPipetten> set;
};

Bytes Header(std::uint16_t length, std::uint16_t command, std::uint8_t marker = 0) {
    return {static_cast<std::uint8_t>(length),
            static_cast<std::uint8_t>(length >> 8),
            0,
            marker,
            static_cast<std::uint8_t>(command),
            static_cast<std::uint8_t>(command >> 8),
            0,
            0,
            0,
            0};
}

Bytes Concat(const Bytes& a, const Bytes& b) {
    Bytes joined;
    joined.reserve(a.size() + b.size());
    for (std::uint8_t x : a)
        joined.push_back(x);
    for (std::uint8_t x : b)
        joined.push_back(x);
    return joined;
}

Bytes Pattern(std::size_t n, std::uint8_t seed) {
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
    return bytes;
}

struct RequestCase {
    const char* name;
    std::function<int(ClConnectPipetten&)> run;
    Bytes expected;
};

class CommandRequestTest : public CommandSetTest,
                           public ::testing::WithParamInterface<RequestCase> {};

const Bytes kDevice = Pattern(kDeviceRecordSize, 1);
const Bytes kParams = Pattern(kParamRecordSize, 2);
const Bytes kBoot = Pattern(kBootRecordSize, 3);
const Bytes kConfig = Pattern(kConfigRecordSize, 4);

}  // namespace

// Commands with unset bytes run on a zeroed buffer here; carrying them over is tested below.
TEST_P(CommandRequestTest, BuildsItsMessage) {
    serial->AnswerWith(Answer(Bytes(400, 0)));
    EXPECT_EQ(GetParam().run(*set), 0);
    ASSERT_EQ(serial->requests.size(), 1u);
    EXPECT_EQ(Request(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    AllCommands, CommandRequestTest,
    ::testing::Values(
        RequestCase{"ReadDeviceId",
                    [](ClConnectPipetten& s) {
                        int v;
                        return s.ReadDeviceId(&v);
                    },
                    Header(10, 0x0001, 0xFF)},
        RequestCase{"ReadDeviceMode",
                    [](ClConnectPipetten& s) {
                        int v;
                        return s.ReadDeviceMode(&v);
                    },
                    Header(10, 0x0002)},
        RequestCase{"ReadBatteryStatus",
                    [](ClConnectPipetten& s) {
                        int v;
                        return s.ReadBatteryStatus(&v);
                    },
                    Header(10, 0x0003)},
        RequestCase{"ReadVersionText",
                    [](ClConnectPipetten& s) {
                        std::uint8_t t[31];
                        return s.ReadVersionText(t, 0x0201);
                    },
                    Concat(Header(12, 0x0007), {0x01, 0x02})},
        RequestCase{"RestartDevice", [](ClConnectPipetten& s) { return s.RestartDevice(); },
                    Header(10, 0x0016)},
        RequestCase{"ReadDeviceRecord",
                    [](ClConnectPipetten& s) {
                        std::uint8_t r[82];
                        return s.ReadDeviceRecord(r);
                    },
                    Header(10, 0x0052)},
        RequestCase{"WriteDeviceRecord",
                    [](ClConnectPipetten& s) { return s.WriteDeviceRecord(kDevice.data()); },
                    Concat(Header(92, 0x0053), kDevice)},
        RequestCase{"ReadParamRecord",
                    [](ClConnectPipetten& s) {
                        std::uint8_t r[338];
                        return s.ReadParamRecord(r);
                    },
                    Header(10, 0x0082)},
        RequestCase{"WriteParamRecord",
                    [](ClConnectPipetten& s) { return s.WriteParamRecord(kParams.data()); },
                    Concat(Header(348, 0x0083), kParams)},
        RequestCase{"ReadBootRecord",
                    [](ClConnectPipetten& s) {
                        std::uint8_t r[64];
                        return s.ReadBootRecord(r);
                    },
                    Header(10, 0x00A0)},
        RequestCase{"WriteBootRecord",
                    [](ClConnectPipetten& s) { return s.WriteBootRecord(kBoot.data()); },
                    Concat(Concat(Header(76, 0x00A1), {0, 0}), kBoot)},
        RequestCase{"ReadConfigRecord",
                    [](ClConnectPipetten& s) {
                        std::uint8_t r[144];
                        return s.ReadConfigRecord(r);
                    },
                    Header(10, 0x0120)},
        RequestCase{"WriteConfigRecord",
                    [](ClConnectPipetten& s) { return s.WriteConfigRecord(kConfig.data()); },
                    Concat(Concat(Header(160, 0x0121), Bytes(6, 0)), kConfig)},
        RequestCase{"ReadInfoText",
                    [](ClConnectPipetten& s) {
                        std::uint8_t t[31];
                        return s.ReadInfoText(t);
                    },
                    Header(10, 0x0200)},
        RequestCase{"ReadMemoryInfo",
                    [](ClConnectPipetten& s) {
                        TSMemoryInfo i;
                        return s.ReadMemoryInfo(&i, 3);
                    },
                    Concat(Header(12, 0x0201), {0x03, 0x00})},
        RequestCase{"WriteMemory",
                    [](ClConnectPipetten& s) {
                        const Bytes data = {9, 8, 7, 6, 5};
                        TSMemoryBlock block;
                        block.Address = 0x12345678;
                        block.Count = 3;
                        block.MemoryType = 1;
                        return s.WriteMemory(block, data.data(), 5, 2);
                    },
                    Concat(Header(23, 0x0202),
                           {0, 0, 0x78, 0x56, 0x34, 0x12, 0x03, 0x00, 0x01, 0x00, 7, 6, 5})},
        RequestCase{"BeginUpload", [](ClConnectPipetten& s) { return s.BeginUpload(); },
                    Header(10, 0x0204)},
        RequestCase{"ShowUpdateSuccess", [](ClConnectPipetten& s) { return s.ShowUpdateSuccess(); },
                    Header(10, 0x0205)},
        RequestCase{"SignalUpdateFailed",
                    [](ClConnectPipetten& s) { return s.SignalUpdateFailed(); },
                    Header(10, 0x0206)},
        RequestCase{"SetProgress50", [](ClConnectPipetten& s) { return s.SetProgress(50); },
                    Bytes{0x0C, 0, 0, 0, 0x07, 0x02, 0, 0, 0, 0, 0x32, 0}},
        RequestCase{"SetProgress0", [](ClConnectPipetten& s) { return s.SetProgress(0); },
                    Bytes{0x0C, 0, 0, 0, 0x07, 0x02, 0, 0, 0, 0, 0, 0}},
        RequestCase{"SetApplicationSize",
                    [](ClConnectPipetten& s) { return s.SetApplicationSize(0x00C0FFEE); },
                    Concat(Header(16, 0x020A), {0, 0, 0xEE, 0xFF, 0xC0, 0x00})}),
    [](const ::testing::TestParamInfo<RequestCase>& info) { return info.param.name; });

TEST_F(CommandSetTest, ReadDeviceIdRequestText) {
    serial->AnswerWith(Answer({0x09, 0x00}));
    int type = -1;
    EXPECT_EQ(set->ReadDeviceId(&type), 0);
    EXPECT_EQ(serial->requests.at(0), "0A0000FF0100000000002EFE");
    EXPECT_EQ(type, 9);
}

TEST_F(CommandSetTest, ShortAnswerOfTheIrdaPipetteIsTypeOne) {
    serial->AnswerWith({0x05, 0x00, 0x00, 0xFF, 0xC0});
    int type = -1;
    EXPECT_EQ(set->ReadDeviceId(&type), 0);
    EXPECT_EQ(type, 1);
    // Any other short answer is an ordinary answer with zeros where it ends.
    serial->AnswerWith({0x05, 0x00, 0x00, 0xFF, 0xC1});
    EXPECT_EQ(set->ReadDeviceId(&type), 0);
    EXPECT_EQ(type, 0);
}

TEST_F(CommandSetTest, BatteryStatusAboveSixteenReadsAsZero) {
    struct Case {
        std::uint8_t value;
        int expected;
    };
    for (Case c : {Case{17, 0}, Case{16, 16}, Case{0, 0}, Case{255, 0}}) {
        serial->AnswerWith(Answer({c.value, 0}));
        int status = -1;
        EXPECT_EQ(set->ReadBatteryStatus(&status), 0);
        EXPECT_EQ(status, c.expected) << int(c.value);
    }
    serial->AnswerWith(Answer({0x10, 0x01}));  // 0x0110
    int status = -1;
    EXPECT_EQ(set->ReadBatteryStatus(&status), 0);
    EXPECT_EQ(status, 0);
}

TEST_F(CommandSetTest, DeviceStatusLeavesEveryCallersBufferUntouched) {
    const std::vector<std::function<int(ClConnectPipetten&, std::uint8_t*)>> reads = {
        [](ClConnectPipetten& s, std::uint8_t* b) { return s.ReadVersionText(b, 0); },
        [](ClConnectPipetten& s, std::uint8_t* b) { return s.ReadDeviceRecord(b); },
        [](ClConnectPipetten& s, std::uint8_t* b) { return s.ReadParamRecord(b); },
        [](ClConnectPipetten& s, std::uint8_t* b) { return s.ReadBootRecord(b); },
        [](ClConnectPipetten& s, std::uint8_t* b) { return s.ReadConfigRecord(b); },
        [](ClConnectPipetten& s, std::uint8_t* b) { return s.ReadInfoText(b); },
        [](ClConnectPipetten& s, std::uint8_t* b) {
            return s.ReadMemoryInfo(reinterpret_cast<TSMemoryInfo*>(b), 0);
        },
        [](ClConnectPipetten& s, std::uint8_t* b) {
            return s.ReadDeviceId(reinterpret_cast<int*>(b));
        },
        [](ClConnectPipetten& s, std::uint8_t* b) {
            return s.ReadDeviceMode(reinterpret_cast<int*>(b));
        },
        [](ClConnectPipetten& s, std::uint8_t* b) {
            return s.ReadBatteryStatus(reinterpret_cast<int*>(b));
        },
    };
    for (std::size_t i = 0; i < reads.size(); ++i) {
        serial->AnswerWith(Answer(Bytes(400, 0x5A), 0x0A01));
        alignas(8) std::uint8_t buffer[400];
        std::memset(buffer, 0xEE, sizeof buffer);
        EXPECT_EQ(reads[i](*set, buffer), 0x60300A01) << i;
        for (std::uint8_t b : buffer)
            ASSERT_EQ(b, 0xEE) << i;
    }
}

TEST_F(CommandSetTest, TransportErrorsPassUnchangedAndLeaveTheBufferUntouched) {
    serial->replies.push_back({0x60200211, ""});
    std::uint8_t record[kConfigRecordSize];
    std::memset(record, 0xEE, sizeof record);
    EXPECT_EQ(set->ReadConfigRecord(record), 0x60200211);
    for (std::uint8_t b : record)
        ASSERT_EQ(b, 0xEE);
    std::string corrupt = FrameText(Answer(Bytes(144, 0)));
    corrupt.back() = corrupt.back() == '0' ? '1' : '0';
    serial->replies.push_back({0, corrupt});
    EXPECT_EQ(set->ReadConfigRecord(record), 0x60200015);
    for (std::uint8_t b : record)
        ASSERT_EQ(b, 0xEE);
}

TEST_F(CommandSetTest, ShortConfigurationAnswerIsZeroFilled) {
    serial->AnswerWith(Answer({0, 0, 0, 0, 0, 0, 0xA1, 0xA2, 0xA3, 0xA4}));  // 20 bytes
    std::uint8_t record[kConfigRecordSize];
    std::memset(record, 0xEE, sizeof record);
    EXPECT_EQ(set->ReadConfigRecord(record), 0);
    EXPECT_EQ(record[0], 0xA1);
    EXPECT_EQ(record[3], 0xA4);
    for (std::size_t i = 4; i < kConfigRecordSize; ++i)
        ASSERT_EQ(record[i], 0) << i;
}

TEST_F(CommandSetTest, RecordsThatAreWrittenBackMustArriveWhole) {
    struct Case {
        std::function<int(ClConnectPipetten&, std::uint8_t*)> read;
        std::size_t wholeAnswer;
    };
    const Case cases[] = {
        {[](ClConnectPipetten& s, std::uint8_t* b) { return s.ReadBootRecord(b); }, 76},
        {[](ClConnectPipetten& s, std::uint8_t* b) { return s.ReadDeviceRecord(b); }, 92},
    };
    for (const Case& c : cases) {
        std::uint8_t buffer[kDeviceRecordSize];
        std::memset(buffer, 0xEE, sizeof buffer);
        serial->AnswerWith(Answer(Bytes(c.wholeAnswer - 11, 0x11)));
        EXPECT_EQ(c.read(*set, buffer), 0x60200014);
        for (std::uint8_t b : buffer)
            ASSERT_EQ(b, 0xEE);
        serial->AnswerWith(Answer(Bytes(c.wholeAnswer - 10, 0x11)));
        EXPECT_EQ(c.read(*set, buffer), 0);
        EXPECT_EQ(buffer[0], 0x11);
    }
}

TEST_F(CommandSetTest, ReadsCopyTheirAnswerBytes) {
    const Bytes results = Pattern(400, 0x20);
    serial->AnswerWith(Answer(results));
    std::uint8_t version[kVersionTextSize];
    EXPECT_EQ(set->ReadVersionText(version, 0), 0);
    EXPECT_EQ(Bytes(version, version + 31), Bytes(results.begin() + 2, results.begin() + 33));

    serial->AnswerWith(Answer(results));
    std::uint8_t param[kParamRecordSize];
    EXPECT_EQ(set->ReadParamRecord(param), 0);
    EXPECT_EQ(Bytes(param, param + 338), Bytes(results.begin(), results.begin() + 338));

    serial->AnswerWith(Answer(results));
    std::uint8_t boot[kBootRecordSize];
    EXPECT_EQ(set->ReadBootRecord(boot), 0);
    EXPECT_EQ(Bytes(boot, boot + 64), Bytes(results.begin() + 2, results.begin() + 66));

    serial->AnswerWith(Answer({0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0x00, 0x10, 0x02, 0x00, 4, 0}));
    TSMemoryInfo info;
    EXPECT_EQ(set->ReadMemoryInfo(&info, 2), 0);
    EXPECT_EQ(info.Reserved1, 1u);
    EXPECT_EQ(info.Reserved2, 2u);
    EXPECT_EQ(info.Reserved3, 3);
    EXPECT_EQ(info.LargestBlock, 4096);
    EXPECT_EQ(info.MemoryType, 2);
    EXPECT_EQ(info.Reserved4, 4);

    serial->AnswerWith(Answer({0x02, 0x00}));
    int mode = 0;
    EXPECT_EQ(set->ReadDeviceMode(&mode), 0);
    EXPECT_EQ(mode, 2);
}

TEST_F(CommandSetTest, UnsetRequestBytesCarryWhatThePreviousAnswerLeft) {
    serial->AnswerWith(Answer(Concat({0x34, 0x12}, Bytes(64, 0x01))));
    std::uint8_t boot[kBootRecordSize];
    ASSERT_EQ(set->ReadBootRecord(boot), 0);
    ASSERT_EQ(set->WriteBootRecord(boot), 0);
    const Bytes bootRequest = Request();
    EXPECT_EQ(bootRequest[10], 0x34);
    EXPECT_EQ(bootRequest[11], 0x12);

    serial->AnswerWith(Answer({1, 2, 3, 4, 5, 6, 7, 8}));
    ASSERT_EQ(set->RestartDevice(), 0);
    ASSERT_EQ(set->WriteConfigRecord(kConfig.data()), 0);
    const Bytes sent = Request();
    EXPECT_EQ(Bytes(sent.begin() + 10, sent.begin() + 16), (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST_F(CommandSetTest, WriteMemoryLimits) {
    Bytes data = Pattern(5000, 9);
    TSMemoryBlock block;
    block.Address = 0x8000;
    block.MemoryType = 0;

    block.Count = 0;
    EXPECT_EQ(set->WriteMemory(block, data.data(), 5000, 0), 0);
    EXPECT_EQ(set->WriteMemory(block, nullptr, 0, 0), 0);
    block.Count = 4097;
    EXPECT_EQ(set->WriteMemory(block, data.data(), 5000, 0), 0x60200012);
    block.Count = 100;
    EXPECT_EQ(set->WriteMemory(block, data.data(), 5000, 4901), 0x60200013);
    EXPECT_EQ(set->WriteMemory(block, data.data(), 5000, 0xFFFFFFF0u), 0x60200013);
    EXPECT_EQ(set->WriteMemory(block, nullptr, 5000, 0), 0x60200013);
    EXPECT_TRUE(serial->requests.empty());

    block.Count = 100;
    EXPECT_EQ(set->WriteMemory(block, data.data(), 5000, 4900), 0);  // exactly to the end
    block.Count = 4096;
    EXPECT_EQ(set->WriteMemory(block, data.data(), 5000, 3), 0);
    ASSERT_EQ(serial->requests.size(), 2u);
    EXPECT_EQ(serial->requests[1].size(), (4116u + 2u) * 2u);
    const Bytes sent = Request();
    ASSERT_EQ(sent.size(), 4116u);
    EXPECT_EQ(sent[0] | (sent[1] << 8), 4116);
    EXPECT_EQ(sent[16] | (sent[17] << 8), 4096);
    EXPECT_EQ(Bytes(sent.begin() + 20, sent.end()), Bytes(data.begin() + 3, data.begin() + 4099));
}

TEST_F(CommandSetTest, NoTransportSelected) {
    set->SelectTransport(0);
    int value = 0;
    EXPECT_EQ(set->ReadDeviceMode(&value), 0x60200002);
    EXPECT_EQ(set->Open(), 0x60200002);
    EXPECT_EQ(set->Close(), 0x60200002);
    TSConnectParams params;
    EXPECT_EQ(set->SetParams(params), 0x60200002);
    EXPECT_EQ(set->GetParams(params), 0x60200002);
    set->SelectTransport(2);
    EXPECT_EQ(set->Open(), 0);
    EXPECT_EQ(serial->opens, 1);
}
