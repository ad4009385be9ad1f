// The certificate table against the libcurl client, end to end through the case server that a
// CTest fixture started (VELTRIN_TEST_TLS_CASES names its state folder).
#include <dlfcn.h>
#include <netdb.h>

#include <gtest/gtest.h>

#include <cstring>

#include "certificatecases.h"

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

using test::CertificateTableTest;

TEST_F(CertificateTableTest, EveryRowIsAcceptedOrRefusedAsTheTableSays) {
    // One client for all rows: the cookies the accepted servers set must never reach a
    // refused one.
    HttpsClient client(options_);
    for (const auto& row : cases_) {
        ExpectRow(client, row, row.Accept);
    }
}

TEST_F(CertificateTableTest, ServerThatSwapsItsCertificateGetsNoCookieAndNoPath) {
    ExpectSwitchingServerLearnsNothing();
}

TEST_F(CertificateTableTest, WithoutTheCaFileEveryCaseIsRefused) {
    ExpectRefusedWithoutCaFile();
}

}  // namespace
}  // namespace veltrin
