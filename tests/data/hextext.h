#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "data/clintelhex.h"

namespace veltrin::testutil {

// One Intel HEX record line (no line end); checksumDelta spoils the checksum on purpose.
inline std::string HexLine(std::uint8_t type, std::uint16_t address,
                           const std::vector<std::uint8_t>& data, int checksumDelta = 0) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(data.size()),
                                       static_cast<std::uint8_t>(address >> 8),
                                       static_cast<std::uint8_t>(address), type};
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (auto b : bytes)
        sum += b;
    bytes.push_back(static_cast<std::uint8_t>(0x100 - (sum & 0xFF) + checksumDelta));
    std::string line = ":";
    for (auto b : bytes) {
        line.push_back(kDigits[b >> 4]);
        line.push_back(kDigits[b & 0x0F]);
    }
    return line;
}

inline std::string DataLine(std::uint16_t address, const std::vector<std::uint8_t>& data) {
    return HexLine(0x00, address, data);
}
inline std::string LinearBase(std::uint16_t upper) {
    return HexLine(0x04, 0,
                   {static_cast<std::uint8_t>(upper >> 8), static_cast<std::uint8_t>(upper)});
}
inline std::string SegmentBase(std::uint16_t segment) {
    return HexLine(0x02, 0,
                   {static_cast<std::uint8_t>(segment >> 8), static_cast<std::uint8_t>(segment)});
}
inline const std::string kEndOfFile = ":00000001FF";

// Lines joined with a line end after each.
inline std::string Lines(const std::vector<std::string>& lines, const char* end = "\n") {
    std::string text;
    for (const auto& line : lines)
        text += line + end;
    return text;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A temporary binary file holding text, positioned anywhere (the reader rewinds).
inline FilePtr TempFileWith(const std::string& text) {
    FilePtr file(std::tmpfile());
    if (file) {
        std::fwrite(text.data(), 1, text.size(), file.get());
        std::fflush(file.get());
    }
    return file;
}

enum class HexSource { File, Memory };

inline std::string SourceName(const ::testing::TestParamInfo<HexSource>& info) {
    return info.param == HexSource::File ? "File" : "Memory";
}

// Runs each pass over a temporary file or over the text in memory; both must behave the same.
class HexPassTest : public ::testing::TestWithParam<HexSource> {
protected:
    int Scan(const std::string& text, TSHexRange* ranges, std::uint16_t count,
             std::uint32_t* lines = nullptr) {
        if (GetParam() == HexSource::Memory)
            return hex.ScanRanges(text, ranges, count, lines);
        FilePtr file = TempFileWith(text);
        return hex.ScanRanges(file.get(), ranges, count, lines);
    }
    int Extract(std::vector<std::uint8_t>& image, const std::string& text, const TSHexRange& range,
                std::uint32_t* lines = nullptr) {
        if (GetParam() == HexSource::Memory)
            return hex.ExtractRange(image, text, range, lines);
        FilePtr file = TempFileWith(text);
        return hex.ExtractRange(image, file.get(), range, lines);
    }

    ClIntelHex hex;
};

inline TSHexRange Range(std::uint32_t start, std::uint32_t end, std::uint8_t* buffer = nullptr) {
    TSHexRange range;
    range.StartAddress = start;
    range.EndAddress = end;
    range.Buffer = buffer;
    return range;
}

inline TSHexRange Found(std::uint32_t dataStart, std::uint32_t dataEnd) {
    TSHexRange range;
    range.DataStart = dataStart;
    range.DataEnd = dataEnd;
    range.DataFound = 1;
    return range;
}

}  // namespace veltrin::testutil
