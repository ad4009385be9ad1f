#include <cstring>
#include <new>

#include "data/clintelhex.h"
#include "data/hexpass.h"

namespace veltrin {

namespace {

// Resets the table in order; the first entry whose end lies below its start stops the reset,
// leaving it and every later entry as the caller gave them.
int ResetEntries(TSHexRange* ranges, std::uint16_t count) {
    if (count > 0 && ranges == nullptr)
        return HEX_ERR_PARAMETERS;
    for (std::uint16_t i = 0; i < count; ++i) {
        TSHexRange& entry = ranges[i];
        if (entry.EndAddress < entry.StartAddress)
            return HEX_ERR_PARAMETERS;
        entry.DataStart = 0;
        entry.DataEnd = 0;
        entry.DataFound = 0;
        if (entry.Buffer != nullptr) {
            std::memset(entry.Buffer, 0x00, std::size_t{entry.EndAddress - entry.StartAddress} + 1);
        }
    }
    return HEX_OK;
}

// Records the bytes first .. first + n - 1 in every entry they touch. Working on the record's
// overlap with each entry gives the same DataStart/DataEnd/buffer contents as byte-by-byte
// bookkeeping, at a fraction of the cost.
void RecordData(TSHexRange* ranges, std::uint16_t count, std::uint32_t first,
                const std::uint8_t* data, std::uint8_t n) {
    const std::uint32_t last = first + n - 1;
    for (std::uint16_t i = 0; i < count; ++i) {
        TSHexRange& entry = ranges[i];
        if (last < entry.StartAddress || first > entry.EndAddress)
            continue;
        const std::uint32_t low = first > entry.StartAddress ? first : entry.StartAddress;
        const std::uint32_t high = last < entry.EndAddress ? last : entry.EndAddress;
        if (entry.DataFound == 0) {
            entry.DataStart = low;
            entry.DataEnd = high;
            entry.DataFound = 1;
        } else {
            if (low < entry.DataStart)
                entry.DataStart = low;
            if (high > entry.DataEnd)
                entry.DataEnd = high;
        }
        if (entry.Buffer != nullptr) {
            std::memcpy(entry.Buffer + (low - entry.StartAddress), data + (low - first),
                        std::size_t{high - low} + 1);
        }
    }
}

int Scan(HexLineReader& reader, TSHexRange* ranges, std::uint16_t count,
         std::uint32_t* lineCounter) {
    return RunHexPass(reader, lineCounter, HEX_ERR_RECORD_TYPE,
                      [&](std::uint32_t first, const std::uint8_t* data, std::uint8_t n) {
                          RecordData(ranges, count, first, data, n);
                      });
}

}  // namespace

int ClIntelHex::ScanRanges(std::FILE* file, TSHexRange* ranges, std::uint16_t count,
                           std::uint32_t* lineCounter) {
    if (lineCounter != nullptr)
        *lineCounter = 0;
    const int reset = ResetEntries(ranges, count);
    if (reset != HEX_OK)
        return reset;
    if (file == nullptr)
        return HEX_ERR_OPEN_FILE;
    try {
        HexLineReader reader(file);
        return Scan(reader, ranges, count, lineCounter);
    } catch (const std::bad_alloc&) {
        return HEX_ERR_PARAMETERS;
    }
}

int ClIntelHex::ScanRanges(std::string_view text, TSHexRange* ranges, std::uint16_t count,
                           std::uint32_t* lineCounter) {
    if (lineCounter != nullptr)
        *lineCounter = 0;
    const int reset = ResetEntries(ranges, count);
    if (reset != HEX_OK)
        return reset;
    HexLineReader reader(text);
    return Scan(reader, ranges, count, lineCounter);
}

}  // namespace veltrin
