// The certificate table against the WinHTTP client under Wine, end to end through the native
// case server that a CTest fixture started (VELTRIN_TEST_TLS_CASES names its state folder),
// and every row once more straight through the check the client runs before it sends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "certificatecases.h"
#include "download/httpsclient.h"
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

class CertificateTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* state = std::getenv("VELTRIN_TEST_TLS_CASES");
        ASSERT_NE(state, nullptr) << "VELTRIN_TEST_TLS_CASES names no case server";
        state_ = state;
        std::string why;
        ASSERT_TRUE(test::ReadCertificateCases(VELTRIN_CERTIFICATE_TABLE, cases_, why)) << why;
        ASSERT_TRUE(test::ReadCaseServers(state_ + "/cases.txt", origins_));
        options_.CaFile = state_ + "/pki/root.pem";
    }
    std::string Log(const std::string& name) const { return state_ + "/logs/" + name + ".log"; }

    std::string state_;
    std::vector<test::CertificateCase> cases_;
    std::map<std::string, std::string> origins_;
    HttpsClientOptions options_;
};

TEST_F(CertificateTableTest, EveryRowIsAcceptedOrRefusedAsTheTableSays) {
    HttpsClient client(options_);
    for (const auto& row : cases_) {
        if (!test::ResolvesWithoutHelp(row.Host)) {
            continue;  // Wine resolves only real names; the check below covers the row
        }
        SCOPED_TRACE(row.Name + " as " + row.Host);
        ASSERT_EQ(origins_.count(row.Name), 1u);
        const int earlier = test::ConnectionsInLog(Log(row.Name));
        std::string body;
        const int result = client.GetText(
            test::CaseUrl(origins_[row.Name], row.Host, "/pipette-update/firmware.hex"), body);
        if (row.Accept) {
            EXPECT_EQ(result, HTTPS_OK) << client.LastError();
            EXPECT_EQ(body, row.Name + "\n");
        } else {
            EXPECT_EQ(result, HTTPS_ERR_TLS) << client.LastError();
            EXPECT_EQ(body, "");
            EXPECT_EQ(test::LeakInLog(Log(row.Name), earlier + 1), "");
        }
    }
}

TEST_F(CertificateTableTest, EveryRowGetsTheSameAnswerFromTheCheckBeforeTheSend) {
    ExtraRootStore roots;
    std::string why;
    ASSERT_TRUE(roots.Load(options_.CaFile, why)) << why;
    for (const auto& row : cases_) {
        SCOPED_TRACE(row.Name + " as " + row.Host);
        // The chain as the server sends it, leaf first, in a store of its own: what WinHTTP
        // hands over as the server's certificate.
        ExtraRootStore sent;
        ASSERT_TRUE(sent.Load(state_ + "/pki/" + row.Name + ".pem", why)) << why;
        PCCERT_CONTEXT leaf = LeafOf(sent.Handle());
        ASSERT_NE(leaf, nullptr);
        const std::wstring host(row.Host.begin(), row.Host.end());
        EXPECT_EQ(VerifyServerCertificate(leaf, host, &roots, why),
                  row.Accept ? HTTPS_OK : HTTPS_ERR_TLS)
            << why;
        EXPECT_EQ(VerifyServerCertificate(leaf, host, nullptr, why), HTTPS_ERR_TLS);
        CertFreeCertificateContext(leaf);
    }
}

TEST_F(CertificateTableTest, ServerThatSwapsItsCertificateGetsNoCookieAndNoPath) {
    // The first connection meets the genuine server, which sets a cookie; the next one meets
    // a forger on the same address. Wine sends a request before its check can stop it, so the
    // forger may see the bare "/" the client shows its certificate with, but nothing more.
    HttpsClient client(options_);
    std::string body;
    const std::string origin = origins_["switching"];
    ASSERT_EQ(client.GetText(origin + "/pipette-update/bye", body), HTTPS_OK) << client.LastError();
    EXPECT_EQ(client.GetText(origin + "/pipette-update/firmware.hex", body), HTTPS_ERR_TLS);
    EXPECT_EQ(body, "");
    EXPECT_EQ(test::LeakInLog(Log("switching"), 2), "");
}

TEST_F(CertificateTableTest, WithoutTheCaFileEveryCaseIsRefused) {
    HttpsClient client;
    for (const char* name : {"leaf-from-root", "leaf-through-intermediate", "forged-root"}) {
        std::string body;
        EXPECT_EQ(client.GetText(origins_[name] + "/pipette-update/files.txt", body), HTTPS_ERR_TLS)
            << name;
    }
}

}  // namespace
}  // namespace veltrin
