#pragma once

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <wincrypt.h>
// clang-format on

#include <string>

namespace veltrin {

// The trust anchors of a CA file (PEM with one or more certificates, or one DER certificate)
// as a chain engine of their own, whose exclusive roots are exactly the file's certificates.
// The system's engine and stores stay as they are.
class ExtraRootStore {
public:
    ExtraRootStore() = default;
    ~ExtraRootStore();
    ExtraRootStore(const ExtraRootStore&) = delete;
    ExtraRootStore& operator=(const ExtraRootStore&) = delete;

    // False with why filled when the file cannot be read, holds no certificate, or no chain
    // engine can be made for it.
    bool Load(const std::string& fileName, std::string& why);
    HCERTSTORE Handle() const { return store_; }
    HCERTCHAINENGINE Engine() const { return engine_; }

private:
    bool Add(const BYTE* der, DWORD size);

    HCERTSTORE store_ = nullptr;
    HCERTCHAINENGINE engine_ = nullptr;
};

// Verifies the certificate a server presented for host with the system's chain engine and SSL
// policy: a chain for server authentication (built with the certificates the server sent, which
// the context's own store holds) that ends in a root of the system's trust store or, failing
// that, in a root of extraRoots (may be null), with the host name matching. Revocation is
// checked where the chain names where to look; a revoked certificate is refused, an answer that
// cannot be had is not held against the chain. Returns HTTPS_OK or HTTPS_ERR_TLS with why
// filled. Never throws.
int VerifyServerCertificate(PCCERT_CONTEXT certificate, const std::wstring& host,
                            const ExtraRootStore* extraRoots, std::string& why);

}  // namespace veltrin
