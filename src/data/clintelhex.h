#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

namespace veltrin {

// Result codes of ClIntelHex (0 = success).
enum IntelHexResult : int {
    HEX_OK = 0,
    HEX_ERR_OPEN_FILE = 2,
    HEX_ERR_START_OF_LINE = 3,
    HEX_ERR_BYTE_COUNT = 4,
    HEX_ERR_DATA_BYTE = 5,
    HEX_ERR_CHECKSUM = 6,
    HEX_ERR_RECORD_TYPE = 7,
    HEX_ERR_UNKNOWN_RECORD_TYPE = 8,
    HEX_ERR_ADDRESS = 9,
    HEX_ERR_ADDRESS_OFFSET = 10,
    HEX_ERR_ADDRESS_RANGE = 11,
    HEX_ERR_NO_DATA_IN_RANGE = 12,
    HEX_ERR_PARAMETERS = 13,
};

// One entry of a caller's range table. Addresses are inclusive.
struct TSHexRange {
    std::uint32_t StartAddress = 0;  // in
    std::uint32_t EndAddress = 0;    // in
    std::uint32_t DataStart = 0;     // out: lowest address in the range that carries data
    std::uint32_t DataEnd = 0;       // out: highest address in the range that carries data
    std::uint8_t DataFound = 0;      // out
    std::uint8_t* Buffer = nullptr;  // in: EndAddress - StartAddress + 1 bytes, or null
};

// Reads Intel HEX images (record types 00, 01, 02, 04, 05) from an open file. Stateless; each
// pass rewinds the file first. Never throws; every failure is a result code.
class ClIntelHex {
public:
    // Fills DataStart/DataEnd/DataFound of every entry and the buffers of entries that have one.
    int ScanRanges(std::FILE* file, TSHexRange* ranges, std::uint16_t count,
                   std::uint32_t* lineCounter = nullptr);
    // Bytes from DataStart to DataEnd of the range, 0xFF where the image has no data.
    int ExtractRange(std::vector<std::uint8_t>& image, std::FILE* file, const TSHexRange& range,
                     std::uint32_t* lineCounter = nullptr);
    // The same two passes over an image held in memory; the line rules are those of the file.
    int ScanRanges(std::string_view text, TSHexRange* ranges, std::uint16_t count,
                   std::uint32_t* lineCounter = nullptr);
    int ExtractRange(std::vector<std::uint8_t>& image, std::string_view text,
                     const TSHexRange& range, std::uint32_t* lineCounter = nullptr);
    static std::uint32_t GetDataSize(const TSHexRange& range);
    static const char* GetResultText(int code);
};

}  // namespace veltrin
