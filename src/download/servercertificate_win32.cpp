#include "download/servercertificate_win32.h"

#include <winhttp.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

#include "download/httpsclient.h"

namespace veltrin {

namespace {

constexpr char kPemBegin[] = "-----BEGIN CERTIFICATE-----";
constexpr char kPemEnd[] = "-----END CERTIFICATE-----";

bool ReadWholeFile(const std::string& fileName, std::string& content) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file) {
        return false;
    }
    content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// The DER bytes of one PEM block (with its BEGIN and END lines).
bool DecodePem(const std::string& block, std::vector<BYTE>& der) {
    DWORD size = 0;
    const DWORD length = static_cast<DWORD>(block.size());
    if (!CryptStringToBinaryA(block.data(), length, CRYPT_STRING_BASE64HEADER, nullptr, &size,
                              nullptr, nullptr)) {
        return false;
    }
    der.resize(size);
    return CryptStringToBinaryA(block.data(), length, CRYPT_STRING_BASE64HEADER, der.data(), &size,
                                nullptr, nullptr) != FALSE;
}

class ChainContext {
public:
    ~ChainContext() {
        if (chain_ != nullptr) {
            CertFreeCertificateChain(chain_);
        }
    }
    PCCERT_CHAIN_CONTEXT* Out() { return &chain_; }
    PCCERT_CHAIN_CONTEXT Get() const { return chain_; }

private:
    PCCERT_CHAIN_CONTEXT chain_ = nullptr;
};

// The binary form of an IPv4 or IPv6 literal (without brackets); empty for a DNS name.
std::vector<BYTE> IpAddressBytes(const std::wstring& host) {
    std::wstring literal = host;
    if (literal.size() > 2 && literal.front() == L'[' && literal.back() == L']') {
        literal = literal.substr(1, literal.size() - 2);
    }
    IN_ADDR v4 = {};
    if (InetPtonW(AF_INET, literal.c_str(), &v4) == 1) {
        const BYTE* bytes = reinterpret_cast<const BYTE*>(&v4);
        return std::vector<BYTE>(bytes, bytes + sizeof(v4));
    }
    IN6_ADDR v6 = {};
    if (InetPtonW(AF_INET6, literal.c_str(), &v6) == 1) {
        const BYTE* bytes = reinterpret_cast<const BYTE*>(&v6);
        return std::vector<BYTE>(bytes, bytes + sizeof(v6));
    }
    return {};
}

// The chain engine's own verdicts that do not refuse a chain: revocation that could not be
// checked (no address to ask, or no answer). A revoked certificate still refuses it.
constexpr DWORD kRevocationUnknown =
    CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;

// SECURITY_FLAG_IGNORE_REVOCATION of the SSL policy (its header clashes with WinHTTP's). Some
// implementations of the policy disregard CERT_CHAIN_POLICY_IGNORE_ALL_REV_UNKNOWN_FLAGS; the
// chain's own status has refused a revoked certificate before the policy is asked.
constexpr DWORD kPolicyIgnoresRevocationFailure = 0x00000080;

bool SameTextNoCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return towlower(x) == towlower(y); });
}

// Whether one DNS name of a certificate may stand for host once the SSL policy has accepted
// it: exactly, or through a wildcard for the leftmost label that leaves at least two labels
// fixed. Some implementations of the policy let "*.example" stand for every name under a
// top-level label; this only ever takes an acceptance back, it never grants one.
bool StrictlyNames(std::wstring_view pattern, std::wstring_view host) {
    if (pattern.size() > 2 && pattern.substr(0, 2) == L"*.") {
        const std::wstring_view fixed = pattern.substr(1);  // ".example.org"
        const std::size_t dot = host.find(L'.');
        return fixed.find(L'.', 1) != std::wstring_view::npos && dot != std::wstring_view::npos &&
               dot > 0 && SameTextNoCase(fixed, host.substr(dot));
    }
    return SameTextNoCase(pattern, host);
}

