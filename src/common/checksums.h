#pragma once

#include <cstddef>
#include <cstdint>

namespace veltrin {

// The two 16-bit checksums of the pipettes' world. CRC-16/ARC seals the device frames and the
// variant parameter file; CRC-16/X-25 is the frames' other choice. Both live here, below the
// protocol and the file readers, so that neither has to reach into the other for them.

// One byte into a running CRC-16/ARC (reflected polynomial 0xA001, no final XOR).
std::uint16_t Crc16ArcStep(std::uint16_t crc, std::uint8_t data);

// CRC-16/ARC of count bytes, continuing from start (0 for a fresh checksum), so that a long
// input can be fed in chunks.
std::uint16_t Crc16Arc(std::uint16_t start, const std::uint8_t* bytes, std::size_t count);

// CRC-16/X-25 (start 0xFFFF, final XOR 0xFFFF) of count bytes.
std::uint16_t Crc16X25(const std::uint8_t* bytes, std::size_t count);

}  // namespace veltrin
