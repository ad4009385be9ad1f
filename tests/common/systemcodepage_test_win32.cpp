#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/systemcodepage.h"

using namespace veltrin;

namespace {

class SystemCodePage : public ::testing::Test {
protected:
    void SetUp() override {
        // The expected bytes below are those of code page 1252; the test's environment picks it.
        ASSERT_EQ(GetACP(), 1252u) << "run with a Western European locale";
    }
};

}  // namespace

TEST_F(SystemCodePage, GermanStepTextBecomesOneBytePerCharacter) {
    EXPECT_EQ(SystemCodePageFromUtf8("den Akkustatus auslesen und \xC3\xBC" "berpr\xC3\xBC" "fen"),
              "den Akkustatus auslesen und \xFC" "berpr\xFC" "fen");
    EXPECT_EQ(SystemCodePageFromUtf8("Ger\xC3\xA4t \xC3\x96l Ma\xC3\x9F \xE2\x82\xAC"),
              "Ger\xE4t \xD6l Ma\xDF \x80");
}

TEST_F(SystemCodePage, AsciiAndLineEndsStayAsTheyAre) {
    EXPECT_EQ(SystemCodePageFromUtf8(""), "");
    EXPECT_EQ(SystemCodePageFromUtf8("Block 0x00020000 written\n"), "Block 0x00020000 written\n");
}

TEST_F(SystemCodePage, CharactersTheCodePageLacksBecomeQuestionMarks) {
    // Two CJK characters: one '?' each, the rest of the text kept.
    EXPECT_EQ(SystemCodePageFromUtf8("A\xE4\xB8\xAD-\xE6\x96\x87!"), "A?-?!");
}