// False when the certificate's DNS names are there and none of them names host strictly.
bool DnsNamesAllowHost(const CERT_ALT_NAME_INFO* names, const std::wstring& host) {
    bool anyDnsName = false;
    for (DWORD i = 0; i < names->cAltEntry; ++i) {
        const CERT_ALT_NAME_ENTRY& entry = names->rgAltEntry[i];
        if (entry.dwAltNameChoice == CERT_ALT_NAME_DNS_NAME) {
            anyDnsName = true;
            if (StrictlyNames(entry.pwszDNSName, host)) {
                return true;
            }
        }
    }
    return !anyDnsName;
}

// The second look at the host name after the SSL policy accepted it: an IP address must be
// one of the certificate's IP address entries byte for byte (some implementations of the
// policy compare DNS names only), and a DNS name must survive the strict wildcard rule.
bool HostSurvivesSecondLook(PCCERT_CONTEXT certificate, const std::wstring& host,
                            const std::vector<BYTE>& address) {
    const CERT_INFO* info = certificate->pCertInfo;
    PCERT_EXTENSION extension =
        CertFindExtension(szOID_SUBJECT_ALT_NAME2, info->cExtension, info->rgExtension);
    if (extension == nullptr) {
        return address.empty();  // the policy matched the subject's common name
    }
    CERT_ALT_NAME_INFO* names = nullptr;
    DWORD size = 0;
    if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData,
                             extension->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &names,
                             &size)) {
        return false;
    }
    bool found = false;
    if (address.empty()) {
        found = DnsNamesAllowHost(names, host);
    }
    for (DWORD i = 0; i < names->cAltEntry && !address.empty() && !found; ++i) {
        const CERT_ALT_NAME_ENTRY& entry = names->rgAltEntry[i];
        found = entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS &&
                entry.IPAddress.cbData == address.size() &&
                std::equal(address.begin(), address.end(), entry.IPAddress.pbData);
    }
    LocalFree(names);
    return found;
}

std::string Hex(DWORD code) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(code));
    return text;
}

// VerifyWithEngine's verdict for a chain with a revoked certificate: final, whichever roots
// another engine would offer.
constexpr int kRevoked = -1;

// One engine's verdict: the chain it builds, then the SSL policy for the host. HTTPS_OK,
// HTTPS_ERR_TLS or kRevoked.
int VerifyWithEngine(HCERTCHAINENGINE engine, PCCERT_CONTEXT certificate, const std::wstring& host,
                     const std::vector<BYTE>& address, std::string& why) {
    LPSTR serverAuth[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
    CERT_CHAIN_PARA para = {};
    para.cbSize = sizeof(para);
    para.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    para.RequestedUsage.Usage.cUsageIdentifier = 1;
    para.RequestedUsage.Usage.rgpszUsageIdentifier = serverAuth;
    // The context's store holds what the server sent, its intermediates among them.
    ChainContext chain;
    if (!CertGetCertificateChain(engine, certificate, nullptr, certificate->hCertStore, &para,
                                 CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT, nullptr,
                                 chain.Out())) {
        why = "The server certificate's chain cannot be built (error " + Hex(GetLastError()) + ")";
        return HTTPS_ERR_TLS;
    }
    const DWORD errors = chain.Get()->TrustStatus.dwErrorStatus;
    if ((errors & CERT_TRUST_IS_REVOKED) != 0) {
        why = "The server certificate has been revoked";
        return kRevoked;
    }
    if ((errors & ~kRevocationUnknown) != 0) {
        why = "The server certificate is not trusted (chain status " + Hex(errors) + ")";
        return HTTPS_ERR_TLS;
    }
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl = {};
    ssl.cbSize = sizeof(ssl);
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.pwszServerName = const_cast<wchar_t*>(host.c_str());
    ssl.fdwChecks = kPolicyIgnoresRevocationFailure;
    // Some implementations of the SSL policy compare DNS names only and refuse every IP
    // address; for an address literal the policy is told to leave the name alone, and the
    // second look below compares the address by its bytes.
    if (!address.empty()) {
        ssl.fdwChecks |= SECURITY_FLAG_IGNORE_CERT_CN_INVALID;
    }
    CERT_CHAIN_POLICY_PARA policy = {};
    policy.cbSize = sizeof(policy);
    policy.dwFlags = CERT_CHAIN_POLICY_IGNORE_ALL_REV_UNKNOWN_FLAGS;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status = {};
    status.cbSize = sizeof(status);
    if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.Get(), &policy, &status)) {
        why = "The server certificate cannot be checked (error " + Hex(GetLastError()) + ")";
        return HTTPS_ERR_TLS;
    }
    if (status.dwError != 0) {
        why = "The server certificate is not trusted (" + Hex(status.dwError) + ")";
        return HTTPS_ERR_TLS;
    }
    if (!HostSurvivesSecondLook(certificate, host, address)) {
        why = "The server certificate does not name this host";
        return HTTPS_ERR_TLS;
    }
    return HTTPS_OK;
}

}  // namespace

