#include "download/servercertificate_win32.h"

#include <winhttp.h>
#include <ws2tcpip.h>

#include <cwctype>
#include <string_view>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
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

// The SSL policy of the system: host name, validity times, key usage; with allowUnknownRoot
// the root's trust has been settled by the caller, with hostChecked the host name.
bool PassesSslPolicy(PCCERT_CHAIN_CONTEXT chain, const std::wstring& host, bool allowUnknownRoot,
                     bool hostChecked, DWORD& policyError) {
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl = {};
    ssl.cbSize = sizeof(ssl);
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.fdwChecks = (allowUnknownRoot ? SECURITY_FLAG_IGNORE_UNKNOWN_CA : 0) |
                    (hostChecked ? SECURITY_FLAG_IGNORE_CERT_CN_INVALID : 0);
    ssl.pwszServerName = const_cast<wchar_t*>(host.c_str());
    CERT_CHAIN_POLICY_PARA para = {};
    para.cbSize = sizeof(para);
    para.dwFlags = allowUnknownRoot ? CERT_CHAIN_POLICY_ALLOW_UNKNOWN_CA_FLAG : 0;
    para.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status = {};
    status.cbSize = sizeof(status);
    if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &para, &status)) {
        policyError = GetLastError();
        return false;
    }
    policyError = status.dwError;
    return status.dwError == 0;
}

bool WithinValidity(PCCERT_CONTEXT certificate) {
    return CertVerifyTimeValidity(nullptr, certificate->pCertInfo) == 0;
}

bool IsSelfIssued(PCCERT_CONTEXT certificate) {
    return CertCompareCertificateName(X509_ASN_ENCODING, &certificate->pCertInfo->Issuer,
                                      &certificate->pCertInfo->Subject) != FALSE;
}

// The extra root (self-issued) that is certificate or issued and signed it, or null.
PCCERT_CONTEXT FindIssuingRoot(PCCERT_CONTEXT certificate, HCERTSTORE extraRoots) {
    PCCERT_CONTEXT root = nullptr;
    while ((root = CertEnumCertificatesInStore(extraRoots, root)) != nullptr) {
        if (!IsSelfIssued(root)) {
            continue;
        }
        if (CertCompareCertificate(X509_ASN_ENCODING, certificate->pCertInfo, root->pCertInfo) ||
            (CertCompareCertificateName(X509_ASN_ENCODING, &certificate->pCertInfo->Issuer,
                                        &root->pCertInfo->Subject) &&
             CryptVerifyCertificateSignatureEx(
                 0, X509_ASN_ENCODING, CRYPT_VERIFY_CERT_SIGN_SUBJECT_CERT,
                 const_cast<CERT_CONTEXT*>(certificate), CRYPT_VERIFY_CERT_SIGN_ISSUER_CERT,
                 const_cast<CERT_CONTEXT*>(root), 0, nullptr))) {
            return root;
        }
    }
    return nullptr;
}

// True when the chain as built, topped by one of the extra roots, is sound: its only faults are
// that it stops short of the system's roots, every certificate in it is within its validity,
// and the root is exactly one of the extra roots or signed its top certificate. The chain
// builder is not asked to use the extra roots as anchors, since not every implementation
// builds a chain through an additional store.
bool EndsInExtraRoot(PCCERT_CHAIN_CONTEXT chain, HCERTSTORE extraRoots) {
    if (extraRoots == nullptr || chain->cChain != 1) {
        return false;
    }
    const DWORD allowed = CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN;
    if ((chain->TrustStatus.dwErrorStatus & ~allowed) != 0) {
        return false;
    }
    const CERT_SIMPLE_CHAIN* simple = chain->rgpChain[0];
    if (simple->cElement == 0) {
        return false;
    }
    for (DWORD i = 0; i < simple->cElement; ++i) {
        if (!WithinValidity(simple->rgpElement[i]->pCertContext)) {
            return false;
        }
    }
    PCCERT_CONTEXT top = simple->rgpElement[simple->cElement - 1]->pCertContext;
    PCCERT_CONTEXT root = FindIssuingRoot(top, extraRoots);
    if (root == nullptr) {
        return false;
    }
    const bool valid = WithinValidity(root);
    CertFreeCertificateContext(root);
    return valid;
}

