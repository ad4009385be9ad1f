#pragma once

#include <cstdint>
#include <string_view>

namespace veltrin {

// Copies texts into fixed-size byte fields of records (a port name into the connection settings).
class ClToolsTextConvert {
public:
    // Zero-fills size bytes of buffer, copies min(size, text length) bytes of text into it and,
    // when terminate is set, zeroes the last byte, so a longer text keeps size - 1 characters.
    // Without terminate the field may end without a zero byte. A size of 0 writes nothing.
    void TextToBuffer(void* buffer, std::uint16_t size, std::string_view text, bool terminate);
};

}  // namespace veltrin
