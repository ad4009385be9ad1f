#include "data/hexrecord.h"

#include <array>

#include "data/clintelhex.h"

namespace veltrin {

namespace {

constexpr std::array<std::int8_t, 256> MakeNibbleTable() {
    std::array<std::int8_t, 256> table{};
    for (auto& entry : table)
        entry = -1;
    for (int c = '0'; c <= '9'; ++c)
        table[c] = static_cast<std::int8_t>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c)
        table[c] = static_cast<std::int8_t>(c - 'A' + 10);
    for (int c = 'a'; c <= 'f'; ++c)
        table[c] = static_cast<std::int8_t>(c - 'a' + 10);
    return table;
}

constexpr std::array<std::int8_t, 256> kNibble = MakeNibbleTable();

// Two hex digits at position i of the line as one byte, or -1. Characters past the end of the
// line count as non-digits, so a short line can never be read beyond its end.
inline int ByteAt(std::string_view line, std::size_t i) {
    if (i + 1 >= line.size())
        return -1;
    const int high = kNibble[static_cast<unsigned char>(line[i])];
    const int low = kNibble[static_cast<unsigned char>(line[i + 1])];
    if ((high | low) < 0)
        return -1;
    return (high << 4) | low;
}

}  // namespace

int ParseHexLine(std::string_view line, HexLineKind& kind, HexRecord& record) {
    kind = HexLineKind::Record;
    if (line.empty())
        return HEX_ERR_START_OF_LINE;
    if (line[0] == '\n') {
        kind = HexLineKind::Blank;
        return HEX_OK;
    }
    if (line[0] != ':')
        return HEX_ERR_START_OF_LINE;

    const int count = ByteAt(line, 1);
    if (count < 0)
        return HEX_ERR_BYTE_COUNT;

    // Address (2 bytes), type, n data bytes and the checksum follow the count; all n + 5 bytes
    // from the count on must sum to 0 modulo 256.
    std::uint8_t header[3];
    unsigned sum = static_cast<unsigned>(count);
    std::size_t position = 3;
    for (auto& byte : header) {
        const int value = ByteAt(line, position);
        if (value < 0)
            return HEX_ERR_DATA_BYTE;
        byte = static_cast<std::uint8_t>(value);
        sum += static_cast<unsigned>(value);
        position += 2;
    }
    for (int k = 0; k <= count; ++k) {  // the data bytes, then the checksum
        const int value = ByteAt(line, position);
        if (value < 0)
            return HEX_ERR_DATA_BYTE;
        if (k < count)
            record.Data[k] = static_cast<std::uint8_t>(value);
        sum += static_cast<unsigned>(value);
        position += 2;
    }
    if ((sum & 0xFF) != 0)
        return HEX_ERR_CHECKSUM;

    record.Count = static_cast<std::uint8_t>(count);
    record.Address = static_cast<std::uint16_t>((header[0] << 8) | header[1]);
    record.Type = header[2];
    return HEX_OK;
}

}  // namespace veltrin
