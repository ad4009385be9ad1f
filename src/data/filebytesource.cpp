#include "data/filebytesource.h"

#include <limits>

namespace veltrin {

FileByteSource::FileByteSource(std::FILE* file) : file_(file) {
    if (file_ == nullptr || std::fseek(file_, 0, SEEK_END) != 0)
        return;
    const long end = std::ftell(file_);
    if (end > 0)
        size_ = static_cast<std::uint64_t>(end);
    std::fseek(file_, 0, SEEK_SET);
}

std::uint64_t FileByteSource::Size() const {
    return size_;
}

bool FileByteSource::Seek(std::uint64_t position) {
    if (file_ == nullptr || position > size_)
        return false;
    if (position > static_cast<std::uint64_t>(std::numeric_limits<long>::max()))
        return false;
    return std::fseek(file_, static_cast<long>(position), SEEK_SET) == 0;
}

std::size_t FileByteSource::Read(void* buffer, std::size_t count) {
    if (file_ == nullptr || count == 0)
        return 0;
    return std::fread(buffer, 1, count, file_);
}

}  // namespace veltrin
