#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "download/httpsclient.h"
#include "download/trustedkeys.h"

namespace veltrin {

// How far the update data of a folder could be checked.
enum class UpdateDataCheck {
    None,       // no SHA256SUMS and no trusted key: used as it comes
    Checksums,  // every file matched SHA256SUMS; no key to check who wrote it
    Signature,  // SHA256SUMS is signed by a trusted key and every file matched it
    Refused,    // a trusted key is required and the folder does not satisfy it: nothing is used
};

// "none", "checksums", "signature" or "refused".
const char* UpdateDataCheckName(UpdateDataCheck check);

// What the folder's SHA256SUMS and signature say, before any listed file is looked at.
struct UpdateVerification {
    UpdateDataCheck Check = UpdateDataCheck::None;
    std::string KeyFingerprint;  // the trusted key whose signature verified; else empty
    std::string Problem;         // why the folder is refused
    // As fetched, so that a folder written from them stays checkable.
    std::string ChecksumText;
    std::vector<std::uint8_t> Signature;
    std::map<std::string, std::string> Digests;

    // Empty when the file may be used; otherwise why not. A refused folder refuses every file.
    std::string FileProblem(const std::string& name, const void* data, std::size_t size) const;
    // Refuses the whole folder (the index itself failed its check).
    void Refuse(const std::string& problem);
};

// Fetches SHA256SUMS under serverBase and, when trust requires a signature, SHA256SUMS.sig, and
// checks the signature. Never throws.
UpdateVerification FetchUpdateVerification(HttpsClient& client, const std::string& serverBase,
                                           const UpdateTrust& trust);

}  // namespace veltrin
