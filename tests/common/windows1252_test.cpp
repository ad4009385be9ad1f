// The device's code page both ways: what the engine decodes, and what the simulator stores.
#include "common/windows1252.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrin {
namespace {

TEST(Windows1252Test, TextsRoundTripThroughTheDevicesCodePage) {
    const std::pair<std::string, std::string> cases[] = {
        {"Größe 10µl", "Gr\xF6\xDF\x65 10\xB5l"},
        {"€ „x“ – Š", "\x80 \x84x\x93 \x96 \x8A"},
        {"ÿ", "\xFF"},
    };
    for (const auto& [utf8, bytes] : cases) {
        EXPECT_EQ(Windows1252FromUtf8(utf8), bytes) << utf8;
        std::string decoded;
        for (const char byte : bytes)
            AppendUtf8(decoded, CodePointOfWindows1252(static_cast<std::uint8_t>(byte)));
        EXPECT_EQ(decoded, utf8);
    }
    // What the code page lacks, and bytes that are not UTF-8, become '?'.
    EXPECT_EQ(Windows1252FromUtf8("日本 \xC3 \xE2\x82 \xF0\x9F\x98\x80 \xC0\xAF"), "?? ? ?? ? ??");
    for (const std::uint8_t unassigned : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(CodePointOfWindows1252(unassigned), 0u);
}

}  // namespace
}  // namespace veltrin
