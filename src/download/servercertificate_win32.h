#pragma once

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <wincrypt.h>
// clang-format on

#include <string>

namespace veltrin {

// The extra trust anchors of a CA file (PEM with one or more certificates, or one DER
// certificate), held in a memory store for one client only; the system's stores stay as they
// are.
class ExtraRootStore {
public:
    ExtraRootStore() = default;
    ~ExtraRootStore();
    ExtraRootStore(const ExtraRootStore&) = delete;
    ExtraRootStore& operator=(const ExtraRootStore&) = delete;

    // False with why filled when the file cannot be read or holds no certificate.
    bool Load(const std::string& fileName, std::string& why);
    HCERTSTORE Handle() const { return store_; }

private:
    bool Add(const BYTE* der, DWORD size);

    HCERTSTORE store_ = nullptr;
};

// Verifies the certificate a server presented for host: a chain for server authentication
// that ends in a root of the system's trust store, or in one of extraRoots (may be null), with
// the host name (DNS name or IP address) matching and every certificate in its validity time.
// Returns HTTPS_OK or HTTPS_ERR_TLS with why filled. Never throws.
int VerifyServerCertificate(PCCERT_CONTEXT certificate, const std::wstring& host,
                            HCERTSTORE extraRoots, std::string& why);

}  // namespace veltrin
