#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace veltrin {

// ECDSA P-256 public keys and signatures as `openssl` makes them: a key as one PEM block
// "-----BEGIN PUBLIC KEY-----" (SubjectPublicKeyInfo), a signature as DER (`openssl dgst
// -sha256 -sign`). Parsing and checking are the system's (libcrypto on Linux, CNG on Windows).

// The DER SubjectPublicKeyInfo of the key in one PEM block. Empty on success; otherwise why the
// text is no ECDSA P-256 public key, in the same words on both systems: only DER, a named P-256
// curve and an uncompressed point on it are taken, the one shape both libraries read alike.
// Never throws.
std::string ReadP256PublicKey(const std::string& pem, std::vector<unsigned char>& spkiDer);

// True when signature is a valid ECDSA signature over SHA-256 of message by the key spkiDer, in
// DER's one encoding of it (as libcrypto demands). Never throws.
bool VerifyP256Signature(const std::vector<unsigned char>& spkiDer, const void* message,
                         std::size_t size, const std::vector<unsigned char>& signature);

}  // namespace veltrin
