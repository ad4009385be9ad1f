#include "download/httpsclient.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/httpstestserver.h"
#include "support/silentlistener.h"
#include "support/tempdirectory.h"
#include "support/testcertificates.h"

namespace veltrin {
namespace {

using test::HttpsTestServer;
using test::TempDirectory;
using test::TestCertificateFiles;
using test::TestResponse;

class HttpsClientTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDirectory;
        certs_ = new TestCertificateFiles;
        std::string error;
        ASSERT_TRUE(test::MakeTestCertificates(dir_->Path().string(), *certs_, &error)) << error;
        server_ = new HttpsTestServer(*certs_);
        ASSERT_TRUE(server_->IsRunning());
    }

    static void TearDownTestSuite() {
        delete server_;
        delete certs_;
        delete dir_;
    }

    void SetUp() override { server_->ClearRequests(); }

    static HttpsClientOptions TrustingOptions() {
        HttpsClientOptions options;
        options.CaFile = certs_->CaCertFile;
        return options;
    }

    static std::string Url(const std::string& path) { return server_->Origin() + path; }

    static TempDirectory* dir_;
    static TestCertificateFiles* certs_;
    static HttpsTestServer* server_;
};

TempDirectory* HttpsClientTest::dir_ = nullptr;
TestCertificateFiles* HttpsClientTest::certs_ = nullptr;
HttpsTestServer* HttpsClientTest::server_ = nullptr;

TEST_F(HttpsClientTest, BodyArrivesByteForByteAsTextAndAsBytes) {
    std::string payload = "line 1\r\nline 2\n";
    payload += std::string("\0\x01\x7F\x80\xFF", 5);
    server_->ServeText("/data.bin", payload);

    HttpsClient client(TrustingOptions());
    std::string text;
    ASSERT_EQ(client.GetText(Url("/data.bin"), text), HTTPS_OK) << client.LastError();
    EXPECT_EQ(text, payload);
    EXPECT_EQ(client.LastStatus(), 200);

    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(client.GetBytes(Url("/data.bin"), bytes), HTTPS_OK) << client.LastError();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), payload);
}

TEST_F(HttpsClientTest, SendsTheFixedRequestHeaders) {
    server_->ServeText("/h", "x");
    HttpsClient client(TrustingOptions());
    std::string body;
    ASSERT_EQ(client.GetText(Url("/h"), body), HTTPS_OK) << client.LastError();

    const auto requests = server_->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Header("Accept"), "text/html, */*");
    EXPECT_EQ(requests[0].Header("User-Agent"), "Mozilla/3.0 (compatible; Indy Library)");
}

TEST_F(HttpsClientTest, CookiesOfOneClientGoWithItsLaterRequestsOnly) {
    TestResponse withCookie;
    withCookie.Body = "index";
    withCookie.Headers = {{"Set-Cookie", "session=abc123; Path=/"}};
    server_->Serve("/first", withCookie);
    server_->ServeText("/second", "next");

    HttpsClient client(TrustingOptions());
    HttpsClient otherClient(TrustingOptions());
    std::string body;
    ASSERT_EQ(client.GetText(Url("/first"), body), HTTPS_OK) << client.LastError();
    ASSERT_EQ(client.GetText(Url("/second"), body), HTTPS_OK) << client.LastError();
    ASSERT_EQ(otherClient.GetText(Url("/second"), body), HTTPS_OK) << otherClient.LastError();

    const auto requests = server_->Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].Header("Cookie"), "");
    EXPECT_EQ(requests[1].Header("Cookie"), "session=abc123");
    EXPECT_EQ(requests[2].Header("Cookie"), "");
}

struct StatusCase {
    int Status;
    int Expected;
};

class HttpsClientStatusTest : public HttpsClientTest,
                              public ::testing::WithParamInterface<StatusCase> {};

