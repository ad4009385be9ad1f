#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace veltrin {

// SHA-256 through the system's own cryptography (libcrypto on Linux, CNG on Windows), so both
// systems compute it the same way and no hash code of ours needs review.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Update(const void* data, std::size_t size);
    // The 32-byte digest; false when the system's hash failed. The object must not be updated
    // afterwards.
    bool Final(unsigned char digest[32]);
    // The digest as 64 lowercase hex digits; empty when the system's hash failed. The object
    // must not be updated afterwards.
    std::string FinalHex();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The digest of size bytes at data, as 64 lowercase hex digits (empty when the hash failed).
std::string Sha256Hex(const void* data, std::size_t size);

// Bytes as lowercase hex digits.
std::string HexText(const unsigned char* bytes, std::size_t size);

}  // namespace veltrin
