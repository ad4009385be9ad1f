#pragma once

#include <cstdint>

namespace veltrin {

// Little-endian fields of a command message, whatever the host's byte order.

inline void PutUint16(std::uint8_t* bytes, std::uint32_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline void PutUint32(std::uint8_t* bytes, std::uint32_t at, std::uint32_t value) {
    PutUint16(bytes, at, static_cast<std::uint16_t>(value));
    PutUint16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

inline std::uint16_t GetUint16(const std::uint8_t* bytes, std::uint32_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

inline std::uint32_t GetUint32(const std::uint8_t* bytes, std::uint32_t at) {
    return GetUint16(bytes, at) | (static_cast<std::uint32_t>(GetUint16(bytes, at + 2)) << 16);
}

}  // namespace veltrin
