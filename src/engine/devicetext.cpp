#include "engine/devicetext.h"

#include "common/windows1252.h"

namespace veltrin {

std::string DeviceFieldText(const std::uint8_t* bytes, std::size_t size) {
    std::string text;
    bool gap = false;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t byte = bytes[i];
        if (byte == 0) {
            gap = !text.empty();
            continue;
        }
        if (gap) {
            text += ' ';
            gap = false;
        }
        const char32_t codePoint = CodePointOfWindows1252(byte);
        if (codePoint < 0x20 || codePoint == 0x7F || codePoint == 0) {
            text += '?';
        } else {
            AppendUtf8(text, codePoint);
        }
    }
    return text;
}

}  // namespace veltrin
