#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "protocol/systemerror.h"

using namespace veltrin;

namespace {

bool IsValidUtf8(const char* text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    while (*bytes != 0) {
        const int length = *bytes < 0x80 ? 1 : (*bytes >> 5) == 0x6 ? 2 : (*bytes >> 4) == 0xE ? 3
                                               : (*bytes >> 3) == 0x1E ? 4 : 0;
        if (length == 0)
            return false;
        for (int i = 1; i < length; ++i) {
            if ((bytes[i] & 0xC0) != 0x80)
                return false;
        }
        bytes += length;
    }
    return true;
}

}  // namespace

TEST(SystemErrorTextWin32, SystemMessageKeepsItsLineEndForTheCallerToTrim) {
    char text[256] = "stale";
    SystemErrorText(text, sizeof text, ERROR_FILE_NOT_FOUND);
    const std::string message = text;
    ASSERT_GT(message.size(), 2u);
    EXPECT_EQ(message.substr(message.size() - 2), "\r\n");
    EXPECT_TRUE(IsValidUtf8(text));
}

TEST(SystemErrorTextWin32, UnknownNumberLeavesTheBufferEmpty) {
    char text[64] = "stale";
    // Customer bit set: no system message can exist for it.
    SystemErrorText(text, sizeof text, 0x20001234);
    EXPECT_STREQ(text, "");
}

// The test runs in a German locale (see CMakeLists.txt), whose messages have umlauts.
TEST(SystemErrorTextWin32, NonAsciiMessageArrivesAsUtf8) {
    ASSERT_EQ(PRIMARYLANGID(GetUserDefaultUILanguage()), LANG_GERMAN);
    char text[512] = {};
    SystemErrorText(text, sizeof text, ERROR_INVALID_PARAMETER);
    const std::string message = text;
    EXPECT_TRUE(IsValidUtf8(text)) << message;
    // A UTF-8 "ü", not the code page's single byte 0xFC.
    EXPECT_NE(message.find("\xC3\xBC"), std::string::npos) << message;
}

TEST(SystemErrorTextWin32, EveryCutOfTheMessageFitsAndNeverSplitsACharacter) {
    char full[512] = {};
    SystemErrorText(full, sizeof full, ERROR_INVALID_PARAMETER);
    const std::size_t length = std::strlen(full);
    ASSERT_GT(length, 0u);
    for (std::uint32_t size = 1; size <= length + 1; ++size) {
        std::string buffer(size + 1, '#');
        SystemErrorText(buffer.data(), size, ERROR_INVALID_PARAMETER);
        const std::size_t copied = std::strlen(buffer.c_str());
        EXPECT_EQ(buffer[size], '#') << "wrote past a buffer of " << size;
        EXPECT_LT(copied, size);
        // At most one character (up to 4 bytes) is left out to keep a character whole.
        EXPECT_GE(copied + 4, std::min<std::size_t>(size - 1, length)) << size;
        EXPECT_EQ(std::string(buffer.c_str()), std::string(full, copied));
        EXPECT_TRUE(IsValidUtf8(buffer.c_str())) << "cut at " << size;
    }
}
