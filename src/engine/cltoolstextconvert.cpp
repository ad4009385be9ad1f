#include "engine/cltoolstextconvert.h"

#include <algorithm>
#include <cstring>

namespace veltrin {

void ClToolsTextConvert::TextToBuffer(void* buffer, std::uint16_t size, std::string_view text,
                                      bool terminate) {
    if (buffer == nullptr || size == 0)
        return;
    auto* bytes = static_cast<char*>(buffer);
    std::memset(bytes, 0, size);
    std::memcpy(bytes, text.data(), std::min<std::size_t>(size, text.size()));
    if (terminate)
        bytes[size - 1] = 0;
}

}  // namespace veltrin