bool SameTextNoCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return towlower(x) == towlower(y); });
}

// RFC 6125 matching of one DNS name from a certificate: exact, or "*." for one leftmost label.
bool DnsNameMatches(std::wstring_view pattern, std::wstring_view host) {
    if (pattern.size() > 2 && pattern.substr(0, 2) == L"*.") {
        const std::size_t dot = host.find(L'.');
        return dot != std::wstring_view::npos && dot > 0 &&
               SameTextNoCase(pattern.substr(1), host.substr(dot));
    }
    return SameTextNoCase(pattern, host);
}

// True when the certificate's subject alternative names name the host: the address for an IP
// literal (given as address bytes), a DNS name otherwise.
bool NamesHost(PCCERT_CONTEXT certificate, const std::wstring& host,
               const std::vector<BYTE>& address) {
    const CERT_INFO* info = certificate->pCertInfo;
    PCERT_EXTENSION extension =
        CertFindExtension(szOID_SUBJECT_ALT_NAME2, info->cExtension, info->rgExtension);
    if (extension == nullptr) {
        return false;
    }
    CERT_ALT_NAME_INFO* names = nullptr;
    DWORD size = 0;
    if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData,
                             extension->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &names,
                             &size)) {
        return false;
    }
    bool found = false;
    for (DWORD i = 0; i < names->cAltEntry && !found; ++i) {
        const CERT_ALT_NAME_ENTRY& entry = names->rgAltEntry[i];
        if (!address.empty()) {
            found = entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS &&
                    entry.IPAddress.cbData == address.size() &&
                    std::equal(address.begin(), address.end(), entry.IPAddress.pbData);
        } else {
            found = entry.dwAltNameChoice == CERT_ALT_NAME_DNS_NAME &&
                    DnsNameMatches(entry.pwszDNSName, host);
        }
    }
    LocalFree(names);
    return found;
}

}  // namespace

ExtraRootStore::~ExtraRootStore() {
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
    return true;
}

int VerifyServerCertificate(PCCERT_CONTEXT certificate, const std::wstring& host,
                            HCERTSTORE extraRoots, std::string& why) {
    LPSTR serverAuth[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
    CERT_CHAIN_PARA para = {};
    para.cbSize = sizeof(para);
    para.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    para.RequestedUsage.Usage.cUsageIdentifier = 1;
    para.RequestedUsage.Usage.rgpszUsageIdentifier = serverAuth;
    // The extra roots are offered as further certificates to build the chain from, so that a
    // chain can end in one of them; they become no trust anchor of the system's engine.
    ChainContext chain;
    if (!CertGetCertificateChain(nullptr, certificate, nullptr, extraRoots, &para, 0, nullptr,
                                 chain.Out())) {
        why = "The server certificate's chain cannot be built (error " +
              std::to_string(GetLastError()) + ")";
        return HTTPS_ERR_TLS;
    }
    const std::vector<BYTE> address = IpAddressBytes(host);
    const DWORD errors = chain.Get()->TrustStatus.dwErrorStatus;
    DWORD policyError = 0;
    if (errors == CERT_TRUST_NO_ERROR) {
        // Some implementations of the SSL policy compare DNS names only, so an address is
        // matched here and the policy told so.
        const bool hostChecked = !address.empty() && NamesHost(certificate, host, address);
        if (PassesSslPolicy(chain.Get(), host, false, hostChecked, policyError)) {
            return HTTPS_OK;
        }
    } else if (EndsInExtraRoot(chain.Get(), extraRoots)) {
        // A chain to a root of this client only: names and times are checked here, because
        // the system's SSL policy refuses a chain that does not reach the system's roots.
        if (NamesHost(certificate, host, address)) {
            return HTTPS_OK;
        }
        why = "The server certificate does not name this host";
        return HTTPS_ERR_TLS;
    } else {
        policyError = errors;
    }
    char code[16];
    std::snprintf(code, sizeof(code), "0x%08lX", static_cast<unsigned long>(policyError));
    why = std::string("The server certificate is not trusted (") + code + ")";
    return HTTPS_ERR_TLS;
}

}  // namespace veltrin
