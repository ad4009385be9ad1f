// The certificate table against the libcurl client, end to end through the case server that a
// CTest fixture started (VELTRIN_TEST_TLS_CASES names its state folder).
#include <dlfcn.h>
#include <netdb.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "certificatecases.h"
#include "download/httpsclient.h"

// Names under ".localhost" reach loopback in this program: the rows that need a host name
// with more than one label (wildcards) run against the real server without touching the
// machine's resolver configuration. libcurl resolves through this function.
extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints,
                           addrinfo** result) {
    using Real = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "getaddrinfo"));
    constexpr char kSuffix[] = ".localhost";
    const std::size_t length = node != nullptr ? std::strlen(node) : 0;
    if (length > sizeof(kSuffix) - 1 &&
        std::strcmp(node + length - (sizeof(kSuffix) - 1), kSuffix) == 0) {
        node = "127.0.0.1";
    }
    return real(node, service, hints, result);
}

namespace veltrin {
namespace {

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
    // One client for all rows: the cookies the accepted servers set must never reach a
    // refused one.
    HttpsClient client(options_);
    for (const auto& row : cases_) {
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

TEST_F(CertificateTableTest, ServerThatSwapsItsCertificateGetsNoCookieAndNoPath) {
    // The first connection meets the genuine server, which sets a cookie; the next one meets
    // a forger on the same address.
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
