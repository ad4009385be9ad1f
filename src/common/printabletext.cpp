#include "common/printabletext.h"

namespace veltrin {

namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

}  // namespace

std::string PrintableText(std::string_view text, bool keepLineBreaks) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n' && keepLineBreaks) {
            out += '\n';
        } else if (byte < 0x20 || byte == 0x7F) {
            AppendEscaped(out, byte);
        } else if (byte == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            // U+0080..U+009F: terminals in UTF-8 mode take U+009B as a control sequence
            // introducer, just like ESC [.
            AppendEscaped(out, byte);
            AppendEscaped(out, static_cast<unsigned char>(text[++i]));
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}

}  // namespace veltrin
