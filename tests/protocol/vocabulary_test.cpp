#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "common/texttrim.h"
#include "protocol/clconnectall.h"
#include "protocol/clconnectpipetten.h"
#include "protocol/devicetypes.h"
#include "protocol/systemerror.h"
#include "scriptedtransport.h"

using namespace veltrin;
using veltrin::testing::ScriptedTransport;

namespace {

std::unique_ptr<ClConnectPipetten> CommandSet() {
    return std::make_unique<ClConnectPipetten>(std::make_unique<ClConnectAll>(
        std::make_unique<ScriptedTransport>(), std::make_unique<ScriptedTransport>()));
}

// The system's own message, as the result line shows it (trimmed: Windows ends it with CR LF).
std::string SystemText(int number) {
    char text[512] = {};
    SystemErrorText(text, sizeof text, number);
    return TrimText(text);
}

}  // namespace

TEST(DeviceTypeTableTest, FourteenRowsInValueOrderWithEqualTexts) {
    const struct {
        const char* Identifier;
        const char* Text;
    } expected[] = {
        {"DEVICE_UNKNOWN", "unbekanntes Ger\xC3\xA4t"},
        {"DEVICE_CORVENT_ATM_IRDA", "Tarnovelle Ostrel/Corvent (IRDA-Version mit ATmega128)"},
        {"DEVICE_CORVENT_CM3_IRDA", "Tarnovelle Ostrel/Corvent (IRDA-Version mit CORTEX M3)"},
        {"DEVICE_QUORVAN_IRDA_BAS", "Quorvan-IRDA Basic"},
        {"DEVICE_QUORVAN_USB_BAS", "Quorvan-USB Basic"},
        {"DEVICE_QUORVAN_USB_PLUS", "Quorvan-USB Plus"},
        {"DEVICE_CORVENT_USB_K7", "Tarnovelle K7"},
        {"DEVICE_CORVENT_USB_K7X", "Tarnovelle K7X"},
        {"DEVICE_QUORVAN_USB_PLUS_HVM", "Quorvan-USB Plus HVM"},
        {"DEVICE_QUORVAN_USB_OTG_BAS", "Quorvan-USB OTG Basic"},
        {"DEVICE_QUORVAN_USB_OTG_PLUS", "Quorvan-USB OTG Plus"},
        {"DEVICE_QUORVAN_USB_OTG_PLUS_HVM", "Quorvan-USB OTG Plus HVM"},
        {"DEVICE_TARNOVELLE_R2_STM32L053", "Tarnovelle R2 (STM32L053)"},
        {"DEVICE_TARNOVELLE_R2_STM8", "Tarnovelle R2 (STM8)"},
    };
    ASSERT_EQ(kDeviceTypeCount, 14);
    for (int i = 0; i < kDeviceTypeCount; ++i) {
        EXPECT_EQ(kDeviceTypeTable[i].Value, i);
        EXPECT_STREQ(kDeviceTypeTable[i].Identifier, expected[i].Identifier) << i;
        EXPECT_STREQ(kDeviceTypeTable[i].Text, expected[i].Text) << i;
        EXPECT_STREQ(kDeviceTypeTable[i].Text2, expected[i].Text) << i;
        EXPECT_STREQ(DeviceTypeText(i), expected[i].Text) << i;
    }
    EXPECT_STREQ(kDeviceTypeTable[0].Identifier, "DEVICE_UNKNOWN");
    EXPECT_STREQ(kDeviceTypeTable[0].Text, "unbekanntes Ger\xC3\xA4t");
    EXPECT_STREQ(kDeviceTypeTable[1].Text,
                 "Tarnovelle Ostrel/Corvent (IRDA-Version mit ATmega128)");
    EXPECT_STREQ(kDeviceTypeTable[2].Text,
                 "Tarnovelle Ostrel/Corvent (IRDA-Version mit CORTEX M3)");
    EXPECT_STREQ(kDeviceTypeTable[7].Identifier, "DEVICE_CORVENT_USB_K7X");
    EXPECT_STREQ(kDeviceTypeTable[7].Text, "Tarnovelle K7X");
    EXPECT_STREQ(kDeviceTypeTable[11].Identifier, "DEVICE_QUORVAN_USB_OTG_PLUS_HVM");
    EXPECT_STREQ(kDeviceTypeTable[11].Text, "Quorvan-USB OTG Plus HVM");
    EXPECT_STREQ(kDeviceTypeTable[13].Text, "Tarnovelle R2 (STM8)");
    EXPECT_STREQ(DeviceTypeText(9), "Quorvan-USB OTG Basic");
    EXPECT_STREQ(DeviceTypeText(14), "unbekanntes Ger\xC3\xA4t");
    EXPECT_STREQ(DeviceTypeText(-1), "unbekanntes Ger\xC3\xA4t");
}

