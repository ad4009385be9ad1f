#include "protocol/clconnect.h"

namespace veltrin {

// CRC-16/ARC: reflected polynomial 0xA001, bit by bit, no final XOR.
std::uint16_t ClConnect::Crc16Step(std::uint16_t crc, std::uint8_t data) {
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

std::uint16_t ClConnect::Crc16(std::uint16_t start, const std::uint8_t* bytes, std::uint32_t count,
                               std::uint32_t capacity) {
    const std::uint32_t n = count <= capacity ? count : capacity;
    std::uint16_t crc = start;
    for (std::uint32_t i = 0; i < n; ++i)
        crc = Crc16Step(crc, bytes[i]);
    return crc;
}

// CRC-16/X-25, byte-wise without a table (start 0xFFFF, final XOR 0xFFFF).
std::uint16_t ClConnect::CrcCcitt(const std::uint8_t* bytes, std::uint32_t count,
                                  std::uint32_t capacity) {
    const std::uint32_t n = count <= capacity ? count : capacity;
    std::uint8_t lo = 0xFF;
    std::uint8_t hi = 0xFF;
    for (std::uint32_t i = 0; i < n; ++i) {
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
