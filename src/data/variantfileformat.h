#pragma once

#include <cstdint>
#include <string>

#include "data/clquorvanvariants.h"

namespace veltrin {

// The frame of a variant parameter file: a 64-byte header, the records, a CRC-16/ARC trailer.
constexpr char kVariantFileMagic[] = "ZK_QUORVAN_PAR1";
constexpr std::uint64_t kVariantHeaderSize = 64;
constexpr std::uint64_t kVariantRecordSize = sizeof(TSClQuorvanVariants_ParamRecord);
constexpr std::uint64_t kVariantTrailerSize = 2;
constexpr std::uint64_t kVariantMinimumFileSize =
    kVariantHeaderSize + kVariantRecordSize + kVariantTrailerSize;

constexpr std::uint64_t VariantFileSize(std::uint64_t recordCount) {
    return kVariantHeaderSize + kVariantRecordSize * recordCount + kVariantTrailerSize;
}

struct VariantFileHeader {
    std::string Magic;  // the header's text up to its first zero byte
    std::uint32_t RecordCount = 0;
    std::uint32_t FileSize = 0;
};

// Seeks to 0 and reads the header; PAR_ERR_TOO_SMALL when the source cannot deliver it.
int ReadVariantFileHeader(ByteSource& source, VariantFileHeader& header);

}  // namespace veltrin
