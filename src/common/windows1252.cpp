#include "common/windows1252.h"

namespace veltrin {

namespace {

// 0x80-0x9F; the rest of the code page is Latin-1, byte = code point.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
};

std::uint8_t ByteOfCodePoint(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<std::uint8_t>(codePoint);
    for (std::uint8_t i = 0; i < 32; ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == codePoint)
            return static_cast<std::uint8_t>(0x80 + i);
    }
    return '?';
}

// The code point of the UTF-8 sequence at text[at], and its length; U+FFFD and 1 for a byte
// that starts no valid sequence.
char32_t NextCodePoint(std::string_view text, std::size_t at, std::size_t& length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    length = 1;
    std::size_t count = 0;
    char32_t value = 0;
    char32_t least = 0;
    if (lead < 0x80)
        return lead;
    if ((lead & 0xE0) == 0xC0) {
        count = 1, value = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 2, value = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        count = 3, value = lead & 0x07, least = 0x10000;
    } else {
        return 0xFFFD;
    }
    if (at + count >= text.size())
        return 0xFFFD;
    for (std::size_t i = 1; i <= count; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0xFFFD;
        value = value << 6 | (byte(i) & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0xFFFD;
    length = count + 1;
    return value;
}

}  // namespace

char32_t CodePointOfWindows1252(std::uint8_t byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

void AppendUtf8(std::string& text, char32_t codePoint) {
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | codePoint >> 6);
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | codePoint >> 12);
        text += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | codePoint >> 18);
        text += static_cast<char>(0x80 | (codePoint >> 12 & 0x3F));
        text += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::string Windows1252FromUtf8(std::string_view text) {
    std::string bytes;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t length = 1;
        const char32_t codePoint = NextCodePoint(text, at, length);
        bytes += static_cast<char>(ByteOfCodePoint(codePoint));
        at += length;
    }
    return bytes;
}

}  // namespace veltrin