ExtraRootStore::~ExtraRootStore() {
    if (engine_ != nullptr) {
        CertFreeCertificateChainEngine(engine_);
    }
    if (store_ != nullptr) {
        CertCloseStore(store_, 0);
    }
}

bool ExtraRootStore::Add(const BYTE* der, DWORD size) {
    return CertAddEncodedCertificateToStore(store_, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, der,
                                            size, CERT_STORE_ADD_REPLACE_EXISTING,
                                            nullptr) != FALSE;
}

bool ExtraRootStore::Load(const std::string& fileName, std::string& why) {
    std::string content;
    if (!ReadWholeFile(fileName, content)) {
        why = "The CA file cannot be read: " + fileName;
        return false;
    }
    store_ = CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, CERT_STORE_CREATE_NEW_FLAG, nullptr);
    if (store_ == nullptr) {
        why = "No certificate store for the CA file";
        return false;
    }
    std::size_t count = 0;
    std::vector<BYTE> der;
    for (std::size_t begin = content.find(kPemBegin); begin != std::string::npos;
         begin = content.find(kPemBegin, begin + 1)) {
        const std::size_t end = content.find(kPemEnd, begin);
        if (end == std::string::npos) {
            break;
        }
        const std::string block = content.substr(begin, end + sizeof(kPemEnd) - 1 - begin);
        if (DecodePem(block, der) && Add(der.data(), static_cast<DWORD>(der.size()))) {
            ++count;
        }
    }
    if (count == 0 && content.find(kPemBegin) == std::string::npos &&
        Add(reinterpret_cast<const BYTE*>(content.data()), static_cast<DWORD>(content.size()))) {
        ++count;
    }
    if (count == 0) {
        why = "The CA file holds no certificate: " + fileName;
        return false;
    }
    CERT_CHAIN_ENGINE_CONFIG config = {};
    // Built for the oldest Windows we support, the structure has the size of the version that
    // first held the exclusive roots: every system that knows them accepts it, also those that
    // do not know the fields added after them.
    config.cbSize = sizeof(config);
    config.hExclusiveRoot = store_;
    if (!CertCreateCertificateChainEngine(&config, &engine_)) {
        engine_ = nullptr;
        why = "No chain engine for the CA file (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    return true;
}

int VerifyServerCertificate(PCCERT_CONTEXT certificate, const std::wstring& host,
                            const ExtraRootStore* extraRoots, std::string& why) {
    try {
        const std::vector<BYTE> address = IpAddressBytes(host);
        // The system's roots first; the CA file adds one more root, it takes none away.
        const int system = VerifyWithEngine(nullptr, certificate, host, address, why);
        if (system == HTTPS_OK) {
            return HTTPS_OK;
        }
        if (system != kRevoked && extraRoots != nullptr && extraRoots->Engine() != nullptr) {
            std::string extraWhy;
            if (VerifyWithEngine(extraRoots->Engine(), certificate, host, address, extraWhy) ==
                HTTPS_OK) {
                why.clear();
                return HTTPS_OK;
            }
            why = extraWhy;
        }
    } catch (...) {
        why = "Out of memory while checking the server certificate";
    }
    return HTTPS_ERR_TLS;
}

}  // namespace veltrin
