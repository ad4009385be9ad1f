#pragma once

#include <cstdint>
#include <string_view>

namespace veltrin {

// One decoded Intel HEX record. Data holds the n data bytes; the line's characters after the
// checksum (a carriage return, for example) are not part of it.
struct HexRecord {
    std::uint8_t Count = 0;
    std::uint16_t Address = 0;
    std::uint8_t Type = 0;
    std::uint8_t Data[255] = {};
};

enum class HexLineKind { Record, Blank };

// Decodes one line as cut by HexLineReader. Returns 0 with kind Record or Blank (a line that is
// just a line feed), or the reader's code: 3 for a bad first character, 4 for an unreadable byte
// count, 5 for any other character that is not a hex digit (also when the line ends early),
// 6 for a checksum that does not bring the sum to 0.
int ParseHexLine(std::string_view line, HexLineKind& kind, HexRecord& record);

}  // namespace veltrin
