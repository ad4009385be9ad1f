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
    KeyPointer key(PEM_read_bio_PUBKEY(bio, nullptr, nullptr, nullptr));
    BIO_free(bio);
    if (!key)
        return "not a PEM public key";
    if (!IsP256(key.get()))
        return "not an ECDSA P-256 key";
    unsigned char* der = nullptr;
    const int length = i2d_PUBKEY(key.get(), &der);
    if (length <= 0)
        return "the key cannot be encoded";
    spkiDer.assign(der, der + length);
    OPENSSL_free(der);
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