TEST_P(HttpsClientStatusTest, OnlyTwoHundredsAreSuccess) {
    const StatusCase c = GetParam();
    TestResponse response;
    response.Status = c.Status;
    response.Body = "answer body";
    if (c.Status / 100 == 3) {
        response.Headers = {{"Location", Url("/target")}};
        server_->ServeText("/target", "redirected");
    }
    server_->Serve("/status", response);

    HttpsClient client(TrustingOptions());
    std::string body = "stale";
    EXPECT_EQ(client.GetText(Url("/status"), body), c.Expected) << client.LastError();
    EXPECT_EQ(client.LastStatus(), c.Status);
    if (c.Expected == HTTPS_OK) {
        EXPECT_EQ(body, "answer body");
    } else {
        EXPECT_EQ(body, "");
        EXPECT_NE(client.LastError(), "");
    }
    // A redirect is never followed.
    EXPECT_EQ(server_->Requests().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Statuses, HttpsClientStatusTest,
                         ::testing::Values(StatusCase{200, HTTPS_OK}, StatusCase{203, HTTPS_OK},
                                           StatusCase{301, HTTPS_ERR_STATUS},
                                           StatusCase{302, HTTPS_ERR_STATUS},
                                           StatusCase{404, HTTPS_ERR_STATUS},
                                           StatusCase{500, HTTPS_ERR_STATUS}));

TEST_F(HttpsClientTest, ServerOfAnUnknownCaIsRefused) {
    test::TestCertificateFiles otherCa;
    ASSERT_TRUE(test::MakeTestCertificates(dir_->Path().string(), otherCa, nullptr, "other-"));
    server_->ServeText("/secret", "firmware");

    HttpsClient systemTrustOnly;
    HttpsClientOptions otherOptions;
    otherOptions.CaFile = otherCa.CaCertFile;
    HttpsClient trustsOtherCa(otherOptions);

    std::string body;
    EXPECT_EQ(systemTrustOnly.GetText(Url("/secret"), body), HTTPS_ERR_TLS);
    EXPECT_EQ(body, "");
    EXPECT_EQ(trustsOtherCa.GetText(Url("/secret"), body), HTTPS_ERR_TLS);
    EXPECT_EQ(body, "");
    EXPECT_TRUE(server_->Requests().empty());
}

TEST_F(HttpsClientTest, HostNameIsCheckedAgainstTheCertificate) {
    server_->ServeText("/n", "ok");
    HttpsClient client(TrustingOptions());
    std::string body;
    // The certificate names 127.0.0.1 and localhost.
    const std::string viaName = "https://localhost:" + std::to_string(server_->Port()) + "/n";
    EXPECT_EQ(client.GetText(viaName, body), HTTPS_OK) << client.LastError();
}

TEST_F(HttpsClientTest, MissingCaFileFailsTheHandshake) {
    HttpsClientOptions options;
    options.CaFile = dir_->File("no-such-ca.pem");
    HttpsClient client(options);
    std::string body;
    EXPECT_EQ(client.GetText(Url("/n"), body), HTTPS_ERR_TLS);
}

TEST_F(HttpsClientTest, ServerThatAcceptsAndNeverAnswersTimesOut) {
    test::SilentListener silent;
    ASSERT_TRUE(silent.IsListening());
    HttpsClientOptions options = TrustingOptions();
    options.ConnectTimeoutSeconds = 1;
    HttpsClient client(options);
    std::string body;
    EXPECT_EQ(client.GetText(silent.Origin() + "/files.txt", body), HTTPS_ERR_TIMEOUT);
}

TEST_F(HttpsClientTest, AnswerThatNeverComesEndsByTheLowSpeedTimeout) {
    server_->ServeSilence("/silent");
    HttpsClientOptions options = TrustingOptions();
    options.LowSpeedTimeSeconds = 1;
    HttpsClient client(options);
    std::string body;
    EXPECT_EQ(client.GetText(Url("/silent"), body), HTTPS_ERR_TIMEOUT);
}

TEST_F(HttpsClientTest, FetchEndsByItsTotalDeadlineWhileTheLowSpeedLimitStillWaits) {
    server_->ServeSilence("/slow");
    HttpsClientOptions options = TrustingOptions();
    options.LowSpeedTimeSeconds = 3600;
    options.TotalTimeoutSeconds = 1;
    HttpsClient client(options);
    std::string body;
    EXPECT_EQ(client.GetText(Url("/slow"), body), HTTPS_ERR_TIMEOUT) << client.LastError();
}

TEST_F(HttpsClientTest, BodyShorterThanAnnouncedIsAFailedFetch) {
    server_->ServeTruncated("/short", std::string(1000, 'a'), 5000);
    HttpsClient client(TrustingOptions());
    std::vector<std::uint8_t> body;
    EXPECT_EQ(client.GetBytes(Url("/short"), body), HTTPS_ERR_SHORT_BODY);
    EXPECT_TRUE(body.empty());
}

TEST_F(HttpsClientTest, BodiesOverTheCapAreRefusedWithOrWithoutAnnouncedLength) {
    TestResponse announced;
    announced.Body = std::string(3000, 'x');
    server_->Serve("/big", announced);
    TestResponse chunked = announced;
    chunked.Chunked = true;
    server_->Serve("/big-chunked", chunked);
    TestResponse fits;
    fits.Body = std::string(2048, 'y');
    fits.Chunked = true;
    server_->Serve("/fits", fits);

    HttpsClientOptions options = TrustingOptions();
    options.MaxBodyBytes = 2048;
    HttpsClient client(options);
    std::string body;
    EXPECT_EQ(client.GetText(Url("/big"), body), HTTPS_ERR_TOO_LARGE);
    EXPECT_EQ(client.GetText(Url("/big-chunked"), body), HTTPS_ERR_TOO_LARGE);
    EXPECT_EQ(body, "");
    EXPECT_EQ(client.GetText(Url("/fits"), body), HTTPS_OK) << client.LastError();
    EXPECT_EQ(body.size(), 2048u);
}

TEST_F(HttpsClientTest, UnsafeOrForeignUrlsAreRefusedBeforeAnythingIsSent) {
    HttpsClientOptions options = TrustingOptions();
    options.MaxUrlLength = 200;
    HttpsClient client(options);
    const std::string origin = server_->Origin();
    const std::vector<std::string> refused = {
        "",
        "http://127.0.0.1/files.txt",
        "ftp://127.0.0.1/files.txt",
        origin + "/a b.hex",
        origin + "/a.hex\r\nX-Injected: 1",
        origin + "/a\t.hex",
        origin + "/\xC3\xA4.hex",
        origin + "/" + std::string(200, 'a'),
    };
    for (const auto& url : refused) {
        std::string body;
        EXPECT_EQ(client.GetText(url, body), HTTPS_ERR_URL) << url;
        EXPECT_NE(client.LastError(), "");
    }
    EXPECT_TRUE(server_->Requests().empty());
}

TEST_F(HttpsClientTest, RefusedConnectionIsReported) {
    // Held for the whole test, so that no server started beside it can take the port.
    const test::SilentListener refusing(false);
    ASSERT_GT(refusing.Port(), 0);
    HttpsClient client(TrustingOptions());
    std::string body;
    EXPECT_EQ(client.GetText(refusing.Origin() + "/x", body), HTTPS_ERR_CONNECT);
}

TEST_F(HttpsClientTest, FileUrlsReadLocalFiles) {
    const std::string fileName = dir_->File("local.txt");
    ASSERT_TRUE(test::WriteFileText(fileName, "offline data"));
    HttpsClientOptions options;
    options.MaxBodyBytes = 5;
    HttpsClient small(options);
    HttpsClient client;

    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(client.GetBytes("file://" + fileName, bytes), HTTPS_OK) << client.LastError();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "offline data");
    EXPECT_EQ(client.GetBytes("file://" + dir_->File("missing.txt"), bytes), HTTPS_ERR_TRANSFER);
    EXPECT_EQ(small.GetBytes("file://" + fileName, bytes), HTTPS_ERR_TOO_LARGE);
}

