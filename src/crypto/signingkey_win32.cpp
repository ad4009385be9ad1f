#include <windows.h>

#include <bcrypt.h>
#include <wincrypt.h>

#include <climits>
#include <cstring>
#include <string>

#include "crypto/sha256.h"
#include "crypto/signingkey.h"
#include "crypto/signingkeyshape.h"

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

// The standard encoder's DER of value, in a buffer it allocated (LocalFree).
struct Encoded {
    BYTE* Bytes = nullptr;
    DWORD Size = 0;
    Encoded() = default;
    Encoded(const Encoded&) = delete;
    Encoded& operator=(const Encoded&) = delete;
    ~Encoded() {
        if (Bytes != nullptr)
            LocalFree(Bytes);
    }
    bool Encode(LPCSTR type, const void* value) {
        return CryptEncodeObjectEx(X509_ASN_ENCODING, type, value, CRYPT_ENCODE_ALLOC_FLAG, nullptr,
                                   &Bytes, &Size) != 0 &&
               Bytes != nullptr;
    }
    bool Is(const unsigned char* der, std::size_t size) const {
        return Size == size && std::memcmp(Bytes, der, size) == 0;
    }
};

// DER has one encoding per value, and libcrypto takes only that one; the decoder alone also
// takes leading zeros, negative INTEGERs, long-form lengths, extra elements and bytes after the
// end, so this system would accept files the other refuses. Hence what was decoded is encoded
// again with the standard encoder and must give the input byte for byte.
bool IsDerOf(const CERT_PUBLIC_KEY_INFO& info, const unsigned char* der, std::size_t size) {
    Encoded encoded;
    return encoded.Encode(X509_PUBLIC_KEY_INFO, &info) && encoded.Is(der, size);
}

// Wine has no encoder for X509_ECC_SIGNATURE, so the signature's SEQUENCE of two unsigned
// INTEGERs is built from the encoders for those two, which both systems have.
bool IsDerOf(const CERT_ECC_SIGNATURE& signature, const unsigned char* der, std::size_t size) {
    Encoded r;
    Encoded s;
    if (!r.Encode(X509_MULTI_BYTE_UINT, &signature.r) ||
        !s.Encode(X509_MULTI_BYTE_UINT, &signature.s)) {
        return false;
    }
    CRYPT_DER_BLOB values[2] = {{r.Size, r.Bytes}, {s.Size, s.Bytes}};
    const CRYPT_SEQUENCE_OF_ANY sequence{2, values};
    Encoded encoded;
    return encoded.Encode(X509_SEQUENCE_OF_ANY, &sequence) && encoded.Is(der, size);
}

CurveParameters CurveOf(const CRYPT_ALGORITHM_IDENTIFIER& algorithm) {
    const CRYPT_OBJID_BLOB& parameters = algorithm.Parameters;
    if (parameters.cbData == sizeof(kP256Parameters) &&
        std::memcmp(parameters.pbData, kP256Parameters, sizeof(kP256Parameters)) == 0) {
        return CurveParameters::NamedP256;
    }
    // ECParameters, a SEQUENCE, instead of the curve's OBJECT IDENTIFIER.
    if (parameters.cbData > 0 && parameters.pbData[0] == 0x30)
        return CurveParameters::Explicit;
    return CurveParameters::NamedOther;
}

bool IsEcKey(const CERT_PUBLIC_KEY_INFO& info) {
    return info.Algorithm.pszObjId != nullptr &&
           std::strcmp(info.Algorithm.pszObjId, szOID_ECC_PUBLIC_KEY) == 0;
}

bool IsP256(const CERT_PUBLIC_KEY_INFO& info) {
    return IsEcKey(info) && CurveOf(info.Algorithm) == CurveParameters::NamedP256 &&
           info.PublicKey.cUnusedBits == 0 &&
           SigningKeyShapeProblem(true, CurveParameters::NamedP256, info.PublicKey.pbData,
                                  info.PublicKey.cbData)
               .empty();
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
    if (!Decode(X509_PUBLIC_KEY_INFO, der.data(), der.size(), info) ||
        !IsDerOf(*info.Value, der.data(), der.size())) {
        return "not a PEM public key";
    }
    const CERT_PUBLIC_KEY_INFO& decoded = *info.Value;
    const std::string problem =
        SigningKeyShapeProblem(IsEcKey(decoded), CurveOf(decoded.Algorithm),
                               decoded.PublicKey.pbData, decoded.PublicKey.cbData);
    if (!problem.empty())
        return problem;
    // Windows' import checks that the point lies on the curve. (Wine's does not; its verifier
    // then refuses every signature by such a key.)
    BCRYPT_KEY_HANDLE key = nullptr;
    if (!CryptImportPublicKeyInfoEx2(X509_ASN_ENCODING, info.Value, 0, nullptr, &key))
        return kPointOffCurve;
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
            !IsP256(*info.Value) ||
            !Decode(X509_ECC_SIGNATURE, signature.data(), signature.size(), decoded) ||
            !IsDerOf(*decoded.Value, signature.data(), signature.size())) {
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
