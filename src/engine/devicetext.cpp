#include "engine/devicetext.h"

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
        text += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '?';
    }
    return text;
}

}  // namespace veltrin