TEST_F(HttpsClientTest, FileUrlsAreDecodedAndStayOnThisMachine) {
    ASSERT_TRUE(test::WriteFileText(dir_->File("a b.hex"), "blank in the name"));
    const std::string folder = dir_->Path().string();
    struct Case {
        std::string Url;
        int Expected;
    };
    const std::vector<Case> cases = {
        {"file://" + folder + "//a%20b.hex", HTTPS_OK},
        {"file://localhost" + folder + "/a%20b.hex", HTTPS_OK},
        {"FILE://" + folder + "/a%20b.hex", HTTPS_OK},
        {"file://" + folder + "/a%2", HTTPS_ERR_URL},
        {"file://" + folder + "/a%zzb.hex", HTTPS_ERR_URL},
        {"file://" + folder + "/a.hex%00.txt", HTTPS_ERR_URL},
        {"file://elsewhere" + folder + "/a%20b.hex", HTTPS_ERR_URL},
        {"file://", HTTPS_ERR_URL},
        {"file://" + folder, HTTPS_ERR_TRANSFER},  // a folder is no file
    };
    HttpsClient client;
    for (const Case& c : cases) {
        std::string body;
        EXPECT_EQ(client.GetText(c.Url, body), c.Expected) << c.Url << ": " << client.LastError();
        EXPECT_EQ(body, c.Expected == HTTPS_OK ? "blank in the name" : "") << c.Url;
    }
}

}  // namespace
}  // namespace veltrin
