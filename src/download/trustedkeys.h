#pragma once

#include <string>
#include <vector>

namespace veltrin {

// A public key whose signature makes update data usable.
struct TrustedKey {
    std::vector<unsigned char> SpkiDer;
    std::string Fingerprint;  // SHA-256 of SpkiDer, 64 hex digits
};

// The keys update data must be signed with. Required is set as soon as any key was configured,
// also one that could not be read: such a build or command line then refuses everything rather
// than quietly falling back to unsigned data.
struct UpdateTrust {
    std::vector<TrustedKey> Keys;
    bool Required = false;
};

// Adds every "PUBLIC KEY" PEM block of text (ECDSA P-256 only) and sets Required. Empty on
// success; otherwise why not, and no key of the text is added.
std::string AddTrustedKeys(const std::string& pemText, UpdateTrust& trust);
// The same for a PEM file named in UTF-8.
std::string AddTrustedKeyFile(const std::string& fileName, UpdateTrust& trust);

// The keys the program was built with (CMake option VELTRIN_UPDATE_SIGNING_KEYS).
const UpdateTrust& BuiltInUpdateTrust();

}  // namespace veltrin
