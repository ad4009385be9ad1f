#include <openssl/bio.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/obj_mac.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <climits>
#include <cstring>
#include <memory>

#include "crypto/signingkey.h"
#include "crypto/signingkeyshape.h"

namespace veltrin {

namespace {

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using KeyPointer = std::unique_ptr<EVP_PKEY, KeyFree>;

bool IsP256(EVP_PKEY* key) {
    if (EVP_PKEY_get_base_id(key) != EVP_PKEY_EC)
        return false;
    char curve[64] = {};
    std::size_t length = 0;
    return EVP_PKEY_get_utf8_string_param(key, OSSL_PKEY_PARAM_GROUP_NAME, curve, sizeof(curve),
                                          &length) == 1 &&
           std::strcmp(curve, SN_X9_62_prime256v1) == 0;
}

struct PubkeyFree {
    void operator()(X509_PUBKEY* key) const { X509_PUBKEY_free(key); }
};
using PubkeyPointer = std::unique_ptr<X509_PUBKEY, PubkeyFree>;

CurveParameters CurveOf(const X509_ALGOR* algorithm) {
    const ASN1_OBJECT* object = nullptr;
    int type = V_ASN1_UNDEF;
    const void* value = nullptr;
    X509_ALGOR_get0(&object, &type, &value, algorithm);
    if (type == V_ASN1_SEQUENCE)
        return CurveParameters::Explicit;
    if (type == V_ASN1_OBJECT &&
        OBJ_obj2nid(static_cast<const ASN1_OBJECT*>(value)) == NID_X9_62_prime256v1) {
        return CurveParameters::NamedP256;
    }
    return CurveParameters::NamedOther;
}

// The other system keeps the key's bytes as they come, so both take only the one encoding.
bool IsDerOf(X509_PUBKEY* info, const std::vector<unsigned char>& der) {
    unsigned char* encoded = nullptr;
    const int length = i2d_X509_PUBKEY(info, &encoded);
    const bool same = length > 0 && static_cast<std::size_t>(length) == der.size() &&
                      std::memcmp(encoded, der.data(), der.size()) == 0;
    OPENSSL_free(encoded);
    return same;
}

bool HasValidPoint(EVP_PKEY* key) {
    EVP_PKEY_CTX* context = EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr);
    const bool valid = context != nullptr && EVP_PKEY_public_check(context) == 1;
    EVP_PKEY_CTX_free(context);
    return valid;
}

KeyPointer KeyFromDer(const std::vector<unsigned char>& der) {
    const unsigned char* at = der.data();
    KeyPointer key(d2i_PUBKEY(nullptr, &at, static_cast<long>(der.size())));
    // Trailing bytes after the key make it another text than the one fingerprinted.
    if (key && at != der.data() + der.size())
        key.reset();
    return key;
}

}  // namespace

std::string ReadP256PublicKey(const std::string& pem, std::vector<unsigned char>& spkiDer) {
    spkiDer.clear();
    if (pem.size() > INT_MAX)
        return "the key text is too long";
    BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
    if (bio == nullptr)
        return "out of memory";
    unsigned char* data = nullptr;
    long size = 0;
    char* name = nullptr;
    const int read =
        PEM_bytes_read_bio(&data, &size, &name, PEM_STRING_PUBLIC, bio, nullptr, nullptr);
    BIO_free(bio);
    OPENSSL_free(name);
    if (read != 1)
        return "not a PEM public key";
    std::vector<unsigned char> der(data, data + size);
    OPENSSL_free(data);
    // The structure decodes even when its key does not (a point off the curve), so each way of
    // being the wrong key gets its own words.
    const unsigned char* at = der.data();
    PubkeyPointer info(d2i_X509_PUBKEY(nullptr, &at, static_cast<long>(der.size())));
    if (!info || at != der.data() + der.size() || !IsDerOf(info.get(), der))
        return "not a PEM public key";
    ASN1_OBJECT* algorithm = nullptr;
    const unsigned char* point = nullptr;
    int pointSize = 0;
    X509_ALGOR* parameters = nullptr;
    if (X509_PUBKEY_get0_param(&algorithm, &point, &pointSize, &parameters, info.get()) != 1)
        return "not a PEM public key";
    const std::string problem =
        SigningKeyShapeProblem(OBJ_obj2nid(algorithm) == NID_X9_62_id_ecPublicKey,
                               CurveOf(parameters), point, static_cast<std::size_t>(pointSize));
    if (!problem.empty())
        return problem;
    EVP_PKEY* key = X509_PUBKEY_get0(info.get());
    if (key == nullptr || !IsP256(key) || !HasValidPoint(key))
        return kPointOffCurve;
    spkiDer = std::move(der);
    return {};
}

bool VerifyP256Signature(const std::vector<unsigned char>& spkiDer, const void* message,
                         std::size_t size, const std::vector<unsigned char>& signature) {
    KeyPointer key = KeyFromDer(spkiDer);
    if (!key || !IsP256(key.get()) || signature.empty())
        return false;
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    if (context == nullptr)
        return false;
    const bool valid =
        EVP_DigestVerifyInit(context, nullptr, EVP_sha256(), nullptr, key.get()) == 1 &&
        EVP_DigestVerify(context, signature.data(), signature.size(),
                         static_cast<const unsigned char*>(message), size) == 1;
    EVP_MD_CTX_free(context);
    return valid;
}

}  // namespace veltrin
