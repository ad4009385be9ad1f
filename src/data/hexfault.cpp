#include "data/hexfault.h"

#include <cstdio>

#include "data/clintelhex.h"
#include "data/hexlinereader.h"

namespace veltrin {

namespace {

int Nibble(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Byte at character position i (two hex digits), or -1.
int ByteAt(std::string_view line, std::size_t i) {
    if (i + 1 >= line.size())
        return -1;
    const int high = Nibble(line[i]);
    const int low = Nibble(line[i + 1]);
    return (high | low) < 0 ? -1 : (high << 4) | low;
}

std::string Hex2(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof(text), "0x%02X", value & 0xFFu);
    return text;
}

// A character as a person can read it in a message, control characters by their code.
std::string Shown(char c) {
    const auto code = static_cast<unsigned char>(c);
    if (code == '\r')
        return "a carriage return";
    if (code == '\n')
        return "a line feed";
    if (code < 0x20 || code >= 0x7F)
        return "byte " + Hex2(code);
    return std::string("'") + c + "'";
}

// The first character from position 1 on, among the count + 5 bytes of the record, that is not
// a hex digit; or the line's early end.
std::string FirstBadDigit(std::string_view line) {
    const int count = ByteAt(line, 1);
    const std::size_t needed = 1 + 2 * (static_cast<std::size_t>(count < 0 ? 0 : count) + 5);
    for (std::size_t i = 1; i < needed; ++i) {
        if (i >= line.size() || line[i] == '\n') {
            return "the record ends after " + std::to_string(i) + " characters, its byte count " +
                   "needs " + std::to_string(needed);
        }
        if (Nibble(line[i]) < 0) {
            return Shown(line[i]) + " at column " + std::to_string(i + 1) +
                   " is not a hex digit";
        }
    }
    return "a data byte is not two hex digits";
}

}  // namespace

std::string DescribeHexLine(std::string_view line, int code) {
    const int count = ByteAt(line, 1);
    const int type = ByteAt(line, 7);
    switch (code) {
        case HEX_OK:
            return "";
        case HEX_ERR_START_OF_LINE:
            if (line.empty())
                return "the line is empty";
            return "starts with " + Shown(line[0]) + " instead of ':'";
        case HEX_ERR_BYTE_COUNT:
            return "byte count: " + FirstBadDigit(line);
        case HEX_ERR_DATA_BYTE:
            return FirstBadDigit(line);
        case HEX_ERR_CHECKSUM: {
            if (count < 0)
                break;
            // The checksum brings the sum of every byte from the count on to 0 modulo 256.
            unsigned sum = 0;
            for (int k = 0; k < count + 4; ++k)
                sum += static_cast<unsigned>(ByteAt(line, 1 + 2 * static_cast<std::size_t>(k)));
            const int found = ByteAt(line, 1 + 2 * static_cast<std::size_t>(count + 4));
            return "checksum " + Hex2(static_cast<unsigned>(found)) + ", expected " +
                   Hex2(0x100u - (sum & 0xFFu));
        }
        case HEX_ERR_RECORD_TYPE:
        case HEX_ERR_UNKNOWN_RECORD_TYPE:
            if (type < 0)
                break;
            return "record type " + Hex2(static_cast<unsigned>(type)) +
                   " is none of 00, 01, 02, 04, 05";
        case HEX_ERR_ADDRESS:
            return "the record's data would run past address 0xFFFFFFFF";
        case HEX_ERR_ADDRESS_OFFSET:
            if (type < 0 || count < 0)
                break;
            return "record type " + Hex2(static_cast<unsigned>(type)) + " carries " +
                   std::to_string(count) + " data bytes, expected " +
                   (type == 0x05 ? "4" : "2");
        case HEX_ERR_OPEN_FILE:
            return "the file could not be read here";
        default:
            break;
    }
    return ClIntelHex::GetResultText(code);
}

namespace {

std::string DescribeFrom(HexLineReader& reader, std::uint32_t line, int code) {
    if (code == HEX_OK)
        return "";
    if (line == 0)
        return ClIntelHex::GetResultText(code);
    std::string_view text;
    std::uint32_t number = 0;
    if (!reader.Rewind())
        return "line " + std::to_string(line) + ": " + ClIntelHex::GetResultText(code);
    while (number < line && reader.NextLine(text))
        ++number;
    if (number < line) {
        // The line is gone (the file changed, or could not be read again): the code still says
        // what was wrong.
        return "line " + std::to_string(line) + ": " + ClIntelHex::GetResultText(code);
    }
    return "line " + std::to_string(line) + ": " + DescribeHexLine(text, code);
}

}  // namespace

std::string DescribeHexFault(std::string_view text, std::uint32_t line, int code) {
    try {
        HexLineReader reader(text);
        return DescribeFrom(reader, line, code);
    } catch (...) {
        return ClIntelHex::GetResultText(code);
    }
}

std::string DescribeHexFault(std::FILE* file, std::uint32_t line, int code) {
    try {
        if (file == nullptr)
            return code == HEX_OK ? "" : ClIntelHex::GetResultText(code);
        HexLineReader reader(file);
        return DescribeFrom(reader, line, code);
    } catch (...) {
        return ClIntelHex::GetResultText(code);
    }
}

}  // namespace veltrin
