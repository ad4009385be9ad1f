#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "common/checksums.h"
#include "data/clquorvanvariants.h"

// A variant parameter file holding the given records: header, records, CRC-16/ARC.
inline std::vector<std::uint8_t> MakeParFile(
    const std::vector<veltrin::TSClQuorvanVariants_ParamRecord>& records) {
    const std::uint32_t count = static_cast<std::uint32_t>(records.size());
    const std::uint32_t size = 66 + 436 * count;
    std::vector<std::uint8_t> file(size, 0);
    std::memcpy(file.data(), "ZK_QUORVAN_PAR1", 15);
    for (int i = 0; i < 4; ++i) {
        file[16 + i] = static_cast<std::uint8_t>(count >> (8 * i));
        file[20 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    }
    for (std::uint32_t r = 0; r < count; ++r) {
        std::memcpy(file.data() + 64 + 436 * r, &records[r], 436);
    }
    const std::uint16_t crc = veltrin::Crc16Arc(0, file.data(), size - 2);
    file[size - 2] = static_cast<std::uint8_t>(crc);
    file[size - 1] = static_cast<std::uint8_t>(crc >> 8);
    return file;
}
