#include <windows.h>

#include <bcrypt.h>
#include <wincrypt.h>

#include <climits>
#include <cstring>

#include "crypto/sha256.h"
#include "crypto/signingkey.h"

namespace veltrin {

namespace {

// The DER of the named curve's identifier, as the key's algorithm parameters hold it.
constexpr unsigned char kP256Parameters[] = {0x06, 0x08, 0x2A, 0x86, 0x48,
                                             0xCE, 0x3D, 0x03, 0x01, 0x07};
constexpr DWORD kCoordinateBytes = 32;

// A structure CryptDecodeObjectEx allocated.
template <typename T>
struct Decoded {
    T* Value = nullptr;
    ~Decoded() {
        if (Value != nullptr)
            LocalFree(Value);
    }
};

template <typename T>
bool Decode(LPCSTR type, const unsigned char* der, std::size_t size, Decoded<T>& decoded) {
    if (size == 0 || size > ULONG_MAX)
        return false;
    DWORD length = 0;
    return CryptDecodeObjectEx(X509_ASN_ENCODING, type, der, static_cast<DWORD>(size),
                               CRYPT_DECODE_ALLOC_FLAG, nullptr, &decoded.Value, &length) != 0 &&
           decoded.Value != nullptr;
}

bool IsP256(const CERT_PUBLIC_KEY_INFO& info) {
    return info.Algorithm.pszObjId != nullptr &&
           std::strcmp(info.Algorithm.pszObjId, szOID_ECC_PUBLIC_KEY) == 0 &&
           info.Algorithm.Parameters.cbData == sizeof(kP256Parameters) &&
           std::memcmp(info.Algorithm.Parameters.pbData, kP256Parameters,
                       sizeof(kP256Parameters)) == 0;
}

// The decoder ignores bytes after the signature's SEQUENCE; libcrypto refuses them, and so do
// we, so both systems accept exactly the same files. A P-256 signature is at most 72 bytes, so
// its length is always in DER's one-byte form.
bool IsOneWholeSequence(const std::vector<unsigned char>& signature) {
    return signature.size() >= 2 && signature[0] == 0x30 && signature[1] < 0x80 &&
           signature.size() == 2u + signature[1];
}

// r and s come as little-endian integers; CNG wants both big-endian, each padded to 32 bytes.
bool PutCoordinate(const CRYPT_UINT_BLOB& value, unsigned char* target) {
    DWORD length = value.cbData;
    while (length > 0 && value.pbData[length - 1] == 0)
        --length;  // leading zeros of the big number
    if (length > kCoordinateBytes)
        return false;
    std::memset(target, 0, kCoordinateBytes);
    for (DWORD i = 0; i < length; ++i)
        target[kCoordinateBytes - 1 - i] = value.pbData[i];
    return true;
}

}  // namespace

std::string ReadP256PublicKey(const std::string& pem, std::vector<unsigned char>& spkiDer) {
    spkiDer.clear();
    if (pem.size() > ULONG_MAX)
        return "the key text is too long";
    DWORD length = 0;
    if (!CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                              nullptr, &length, nullptr, nullptr) ||
        length == 0) {
        return "not a PEM public key";
    }
    std::vector<unsigned char> der(length);
    if (!CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                              der.data(), &length, nullptr, nullptr)) {
        return "not a PEM public key";
    }
    der.resize(length);
    Decoded<CERT_PUBLIC_KEY_INFO> info;
    if (!Decode(X509_PUBLIC_KEY_INFO, der.data(), der.size(), info))
        return "not a PEM public key";
    if (!IsP256(*info.Value))
        return "not an ECDSA P-256 key";
    BCRYPT_KEY_HANDLE key = nullptr;
    if (!CryptImportPublicKeyInfoEx2(X509_ASN_ENCODING, info.Value, 0, nullptr, &key))
        return "not an ECDSA P-256 key";
    BCryptDestroyKey(key);
    spkiDer = std::move(der);
    return {};
}

bool VerifyP256Signature(const std::vector<unsigned char>& spkiDer, const void* message,
                         std::size_t size, const std::vector<unsigned char>& signature) {
    try {
        Decoded<CERT_PUBLIC_KEY_INFO> info;
        Decoded<CERT_ECC_SIGNATURE> decoded;
        if (!Decode(X509_PUBLIC_KEY_INFO, spkiDer.data(), spkiDer.size(), info) ||
            !IsP256(*info.Value) || !IsOneWholeSequence(signature) ||
            !Decode(X509_ECC_SIGNATURE, signature.data(), signature.size(), decoded)) {
            return false;
        }
        unsigned char rs[2 * kCoordinateBytes];
        if (!PutCoordinate(decoded.Value->r, rs) ||
            !PutCoordinate(decoded.Value->s, rs + kCoordinateBytes)) {
            return false;
        }
        unsigned char digest[32];
        Sha256 sha;
        sha.Update(message, size);
        if (!sha.Final(digest))
            return false;
        BCRYPT_KEY_HANDLE key = nullptr;
        if (!CryptImportPublicKeyInfoEx2(X509_ASN_ENCODING, info.Value, 0, nullptr, &key))
            return false;
        const NTSTATUS status =
            BCryptVerifySignature(key, nullptr, digest, sizeof(digest), rs, sizeof(rs), 0);
        BCryptDestroyKey(key);
        return BCRYPT_SUCCESS(status);
    } catch (...) {
        return false;
    }
}

}  // namespace veltrin
