#include "common/checksums.h"

namespace veltrin {

std::uint16_t Crc16ArcStep(std::uint16_t crc, std::uint8_t data) {
    for (int bit = 0; bit < 8; ++bit) {
        if (((crc ^ data) & 0x0001) != 0) {
            crc = static_cast<std::uint16_t>((crc >> 1) ^ 0xA001);
        } else {
            crc = static_cast<std::uint16_t>(crc >> 1);
        }
        data = static_cast<std::uint8_t>(data >> 1);
    }
    return crc;
}

std::uint16_t Crc16Arc(std::uint16_t start, const std::uint8_t* bytes, std::size_t count) {
    std::uint16_t crc = start;
    for (std::size_t i = 0; i < count; ++i)
        crc = Crc16ArcStep(crc, bytes[i]);
    return crc;
}

// Byte-wise without a table: the frames are short and a table would cost more cache than time.
std::uint16_t Crc16X25(const std::uint8_t* bytes, std::size_t count) {
    std::uint8_t lo = 0xFF;
    std::uint8_t hi = 0xFF;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t t = static_cast<std::uint8_t>(bytes[i] ^ lo);
        lo = hi;
        t = static_cast<std::uint8_t>(t ^ (t << 4));
        lo = static_cast<std::uint8_t>(lo ^ (t >> 4) ^ (t << 3));
        hi = static_cast<std::uint8_t>(t ^ (t >> 5));
    }
    return static_cast<std::uint16_t>((static_cast<std::uint8_t>(~hi) << 8) |
                                      static_cast<std::uint8_t>(~lo));
}

}  // namespace veltrin
