#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "protocol/clconnect.h"
#include "protocol/systemerror.h"

using namespace veltrin;

namespace {

// The base class is abstract only in spirit; its codec needs no transport.
class CodecTest : public ::testing::Test {
protected:
    ClConnect connect;
};

const std::uint8_t* Bytes(const char* text) {
    return reinterpret_cast<const std::uint8_t*>(text);
}

}  // namespace

TEST_F(CodecTest, ValueToHexWritesLeastSignificantByteFirst) {
    char buffer[16];
    EXPECT_EQ(connect.ValueToHex(buffer, sizeof buffer, 0x1234, 2), 0);
    EXPECT_STREQ(buffer, "3412");
    EXPECT_EQ(connect.ValueToHex(buffer, sizeof buffer, 0xA1B2C3D4, 4), 0);
    EXPECT_STREQ(buffer, "D4C3B2A1");
    EXPECT_EQ(connect.ValueToHex(buffer, sizeof buffer, 0x1234, 3), 0x60200013);
    EXPECT_EQ(connect.ValueToHex(buffer, 4, 0x1234, 2), 0x6020000A);
    EXPECT_EQ(connect.ValueToHex(buffer, 5, 0x1234, 2), 0);
}

TEST_F(CodecTest, BytesToHexChecksSizesFirst) {
    const std::uint8_t data[] = {0x00, 0xAB, 0x7F};
    char buffer[7];
    EXPECT_EQ(connect.BytesToHex(buffer, sizeof buffer, data, 3, 3), 0);
    EXPECT_STREQ(buffer, "00AB7F");
    EXPECT_EQ(connect.BytesToHex(buffer, 6, data, 3, 3), 0x6020000A);
    EXPECT_EQ(connect.BytesToHex(buffer, sizeof buffer, data, 3, 2), 0x60200012);
    EXPECT_EQ(connect.BytesToHex(buffer, sizeof buffer, data, 0, 3), 0);
    EXPECT_STREQ(buffer, "");
}

TEST_F(CodecTest, HexToValueAcceptsBothCasesAndRejectsBadText) {
    std::uint32_t value = 0;
    EXPECT_EQ(connect.HexToValue(&value, 2, "3412", 5), 0);
    EXPECT_EQ(value, 0x1234u);
    EXPECT_EQ(connect.HexToValue(&value, 1, "ab", 3), 0);
    EXPECT_EQ(value, 0xABu);
    EXPECT_EQ(connect.HexToValue(&value, 1, "3G", 3), 0x6020000F);
    EXPECT_EQ(connect.HexToValue(&value, 1, "341", 4), 0x6020000C);
    EXPECT_EQ(connect.HexToValue(&value, 2, "34", 3), 0x6020000E);
    EXPECT_EQ(connect.HexToValue(&value, 0, "34", 3), 0x60200013);
    EXPECT_EQ(connect.HexToValue(&value, 5, "0102030405", 11), 0x60200013);
    EXPECT_EQ(connect.HexToValue(&value, 3, "010203", 7), 0);
    EXPECT_EQ(value, 0x030201u);
    // Trailing pairs beyond count are ignored.
    EXPECT_EQ(connect.HexToValue(&value, 1, "12FF", 5), 0);
    EXPECT_EQ(value, 0x12u);
    const char unterminated[4] = {'3', '4', '1', '2'};
    EXPECT_EQ(connect.HexToValue(&value, 2, unterminated, 4), 0x6020000D);
}

