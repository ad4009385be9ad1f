#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string_view>

namespace veltrin {

// Hands out the lines of an Intel HEX text the way the format's readers have always cut them:
// a line runs up to and including its line feed, but never more than kMaxLineLength characters;
// the rest of a longer line comes out as the next line. The source is an open file (read in large
// chunks, so memory stays small for any image size) or text held in memory.
class HexLineReader {
public:
    static constexpr std::size_t kMaxLineLength = 529;

    explicit HexLineReader(std::FILE* file);
    explicit HexLineReader(std::string_view text);

    // Rewinds the source. False when a file cannot be positioned at its start.
    bool Rewind();
    // The next line, or false at the end of the source (or when reading failed: see Failed).
    bool NextLine(std::string_view& line);
    // True when the file reported a read error; the text up to it may be incomplete.
    bool Failed() const { return failed_; }

private:
    bool Refill();

    std::FILE* file_ = nullptr;
    std::unique_ptr<char[]> buffer_;  // not zeroed: only bytes read into it are looked at
    std::size_t capacity_ = 0;
    const char* data_ = nullptr;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
};

}  // namespace veltrin
