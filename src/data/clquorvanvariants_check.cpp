#include <bit>
#include <cstring>
#include <string_view>

#include "common/checksums.h"
#include "common/texttrim.h"
#include "data/clquorvanvariants.h"
#include "data/variantfileformat.h"

namespace veltrin {

static_assert(std::endian::native == std::endian::little,
              "records are copied from the file as they lie; the file is little-endian");

namespace {

std::uint32_t ReadLe32(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) |
           (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
}

// CRC-16/ARC over the first count bytes of the source, read in chunks.
bool ComputeCrc(ByteSource& source, std::uint64_t count, std::uint16_t& crc) {
    std::uint8_t chunk[4096];
    crc = 0;
    while (count > 0) {
        const std::size_t want =
            count < sizeof chunk ? static_cast<std::size_t>(count) : sizeof chunk;
        if (source.Read(chunk, want) != want)
            return false;
        crc = Crc16Arc(crc, chunk, want);
        count -= want;
    }
    return true;
}

}  // namespace

int ReadVariantFileHeader(ByteSource& source, VariantFileHeader& header) {
    std::uint8_t bytes[kVariantHeaderSize];
    if (!source.Seek(0) || source.Read(bytes, sizeof bytes) != sizeof bytes) {
        return PAR_ERR_TOO_SMALL;
    }
    const void* nul = std::memchr(bytes, 0, sizeof bytes);
    const std::size_t textLength =
        nul != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - bytes)
                       : sizeof bytes;
    header.Magic = std::string(reinterpret_cast<const char*>(bytes), textLength);
    header.RecordCount = ReadLe32(bytes + 16);
    header.FileSize = ReadLe32(bytes + 20);
    return PAR_OK;
}

int ClQuorvanVariants::Check(ByteSource& source) {
    const std::uint64_t size = source.Size();
    if (size < kVariantMinimumFileSize)
        return PAR_ERR_TOO_SMALL;

    VariantFileHeader header;
    const int read = ReadVariantFileHeader(source, header);
    if (read != PAR_OK)
        return read;
    if (TrimText(header.Magic) != TrimText(kVariantFileMagic))
        return PAR_ERR_FILE_ID;
    if (header.RecordCount == 0)
        return PAR_ERR_NO_RECORD;
    if (size != header.FileSize)
        return PAR_ERR_FILE_SIZE;
    // Wide arithmetic: a huge count must not wrap around to a plausible size.
    if (header.FileSize != VariantFileSize(header.RecordCount))
        return PAR_ERR_RECORD_COUNT;

    std::uint16_t crc = 0;
    std::uint8_t stored[2];
    if (!source.Seek(0) || !ComputeCrc(source, size - 2, crc) ||
        source.Read(stored, sizeof stored) != sizeof stored) {
        return PAR_ERR_FILE_SIZE;  // the source delivered less than it claims to hold
    }
    const std::uint16_t expected = static_cast<std::uint16_t>(stored[0] | (stored[1] << 8));
    return crc == expected ? PAR_OK : PAR_ERR_CRC;
}

}  // namespace veltrin
