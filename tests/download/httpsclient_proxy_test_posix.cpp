#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "download/httpsclient.h"
#include "support/httpstestserver.h"
#include "support/tempdirectory.h"
#include "support/testcertificates.h"

namespace veltrin {
namespace {

// Sets the proxy variables libcurl would otherwise obey for the life of the object.
class ProxyEnvironment {
public:
    explicit ProxyEnvironment(const char* proxy) {
        for (const char* name : kNames) {
            ::setenv(name, proxy, 1);
        }
    }
    ~ProxyEnvironment() {
        for (const char* name : kNames) {
            ::unsetenv(name);
        }
    }

private:
    static constexpr const char* kNames[] = {"https_proxy", "HTTPS_PROXY", "ALL_PROXY",
                                             "all_proxy"};
};

TEST(HttpsClientProxyTest, ProxySettingsOfTheEnvironmentAreIgnored) {
    test::TempDirectory dir;
    test::TestCertificateFiles certs;
    ASSERT_TRUE(test::MakeTestCertificates(dir.Path().string(), certs));
    test::HttpsTestServer server(certs);
    server.ServeText("/direct", "direct");

    ProxyEnvironment proxy("http://127.0.0.1:9");
    HttpsClientOptions options;
    options.CaFile = certs.CaCertFile;
    HttpsClient client(options);
    std::string body;
    EXPECT_EQ(client.GetText(server.Origin() + "/direct", body), HTTPS_OK) << client.LastError();
    EXPECT_EQ(body, "direct");
}

}  // namespace
}  // namespace veltrin
