#pragma once

#include <cstdio>

#include "data/clquorvanvariants.h"

namespace veltrin {

// A byte source over an open file in binary mode. The caller keeps the file open and closes it.
// The size is taken once, when the source is made.
class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(std::FILE* file);
    std::uint64_t Size() const override;
    bool Seek(std::uint64_t position) override;
    std::size_t Read(void* buffer, std::size_t count) override;

private:
    std::FILE* file_;
    std::uint64_t size_ = 0;
};

}  // namespace veltrin
