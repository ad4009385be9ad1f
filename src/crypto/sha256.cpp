#include "crypto/sha256.h"

namespace veltrin {

std::string Sha256::FinalHex() {
    unsigned char digest[32];
    return Final(digest) ? HexText(digest, sizeof(digest)) : std::string();
}

std::string Sha256Hex(const void* data, std::size_t size) {
    try {
        Sha256 sha;
        sha.Update(data, size);
        return sha.FinalHex();
    } catch (...) {
        return {};
    }
}

std::string HexText(const unsigned char* bytes, std::size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
    return text;
}

}  // namespace veltrin
