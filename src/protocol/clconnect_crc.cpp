#include "common/checksums.h"
#include "protocol/clconnect.h"

namespace veltrin {

// The connection's own names for the shared checksums; a count beyond the buffer's capacity is
// cut to the capacity so that a wrong length never reads past the buffer.

std::uint16_t ClConnect::Crc16Step(std::uint16_t crc, std::uint8_t data) {
    return Crc16ArcStep(crc, data);
}

std::uint16_t ClConnect::Crc16(std::uint16_t start, const std::uint8_t* bytes, std::uint32_t count,
                               std::uint32_t capacity) {
    return Crc16Arc(start, bytes, count <= capacity ? count : capacity);
}

std::uint16_t ClConnect::CrcCcitt(const std::uint8_t* bytes, std::uint32_t count,
                                  std::uint32_t capacity) {
    return Crc16X25(bytes, count <= capacity ? count : capacity);
}

}  // namespace veltrin
