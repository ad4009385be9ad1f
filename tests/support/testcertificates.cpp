#include "support/testcertificates.h"

#include <openssl/bio.h>
#include <openssl/ecdsa.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <filesystem>
#include <memory>
#include <random>

namespace veltrin::test {

namespace {

using KeyPtr = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using CertPtr = std::unique_ptr<X509, decltype(&X509_free)>;
using BioPtr = std::unique_ptr<BIO, decltype(&BIO_free)>;

constexpr long kValiditySeconds = 60L * 60 * 24 * 30;

KeyPtr MakeKey() {
    return KeyPtr(EVP_EC_gen("P-256"), EVP_PKEY_free);
}

bool AddExtension(X509* cert, X509V3_CTX& context, int nid, const char* value) {
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    if (extension == nullptr) {
        return false;
    }
    const bool added = X509_add_ext(cert, extension, -1) == 1;
    X509_EXTENSION_free(extension);
    return added;
}

// Whether both halves of the certificate's ECDSA signature fill their 32 bytes. Wine's crypt32
// hands a shorter r or s to its verifier unpadded and calls the signature invalid, so a chain
// with one (about one signature in 128) is refused under Wine though Windows takes it.
bool SignatureFillsItsHalves(const X509* cert) {
    const ASN1_BIT_STRING* signature = nullptr;
    X509_get0_signature(&signature, nullptr, cert);
    const unsigned char* der = ASN1_STRING_get0_data(signature);
    ECDSA_SIG* decoded = d2i_ECDSA_SIG(nullptr, &der, ASN1_STRING_length(signature));
    if (decoded == nullptr) {
        return false;
    }
    const BIGNUM* r = nullptr;
    const BIGNUM* s = nullptr;
    ECDSA_SIG_get0(decoded, &r, &s);
    const bool full = BN_num_bytes(r) == 32 && BN_num_bytes(s) == 32;
    ECDSA_SIG_free(decoded);
    return full;
}

// Signs until the signature is one every verifier reads alike (each signing draws anew).
bool Sign(X509* cert, EVP_PKEY* issuerKey) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        if (X509_sign(cert, issuerKey, EVP_sha256()) == 0) {
            return false;
        }
        if (SignatureFillsItsHalves(cert)) {
            return true;
        }
    }
    return false;
}

// issuer == nullptr makes a self-signed CA certificate.
CertPtr MakeCertificate(EVP_PKEY* key, const std::string& commonName, X509* issuer,
                        EVP_PKEY* issuerKey) {
    CertPtr cert(X509_new(), X509_free);
    if (!cert) {
        return cert;
    }
    std::random_device random;
    const long serial = static_cast<long>(random() & 0x7FFFFFFF) | 1;
    X509_NAME* subject = X509_get_subject_name(cert.get());
    const bool basics =
        X509_set_version(cert.get(), 2) == 1 &&
        ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial) == 1 &&
        X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600) != nullptr &&
        X509_gmtime_adj(X509_getm_notAfter(cert.get()), kValiditySeconds) != nullptr &&
        X509_set_pubkey(cert.get(), key) == 1 &&
        X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>(commonName.c_str()), -1,
                                   -1, 0) == 1 &&
        X509_set_issuer_name(cert.get(),
                             issuer != nullptr ? X509_get_subject_name(issuer) : subject) == 1;
    if (!basics) {
        return CertPtr(nullptr, X509_free);
    }
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer != nullptr ? issuer : cert.get(), cert.get(), nullptr, nullptr,
                   0);
    // A self-signed certificate gets no authority key identifier: OpenSSL would write an empty
    // one, and a chain engine that reads it as naming another issuer ends the chain short.
    bool extensions = AddExtension(cert.get(), context, NID_subject_key_identifier, "hash") &&
                      (issuer == nullptr ||
                       AddExtension(cert.get(), context, NID_authority_key_identifier, "keyid"));
    if (issuer == nullptr) {
        extensions =
            extensions &&
            AddExtension(cert.get(), context, NID_basic_constraints, "critical,CA:TRUE") &&
            AddExtension(cert.get(), context, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        extensions =
            extensions &&
            AddExtension(cert.get(), context, NID_basic_constraints, "critical,CA:FALSE") &&
            AddExtension(cert.get(), context, NID_key_usage, "critical,digitalSignature") &&
            AddExtension(cert.get(), context, NID_ext_key_usage, "serverAuth") &&
            AddExtension(cert.get(), context, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
    }
    if (!extensions || !Sign(cert.get(), issuerKey)) {
        return CertPtr(nullptr, X509_free);
    }
    return cert;
}

bool WriteCertificate(const std::string& fileName, X509* cert) {
    BioPtr bio(BIO_new_file(fileName.c_str(), "w"), BIO_free);
    return bio && PEM_write_bio_X509(bio.get(), cert) == 1;
}

bool WriteKey(const std::string& fileName, EVP_PKEY* key) {
    BioPtr bio(BIO_new_file(fileName.c_str(), "w"), BIO_free);
    return bio &&
           PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
}

void NameFiles(const std::string& directory, const std::string& prefix,
               TestCertificateFiles& files) {
    const std::filesystem::path dir(directory);
    files.CaCertFile = (dir / (prefix + "ca.pem")).string();
    files.ServerCertFile = (dir / (prefix + "server.pem")).string();
    files.ServerKeyFile = (dir / (prefix + "server.key")).string();
}

bool Failed(std::string* error, const char* text) {
    if (error != nullptr) {
        *error = text;
    }
    return false;
}

}  // namespace

bool MakeTestCertificates(const std::string& directory, TestCertificateFiles& files,
                          std::string* error, const std::string& prefix) {
    NameFiles(directory, prefix, files);
    std::random_device random;
    const std::string caName = "Veltrin Test CA " + std::to_string(random());

    KeyPtr caKey = MakeKey();
    KeyPtr serverKey = MakeKey();
    if (!caKey || !serverKey) {
        return Failed(error, "key generation failed");
    }
    CertPtr ca = MakeCertificate(caKey.get(), caName, nullptr, caKey.get());
    if (!ca) {
        return Failed(error, "CA certificate could not be made");
    }
    CertPtr server = MakeCertificate(serverKey.get(), "localhost", ca.get(), caKey.get());
    if (!server) {
        return Failed(error, "server certificate could not be made");
    }
    if (!WriteCertificate(files.CaCertFile, ca.get()) ||
        !WriteCertificate(files.ServerCertFile, server.get()) ||
        !WriteKey(files.ServerKeyFile, serverKey.get())) {
        return Failed(error, "certificate files could not be written");
    }
    return true;
}

bool FindTestCertificates(const std::string& directory, TestCertificateFiles& files,
                          const std::string& prefix) {
    NameFiles(directory, prefix, files);
    std::error_code ignored;
    return std::filesystem::exists(files.CaCertFile, ignored) &&
           std::filesystem::exists(files.ServerCertFile, ignored) &&
           std::filesystem::exists(files.ServerKeyFile, ignored);
}

}  // namespace veltrin::test
