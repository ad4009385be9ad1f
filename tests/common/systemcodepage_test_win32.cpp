#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/systemcodepage.h"

using namespace veltrin;

// The expected bytes are those of code page 1252, which the test's environment picks.
TEST(SystemCodePage, ConvertsToTheWesternEuropeanCodePage) {
    ASSERT_EQ(GetACP(), 1252u) << "run with a Western European locale";
    const struct {
        std::string utf8;
        std::string expected;
    } cases[] = {
        {"", ""},
        {"Block 0x00020000 written\n", "Block 0x00020000 written\n"},
        {"\xC3\xBC"
         "berpr\xC3\xBC"
         "fen",
         "\xFC"
         "berpr\xFC"
         "fen"},
        {"Ger\xC3\xA4t \xC3\x96l Ma\xC3\x9F \xE2\x82\xAC", "Ger\xE4t \xD6l Ma\xDF \x80"},
        // Characters the code page lacks (here CJK) and broken UTF-8 become one '?' each.
        {"A\xE4\xB8\xAD-\xE6\x96\x87!", "A?-?!"},
        {"a\xFF"
         "b",
         "a?b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SystemCodePageFromUtf8(c.utf8), c.expected) << c.utf8;
}
