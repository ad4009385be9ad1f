// The certificate table against the WinHTTP client under Wine, end to end through the native
// case server that a CTest fixture started (VELTRIN_TEST_TLS_CASES names its state folder),
// and every row once more straight through the check the client runs before it sends.
#include <gtest/gtest.h>

#include <string>

#include "certificatecases.h"
#include "download/servercertificate_win32.h"

namespace veltrin {
namespace {

// The certificate of the store that issued none of the others (a store keeps no order).
PCCERT_CONTEXT LeafOf(HCERTSTORE store) {
    PCCERT_CONTEXT candidate = nullptr;
    while ((candidate = CertEnumCertificatesInStore(store, candidate)) != nullptr) {
        bool issuedOther = false;
        PCCERT_CONTEXT other = nullptr;
        while ((other = CertEnumCertificatesInStore(store, other)) != nullptr) {
            issuedOther =
                issuedOther ||
                (!CertCompareCertificate(X509_ASN_ENCODING, candidate->pCertInfo,
                                         other->pCertInfo) &&
                 CertCompareCertificateName(X509_ASN_ENCODING, &candidate->pCertInfo->Subject,
                                            &other->pCertInfo->Issuer));
        }
        if (!issuedOther) {
            return candidate;
        }
    }
    return nullptr;
}

using test::CertificateTableTest;

TEST_F(CertificateTableTest, EveryRowIsAcceptedOrRefusedAsTheTableSays) {
    HttpsClient client(options_);
    for (const auto& row : cases_) {
        // Wine resolves only real names; the test below covers the other rows.
        if (test::ResolvesWithoutHelp(row.Host)) {
            ExpectRow(client, row, row.AcceptOnWindows);
        }
    }
}

TEST_F(CertificateTableTest, EveryRowGetsTheSameAnswerFromTheCheckBeforeTheSend) {
    ExtraRootStore roots;
    std::string why;
    ASSERT_TRUE(roots.Load(options_.CaFile, why)) << why;
    for (const auto& row : cases_) {
        if (row.Name == "revoked") {
            // Wine answers a second revocation check of a certificate from a cache that holds
            // "good"; the test above has asked once already, end to end.
            continue;
        }
        SCOPED_TRACE(row.Name + " as " + row.Host);
        // The chain as the server sends it, leaf first, in a store of its own: what WinHTTP
        // hands over as the server's certificate.
        ExtraRootStore sent;
        ASSERT_TRUE(sent.Load(state_ + "/pki/" + row.Name + ".pem", why)) << why;
        PCCERT_CONTEXT leaf = LeafOf(sent.Handle());
        ASSERT_NE(leaf, nullptr);
        const std::wstring host(row.Host.begin(), row.Host.end());
        EXPECT_EQ(VerifyServerCertificate(leaf, host, &roots, why),
                  row.AcceptOnWindows ? HTTPS_OK : HTTPS_ERR_TLS)
            << why;
        EXPECT_EQ(VerifyServerCertificate(leaf, host, nullptr, why), HTTPS_ERR_TLS);
        CertFreeCertificateContext(leaf);
    }
}

TEST_F(CertificateTableTest, ServerThatSwapsItsCertificateGetsNoCookieAndNoPath) {
    // Wine sends a request before the check can stop it, so the forger may see the bare "/"
    // the client shows its certificate with, but nothing more.
    ExpectSwitchingServerLearnsNothing();
}

TEST_F(CertificateTableTest, WithoutTheCaFileEveryCaseIsRefused) {
    ExpectRefusedWithoutCaFile();
}

}  // namespace
}  // namespace veltrin
