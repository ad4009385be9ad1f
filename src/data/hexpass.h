#pragma once

#include <cstdint>
#include <string_view>

#include "data/clintelhex.h"
#include "data/hexlinereader.h"
#include "data/hexrecord.h"

namespace veltrin {

// One pass over an Intel HEX image, shared by the scan and the extraction: rewinds, tracks the
// address base, and hands every data record to sink(firstAddress, bytes, count). The sink is a
// template parameter so that the per-record call is inlined; nothing here is per byte.
// unknownTypeCode is what a record type other than 00, 01, 02, 04, 05 ends the pass with.
template <typename Sink>
int RunHexPass(HexLineReader& reader, std::uint32_t* lineCounter, int unknownTypeCode,
               Sink&& sink) {
    if (!reader.Rewind())
        return HEX_ERR_OPEN_FILE;
    std::uint32_t base = 0;
    std::uint32_t lines = 0;
    HexRecord record;
    HexLineKind kind = HexLineKind::Record;
    std::string_view line;
    int result = HEX_OK;
    bool ended = false;
    while (!ended && reader.NextLine(line)) {
        ++lines;
        result = ParseHexLine(line, kind, record);
        if (result != HEX_OK)
            break;
        if (kind == HexLineKind::Blank)
            continue;
        switch (record.Type) {
            case 0x00: {
                if (record.Count == 0)
                    break;
                // Addresses never wrap: a record that would run past 0xFFFFFFFF is refused whole.
                const std::uint64_t first = std::uint64_t{base} + record.Address;
                if (first + record.Count - 1 > 0xFFFFFFFFu) {
                    result = HEX_ERR_ADDRESS;
                    break;
                }
                sink(static_cast<std::uint32_t>(first), record.Data, record.Count);
                break;
            }
            case 0x01:
                ended = true;
                break;
            case 0x02:
            case 0x04: {
                // The value must be exactly the two bytes the type defines; reading it out of a
                // shorter or longer record would take the checksum or a data byte for it.
                if (record.Count != 2) {
                    result = HEX_ERR_ADDRESS_OFFSET;
                    break;
                }
                const std::uint32_t value = (std::uint32_t{record.Data[0]} << 8) | record.Data[1];
                base = record.Type == 0x02 ? value << 4 : value << 16;
                break;
            }
            case 0x05:
                if (record.Count != 4)
                    result = HEX_ERR_ADDRESS_OFFSET;
                break;
            default:
                result = unknownTypeCode;
                break;
        }
        if (result != HEX_OK)
            break;
    }
    if (result == HEX_OK && reader.Failed())
        result = HEX_ERR_OPEN_FILE;
    if (lineCounter != nullptr)
        *lineCounter = lines;
    return result;
}

}  // namespace veltrin
