#include "common/printabletext.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrin {
namespace {

struct PrintableCase {
    std::string Text;
    bool KeepLineBreaks;
    std::string Expected;
};

TEST(PrintableText, ControlBytesAndTerminalSequencesAreEscapedAndTheRestIsKept) {
    const PrintableCase cases[] = {
        {"Quorvan_OTG_01.02.03.hex", false, "Quorvan_OTG_01.02.03.hex"},
        // colour change, window title, cursor movement, erase line
        {"a\x1b[31mred\x1b]0;owned\x07", false, "a\\x1b[31mred\\x1b]0;owned\\x07"},
        {"x\ry\bz\x7f", false, "x\\x0dy\\x08z\\x7f"},
        {std::string("nul\0cut", 7), false, "nul\\x00cut"},
        // the one-character CSI, U+009B, in UTF-8; U+00E4 and U+00B5 stay letters
        {"\xc2\x9b"
         "2J M\xc3\xa4rz \xc2\xb5l",
         false, "\\xc2\\x9b2J M\xc3\xa4rz \xc2\xb5l"},
        {"ends in \xc2", false, "ends in \xc2"},
        {"two\nlines\r\n", false, "two\\x0alines\\x0d\\x0a"},
        {"two\nlines\r\n", true, "two\nlines\\x0d\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PrintableText(c.Text, c.KeepLineBreaks), c.Expected) << c.Text;
    }
}

}  // namespace
}  // namespace veltrin