TEST(VocabularyTest, MemoryTypeTexts) {
    auto set = CommandSet();
    EXPECT_EQ(set->GetMemoryTypeText(0, false), "MEM_INT_FLASH");
    EXPECT_EQ(set->GetMemoryTypeText(1, true), "MEM_EXT_FLASH - 0x0001");
    EXPECT_EQ(set->GetMemoryTypeText(3, true), "MEM_EXT_EEPROM - 0x0003");
    EXPECT_EQ(set->GetMemoryTypeText(4, true),
              "kein Text verf\xC3\xBCgbar f\xC3\xBCr den Wert 0x0004");
    EXPECT_EQ(set->GetMemoryTypeText(4, false), set->GetMemoryTypeText(4, true));
    EXPECT_EQ(set->GetMemoryTypeText(0x12345, false),
              "kein Text verf\xC3\xBCgbar f\xC3\xBCr den Wert 0x12345");
    EXPECT_EQ(set->GetDeviceErrorText(0x0A01), "[0x0A01] - text not supported");
    EXPECT_EQ(set->GetDeviceErrorText(0xFFFF), "[0xFFFF] - text not supported");
}

namespace {

struct ResultCase {
    int code;
    bool withCode;
    std::string text;
};

class ResultTextTest : public ::testing::TestWithParam<ResultCase> {};

}  // namespace

TEST_P(ResultTextTest, ComposesTheLine) {
    auto set = CommandSet();
    EXPECT_EQ(set->GetResultText(GetParam().code, GetParam().withCode), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ResultTextTest,
    ::testing::Values(
        ResultCase{0, true, "ok"}, ResultCase{0, false, "ok"},
        ResultCase{0x60300A01, true, "Error device: [0x0A01] - text not supported"},
        ResultCase{0x60300A01, false, "Error device: [0x0A01] - text not supported"},
        ResultCase{0x60310000, true, "Error device: [0x0000] - text not supported"},
        ResultCase{0x60200211, true, "Error connect: [0x60200211] - Receive NACK."},
        ResultCase{0x60200211, false, "Error connect: Receive NACK."},
        ResultCase{0x602000FF, false, "Error connect: Text not supported"},
        ResultCase{0x602000FF, true, "Error connect: [0x602000FF] - Text not supported"},
        ResultCase{0x602FFFFF, false, "Error connect: Text not supported"},
        ResultCase{ENOENT, true, "Error WIN: [2] - " + SystemText(ENOENT)},
        ResultCase{ENOENT, false, "Error WIN: " + SystemText(ENOENT)},
        // No system text: the prefix keeps the text from being empty, its blank is trimmed.
        ResultCase{100000, true, "Error WIN: [100000] -"},
        ResultCase{100000, false, "Error WIN: [100000] - Text not supported"},
        ResultCase{-5, true, "Error WIN: [-5] -"},
        ResultCase{static_cast<int>(0x80000000u), false,
                   "Error WIN: [-2147483648] - Text not supported"},
        ResultCase{0x60400000, false, "Error WIN: [1614807040] - Text not supported"}));

TEST(VocabularyTest, ResultTextWithoutTransportHasNoConnectionOrSystemTexts) {
    auto set = CommandSet();
    set->SelectTransport(0);
    EXPECT_EQ(set->GetResultText(0x60200211, false),
              "Error connect: [0x60200211] - Text not supported");
    EXPECT_EQ(set->GetResultText(0x60200211, true), "Error connect: [0x60200211] -");
    EXPECT_EQ(set->GetResultText(ENOENT, false), "Error WIN: [2] - Text not supported");
    EXPECT_EQ(set->GetResultText(0x60300A01, false), "Error device: [0x0A01] - text not supported");
}

TEST(VocabularyTest, MemoryBlockTexts) {
    auto set = CommandSet();
    TSMemoryBlock block;
    block.MemoryType = 0;
    block.Address = 0x00008000;
    block.Count = 4096;
    EXPECT_EQ(set->GetMemoryBlockText(block, true),
              "Speicher: MEM_INT_FLASH - 0x0000 / Startadresse: 0x00008000 / Anzahl Bytes: 4096");
    block.MemoryType = 2;
    block.Address = 0x10;
    block.Count = 16;
    EXPECT_EQ(set->GetMemoryBlockText(block, false),
              "Speicher:  MEM_INT_EEPROM / Startadresse: 0x00000010 / Anzahl Bytes: 16");
    block.MemoryType = 1;
    block.Address = 0xFFFFFFFF;
    block.Count = 65535;
    EXPECT_EQ(set->GetMemoryBlockText(block, false),
              "Speicher:   MEM_EXT_FLASH / Startadresse: 0xFFFFFFFF / Anzahl Bytes: 65535");
    block.MemoryType = 7;
    EXPECT_EQ(set->GetMemoryBlockText(block, true),
              "Speicher: kein Text verf\xC3\xBCgbar f\xC3\xBCr den Wert 0x0007 / Startadresse: "
              "0xFFFFFFFF / Anzahl Bytes: 65535");
}
