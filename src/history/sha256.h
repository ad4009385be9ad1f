#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace veltrin {

// SHA-256 of the files a run used, for the update history. Our own small implementation, so that
// both systems compute it the same way without a crypto library on either.
class Sha256 {
public:
    Sha256();
    void Update(const void* data, std::size_t size);
    // The digest as 64 lowercase hex digits. The object must not be updated afterwards.
    std::string FinalHex();

private:
    void Compress(const std::uint8_t block[64]);

    std::uint32_t state_[8];
    std::uint8_t buffer_[64] = {};
    std::size_t buffered_ = 0;
    std::uint64_t totalBytes_ = 0;
};

// The digest of size bytes at data, as 64 lowercase hex digits.
std::string Sha256Hex(const void* data, std::size_t size);

}  // namespace veltrin
