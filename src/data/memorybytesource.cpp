#include <cstring>

#include "data/clquorvanvariants.h"

namespace veltrin {

MemoryByteSource::MemoryByteSource(const std::uint8_t* data, std::size_t size)
    : data_(data), size_(data != nullptr ? size : 0) {}

std::uint64_t MemoryByteSource::Size() const {
    return size_;
}

bool MemoryByteSource::Seek(std::uint64_t position) {
    if (position > size_)
        return false;
    position_ = static_cast<std::size_t>(position);
    return true;
}

std::size_t MemoryByteSource::Read(void* buffer, std::size_t count) {
    const std::size_t available = size_ - position_;
    const std::size_t n = count < available ? count : available;
    if (n > 0)
        std::memcpy(buffer, data_ + position_, n);
    position_ += n;
    return n;
}

}  // namespace veltrin
