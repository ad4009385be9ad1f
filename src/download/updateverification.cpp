#include "download/updateverification.h"

#include "crypto/sha256.h"
#include "crypto/signingkey.h"
#include "download/checksumlist.h"
#include "download/updatedownload.h"

namespace veltrin {

namespace {

UpdateVerification Refused(const std::string& problem) {
    UpdateVerification verification;
    verification.Refuse(problem);
    return verification;
}

UpdateVerification Verify(HttpsClient& client, const std::string& serverBase,
                          const UpdateTrust& trust) {
    UpdateVerification verification;
    const int sums =
        client.GetText(MakeUpdateFileUrl(serverBase, kChecksumFileName), verification.ChecksumText);
    if (sums != HTTPS_OK) {
        // Without a key a folder may carry no list at all: today's unsigned folders keep working.
        return trust.Required
                   ? Refused(std::string("no ") + kChecksumFileName + ": " + client.LastError())
                   : UpdateVerification{};
    }
    // Fetched also when no key asks for it, so that a folder written from this download stays
    // checkable.
    const int signature = client.GetBytes(MakeUpdateFileUrl(serverBase, kChecksumSignatureFileName),
                                          verification.Signature);
    if (trust.Required) {
        if (signature != HTTPS_OK) {
            return Refused(std::string("no signature ") + kChecksumSignatureFileName + ": " +
                           client.LastError());
        }
        for (const TrustedKey& key : trust.Keys) {
            if (VerifyP256Signature(key.SpkiDer, verification.ChecksumText.data(),
                                    verification.ChecksumText.size(), verification.Signature)) {
                verification.KeyFingerprint = key.Fingerprint;
                break;
            }
        }
        if (verification.KeyFingerprint.empty()) {
            return Refused(std::string(kChecksumSignatureFileName) +
                           " is not a valid signature by a trusted key");
        }
    }
    const std::string problem = ParseChecksumList(verification.ChecksumText, verification.Digests);
    if (!problem.empty())
        return Refused(problem);
    verification.Check = trust.Required ? UpdateDataCheck::Signature : UpdateDataCheck::Checksums;
    return verification;
}

}  // namespace

const char* UpdateDataCheckName(UpdateDataCheck check) {
    switch (check) {
        case UpdateDataCheck::Checksums:
            return "checksums";
        case UpdateDataCheck::Signature:
            return "signature";
        case UpdateDataCheck::Refused:
            return "refused";
        case UpdateDataCheck::None:
            break;
    }
    return "none";
}

std::string UpdateVerification::FileProblem(const std::string& name, const void* data,
                                            std::size_t size) const {
    if (Check == UpdateDataCheck::None)
        return {};
    if (Check == UpdateDataCheck::Refused)
        return Problem;
    const auto listed = Digests.find(name);
    if (listed == Digests.end())
        return "not listed in " + std::string(kChecksumFileName);
    const std::string digest = Sha256Hex(data, size);
    if (digest.empty())
        return "its SHA-256 cannot be computed";
    if (digest != listed->second)
        return "its SHA-256 differs from " + std::string(kChecksumFileName);
    return {};
}

void UpdateVerification::Refuse(const std::string& problem) {
    Check = UpdateDataCheck::Refused;
    KeyFingerprint.clear();
    Problem = problem;
    Digests.clear();
}

UpdateVerification FetchUpdateVerification(HttpsClient& client, const std::string& serverBase,
                                           const UpdateTrust& trust) {
    try {
        return Verify(client, serverBase, trust);
    } catch (const std::exception& exception) {
        return Refused(exception.what());
    }
}

}  // namespace veltrin