TEST_F(CodecTest, HexToBytesKeepsWhatItDecodedBeforeABadPair) {
    std::uint8_t bytes[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(connect.HexToBytes(bytes, 3, 4, "0102ZZ", 7), 0x6020000F);
    EXPECT_EQ(bytes[0], 0x01);
    EXPECT_EQ(bytes[1], 0x02);
    EXPECT_EQ(bytes[3], 0xEE);
    EXPECT_EQ(connect.HexToBytes(bytes, 4, 4, "0102", 5), 0x6020000E);
    EXPECT_EQ(connect.HexToBytes(bytes, 3, 2, "010203", 7), 0x60200012);
    EXPECT_EQ(connect.HexToBytes(bytes, 2, 4, "0A0b", 5), 0);
    EXPECT_EQ(bytes[0], 0x0A);
    EXPECT_EQ(bytes[1], 0x0B);
    EXPECT_EQ(bytes[2], 0xEE);  // bytes from count on are not touched
}

TEST(CrcTest, CheckValues) {
    EXPECT_EQ(ClConnect::Crc16(0, Bytes("123456789"), 9, 9), 0xBB3D);
    EXPECT_EQ(ClConnect::CrcCcitt(Bytes("123456789"), 9, 9), 0x906E);
    EXPECT_EQ(ClConnect::Crc16(0, Bytes("abc"), 3, 3), 0x9738);
    EXPECT_EQ(ClConnect::CrcCcitt(Bytes("abc"), 3, 3), 0x9E25);
    const std::uint8_t deviceMode[] = {0x0A, 0, 0, 0, 0x02, 0, 0, 0, 0, 0};
    EXPECT_EQ(ClConnect::Crc16(0, deviceMode, 10, 10), 0xC221);
}

TEST_F(CodecTest, VersionTextFollowsTheSizeRule) {
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    connect.GetVersion(buffer, 0);
    EXPECT_EQ(buffer[0], 'x');
    connect.GetVersion(buffer, 5);
    EXPECT_STREQ(buffer, "00.0");
    connect.GetVersion(buffer, 8);
    EXPECT_STREQ(buffer, "00.00.0");
    connect.GetVersion(buffer, 9);
    EXPECT_STREQ(buffer, "00.00.04");
}

TEST_F(CodecTest, ErrorTexts) {
    char buffer[256];
    EXPECT_EQ(connect.GetErrorText(buffer, sizeof buffer, 0x60200211), 0);
    EXPECT_STREQ(buffer, "Receive NACK.");
    EXPECT_EQ(connect.GetErrorText(buffer, sizeof buffer, 0x60200001), 0);
    EXPECT_STREQ(buffer, "Text not supported");
    EXPECT_EQ(connect.GetErrorText(buffer, sizeof buffer, 0x60200010), 0);
    EXPECT_EQ(std::strlen(buffer), 54u);  // the longest text
    EXPECT_NE(connect.GetErrorText(buffer, 10, 0x60200211), 0);
    EXPECT_STREQ(buffer, "");
}

TEST_F(CodecTest, SystemErrorTextIsEmptyForUnknownNumbers) {
    char buffer[256];
    connect.GetSystemErrorText(buffer, sizeof buffer, 2);  // ENOENT
    EXPECT_GT(std::strlen(buffer), 0u);
    connect.GetSystemErrorText(buffer, sizeof buffer, 987654);
    EXPECT_STREQ(buffer, "");
    connect.GetSystemErrorText(buffer, 4, 2);
    EXPECT_EQ(std::strlen(buffer), 3u);
}

// Error numbers differ between the systems; an allocation failure reported with another
// system's number would show the user an unrelated text.
TEST_F(CodecTest, OutOfMemoryErrorReadsAsMemoryOnThisSystem) {
    char buffer[256];
    connect.GetSystemErrorText(buffer, sizeof buffer, OutOfMemoryError());
    std::string text(buffer);
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_NE(text.find("memory"), std::string::npos) << buffer;
}

TEST_F(CodecTest, BaseTransportOperationsAreNotSupported) {
    char answer[8];
    EXPECT_EQ(connect.Open(), 0x60200000);
    EXPECT_EQ(connect.Close(), 0x60200000);
    EXPECT_EQ(connect.Transceive("00", 3, answer, sizeof answer), 0x60200000);
    EXPECT_EQ(connect.IsConnected(), 0);
}
