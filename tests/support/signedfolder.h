#pragma once

#include <string>
#include <vector>

namespace veltrin::test {

// An ECDSA P-256 key pair made for one test run, as PEM texts.
struct SigningKeyPair {
    std::string PrivatePem;
    std::string PublicPem;
};

// A fresh key pair; both texts empty when the key could not be made.
SigningKeyPair MakeSigningKeyPair();

// Signs a folder the way a maker does with sha256sum and `openssl dgst -sha256 -sign`:
// SHA256SUMS naming each of names (files in folder), and SHA256SUMS.sig over it. Empty on
// success; otherwise what failed.
std::string SignUpdateFolder(const std::string& folder, const std::vector<std::string>& names,
                             const SigningKeyPair& key);

// Changes one byte of a file, where possible in a way its own format check does not notice: the
// case of a hex digit in a firmware (Intel HEX reads both), otherwise the last byte. False when
// the file cannot be changed.
bool ChangeOneByte(const std::string& fileName);

// files.txt and the files it names in a folder WriteSampleSet wrote, in that order.
std::vector<std::string> SampleFolderNames(const std::string& folder);

}  // namespace veltrin::test
