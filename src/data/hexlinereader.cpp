#include "data/hexlinereader.h"

#include <cstring>

namespace veltrin {

namespace {
// Large reads keep the per-call cost negligible; the buffer is the only memory a pass needs.
constexpr std::size_t kFileBufferSize = 64 * 1024;
}  // namespace

HexLineReader::HexLineReader(std::FILE* file)
    : file_(file),
      buffer_(std::make_unique_for_overwrite<char[]>(kFileBufferSize)),
      capacity_(kFileBufferSize) {
    data_ = buffer_.get();
}

HexLineReader::HexLineReader(std::string_view text)
    : data_(text.data()), end_(text.size()), atEnd_(true) {}

bool HexLineReader::Rewind() {
    position_ = 0;
    failed_ = false;
    if (file_ == nullptr)
        return true;
    end_ = 0;
    atEnd_ = false;
    if (std::fseek(file_, 0, SEEK_SET) != 0)
        return false;
    std::clearerr(file_);
    return true;
}

bool HexLineReader::Refill() {
    const std::size_t rest = end_ - position_;
    if (rest > 0 && position_ > 0)
        std::memmove(buffer_.get(), buffer_.get() + position_, rest);
    position_ = 0;
    end_ = rest;
    while (!atEnd_ && end_ < capacity_) {
        const std::size_t got = std::fread(buffer_.get() + end_, 1, capacity_ - end_, file_);
        end_ += got;
        if (got == 0) {
            atEnd_ = true;
            failed_ = std::ferror(file_) != 0;
        }
    }
    return !failed_;
}

bool HexLineReader::NextLine(std::string_view& line) {
    if (!atEnd_ && end_ - position_ < kMaxLineLength && !Refill())
        return false;
    const std::size_t available = end_ - position_;
    if (available == 0)
        return false;
    const std::size_t limit = available < kMaxLineLength ? available : kMaxLineLength;
    const char* start = data_ + position_;
    const void* feed = std::memchr(start, '\n', limit);
    const std::size_t length =
        feed != nullptr ? static_cast<std::size_t>(static_cast<const char*>(feed) - start) + 1
                        : limit;
    line = std::string_view(start, length);
    position_ += length;
    return true;
}

}  // namespace veltrin
