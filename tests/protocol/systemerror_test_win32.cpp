#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "protocol/systemerror.h"

using namespace veltrin;

namespace {

bool IsValidUtf8(const std::string& text) {
    return text.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                               static_cast<int>(text.size()), nullptr, 0) > 0;
}

// The tests run in a German locale (see CMakeLists.txt), where this message has an umlaut.
std::string FullMessage() {
    char text[512] = {};
    SystemErrorText(text, sizeof text, ERROR_INVALID_PARAMETER);
    return text;
}

}  // namespace

TEST(SystemErrorTextWin32, NonAsciiMessageArrivesAsUtf8WithItsLineEnd) {
    ASSERT_EQ(PRIMARYLANGID(GetUserDefaultUILanguage()), LANG_GERMAN);
    const std::string message = FullMessage();
    EXPECT_TRUE(IsValidUtf8(message)) << message;
    // A UTF-8 "ü", not the code page's single byte 0xFC.
    EXPECT_NE(message.find("\xC3\xBC"), std::string::npos) << message;
    // Kept for the caller to trim, as on every Windows.
    EXPECT_EQ(message.substr(message.size() - 2), "\r\n");
}

TEST(SystemErrorTextWin32, EveryCutFitsAndNeverSplitsACharacter) {
    const std::string full = FullMessage();
    ASSERT_FALSE(full.empty());
    for (std::uint32_t size = 1; size <= full.size() + 1; ++size) {
        std::string buffer(size + 1, '#');
        SystemErrorText(buffer.data(), size, ERROR_INVALID_PARAMETER);
        const std::string cut = buffer.c_str();
        EXPECT_EQ(buffer[size], '#') << "wrote past a buffer of " << size;
        // A character that does not fit whole (at most 4 bytes) is left out.
        EXPECT_LT(cut.size(), size);
        EXPECT_GE(cut.size() + 4, std::min<std::size_t>(size - 1, full.size())) << size;
        EXPECT_EQ(cut, full.substr(0, cut.size()));
        EXPECT_TRUE(IsValidUtf8(cut)) << "cut at " << size;
    }
}
