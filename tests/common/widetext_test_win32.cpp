#include <gtest/gtest.h>

#include <string>

#include "common/widetext_win32.h"

using namespace veltrin;

namespace {

struct WideCase {
    const char* name;
    std::string utf8;
    std::wstring wide;
};

class WideTextRoundTrip : public ::testing::TestWithParam<WideCase> {};

const WideCase kWideCases[] = {
    {"Empty", "", L""},
    {"Ascii", "COM3", L"COM3"},
    {"GermanUmlauts", "Pr\xC3\xBC" "fung \xC3\xA4\xC3\xB6\xC3\x9F", L"Pr\u00FCfung \u00E4\u00F6\u00DF"},
    {"EuroSign", "\xE2\x82\xAC", L"\u20AC"},
    // Outside the basic plane: a surrogate pair in UTF-16.
    {"MusicalSymbol", "\xF0\x9D\x84\x9E", L"\xD834\xDD1E"},
    {"EmbeddedNul", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
};

}  // namespace

TEST_P(WideTextRoundTrip, ConvertsBothWays) {
    EXPECT_EQ(WideFromUtf8(GetParam().utf8), GetParam().wide);
    EXPECT_EQ(Utf8FromWide(GetParam().wide), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(Texts, WideTextRoundTrip, ::testing::ValuesIn(kWideCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WideText, InvalidUtf8BecomesReplacementCharacter) {
    EXPECT_EQ(WideFromUtf8("a\xFF" "b"), L"a\uFFFDb");
    // A sequence cut short at the end of the text.
    EXPECT_EQ(WideFromUtf8("x\xC3"), L"x\uFFFD");
}

TEST(WideText, NullOrZeroLengthWideTextIsEmpty) {
    EXPECT_EQ(Utf8FromWide(nullptr, 5), "");
    EXPECT_EQ(Utf8FromWide(L"abc", 0), "");
}
