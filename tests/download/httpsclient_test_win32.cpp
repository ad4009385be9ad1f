// The WinHTTP client against the loopback update server, which runs as a native program beside
// Wine (started by a CTest fixture that writes where it listens into the file named by
// VELTRIN_TEST_UPDATE_SERVER).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "download/httpsclient.h"
#include "download/servercertificate_win32.h"
#include "support/tempdirectory.h"

namespace veltrin {
namespace {

// A CA whose key was thrown away: nothing it could sign is ever served.
constexpr char kStrangerCa[] = R"(-----BEGIN CERTIFICATE-----
MIIBjTCCATOgAwIBAgIUacEyKc8Ze1zHtfJlr4haUGdqioAwCgYIKoZIzj0EAwIw
GzEZMBcGA1UEAwwQU3RyYW5nZXIgVGVzdCBDQTAgFw0yNjEyMDkxMjQyMThaGA8y
MTI2MTExNTEyNDIxOFowGzEZMBcGA1UEAwwQU3RyYW5nZXIgVGVzdCBDQTBZMBMG
ByqGSM49AgEGCCqGSM49AwEHA0IABNdvddRtU+/YuC+JSBqkV3bq1HuFyBNG4XI/
PCxTbC0bZgTd/5fwwlX1IkE1vbdtC/FI55BulsdZlG8xXw2WcJajUzBRMB0GA1Ud
DgQWBBRk3eQZAn0Jb4Uxm8jIgzznL6h5FzAfBgNVHSMEGDAWgBRk3eQZAn0Jb4Ux
m8jIgzznL6h5FzAPBgNVHRMBAf8EBTADAQH/MAoGCCqGSM49BAMCA0gAMEUCIBKR
5d2R9GyCyDiYwzSCAiJ09Zg/U8IX7oiyANQz3Hg/AiEAnEm5syYPcn6Xdom78uSE
FzasRZvE7/ntbmKJTyIf0lg=
-----END CERTIFICATE-----
)";

// What the fixture wrote: one line each.
struct UpdateServer {
    std::string Origin;      // https://127.0.0.1:<port>
    std::string CaFile;      // the test CA that signed the server certificate
    std::string ServerCert;  // the server certificate itself (PEM)
    std::string Folder;      // the served folder, as a path with forward slashes
    std::string FileText;    // the content of files.txt and of "a b.txt"
};

bool ReadUpdateServer(UpdateServer& server) {
    const char* infoFile = std::getenv("VELTRIN_TEST_UPDATE_SERVER");
    if (infoFile == nullptr) {
        return false;
    }
    std::ifstream info(infoFile);
    return static_cast<bool>(
        std::getline(info, server.Origin) && std::getline(info, server.CaFile) &&
        std::getline(info, server.ServerCert) && std::getline(info, server.Folder) &&
        std::getline(info, server.FileText));
}

class WinHttpClientTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new UpdateServer;
        dir_ = new test::TempDirectory;
        strangerCa_ = new std::string(dir_->File("stranger-ca.pem"));
        ASSERT_TRUE(test::WriteFileText(*strangerCa_, kStrangerCa));
    }
    static void TearDownTestSuite() {
        delete strangerCa_;
        delete dir_;
        delete server_;
    }
    void SetUp() override {
        ASSERT_TRUE(ReadUpdateServer(*server_)) << "VELTRIN_TEST_UPDATE_SERVER names no server";
    }

    static HttpsClientOptions Trusting(const std::string& caFile) {
        HttpsClientOptions options;
        options.CaFile = caFile;
        return options;
    }
    static std::string Url(const std::string& name) {
        return server_->Origin + "/pipette-update/" + name;
    }

    static UpdateServer* server_;
    static test::TempDirectory* dir_;
    static std::string* strangerCa_;
};

UpdateServer* WinHttpClientTest::server_ = nullptr;
test::TempDirectory* WinHttpClientTest::dir_ = nullptr;
std::string* WinHttpClientTest::strangerCa_ = nullptr;

TEST_F(WinHttpClientTest, ServerTrustedThroughTheCaFileDeliversTheBody) {
    HttpsClient client(Trusting(server_->CaFile));
    std::string text;
    ASSERT_EQ(client.GetText(Url("files.txt"), text), HTTPS_OK) << client.LastError();
    EXPECT_EQ(text, server_->FileText);
    EXPECT_EQ(client.LastStatus(), 200);

    // Reached by name as well: the certificate names both.
    const std::string port = server_->Origin.substr(server_->Origin.rfind(':'));
    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(client.GetBytes("https://localhost" + port + "/pipette-update/files.txt", bytes),
              HTTPS_OK)
        << client.LastError();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), server_->FileText);
}

TEST_F(WinHttpClientTest, ServerOfAnUnknownCaIsRefused) {
    const std::vector<std::string> caFiles = {"", *strangerCa_, dir_->File("missing-ca.pem")};
    for (const auto& caFile : caFiles) {
        HttpsClient client(Trusting(caFile));
        std::string body;
        EXPECT_EQ(client.GetText(Url("files.txt"), body), HTTPS_ERR_TLS) << "CA file " << caFile;
        EXPECT_EQ(body, "");
        EXPECT_NE(client.LastError(), "");
    }
}

TEST_F(WinHttpClientTest, StatusOtherThanSuccessAndOversizedBodiesFail) {
    HttpsClient client(Trusting(server_->CaFile));
    std::string body;
    EXPECT_EQ(client.GetText(Url("no-such-file.hex"), body), HTTPS_ERR_STATUS);
    EXPECT_EQ(client.LastStatus(), 404);

    HttpsClientOptions small = Trusting(server_->CaFile);
    small.MaxBodyBytes = server_->FileText.size() - 1;
    HttpsClient capped(small);
    EXPECT_EQ(capped.GetText(Url("files.txt"), body), HTTPS_ERR_TOO_LARGE);
    EXPECT_EQ(body, "");
}

TEST_F(WinHttpClientTest, FileUrlsReadTheOfflineFolder) {
    HttpsClient client;
    const std::vector<std::string> urls = {
        "file:///" + server_->Folder + "/files.txt",
        "file://" + server_->Folder + "//a%20b.txt",
    };
    for (const auto& url : urls) {
        std::string body;
        ASSERT_EQ(client.GetText(url, body), HTTPS_OK) << url << ": " << client.LastError();
        EXPECT_EQ(body, server_->FileText) << url;
    }
    std::string body;
    EXPECT_EQ(client.GetText("file:///" + server_->Folder + "/missing.txt", body),
              HTTPS_ERR_TRANSFER);
    EXPECT_EQ(client.GetText("file://elsewhere/share/files.txt", body), HTTPS_ERR_URL);
}

// The check that runs before a request is sent, fed with the server's certificate directly.
class ServerCertificateTest : public WinHttpClientTest {
protected:
    void SetUp() override {
        WinHttpClientTest::SetUp();
        std::string why;
        ASSERT_TRUE(serverAsStore_.Load(server_->ServerCert, why)) << why;
        ASSERT_TRUE(testCa_.Load(server_->CaFile, why)) << why;
        ASSERT_TRUE(stranger_.Load(*strangerCa_, why)) << why;
        certificate_ = CertEnumCertificatesInStore(serverAsStore_.Handle(), nullptr);
        ASSERT_NE(certificate_, nullptr);
    }
    void TearDown() override {
        if (certificate_ != nullptr) {
            CertFreeCertificateContext(certificate_);
        }
    }

    ExtraRootStore serverAsStore_;
    ExtraRootStore testCa_;
    ExtraRootStore stranger_;
    PCCERT_CONTEXT certificate_ = nullptr;
};

TEST_F(ServerCertificateTest, HostNameAndRootMustBothMatch) {
    struct Case {
        const wchar_t* Host;
        const ExtraRootStore* Roots;
        int Expected;
    };
    const std::vector<Case> cases = {
        {L"127.0.0.1", &testCa_, HTTPS_OK},
        {L"localhost", &testCa_, HTTPS_OK},
        {L"LOCALHOST", &testCa_, HTTPS_OK},
        {L"127.0.0.2", &testCa_, HTTPS_ERR_TLS},
        {L"[::1]", &testCa_, HTTPS_ERR_TLS},
        {L"other.example", &testCa_, HTTPS_ERR_TLS},
        {L"localhost.example", &testCa_, HTTPS_ERR_TLS},
        {L"127.0.0.1", &stranger_, HTTPS_ERR_TLS},
        {L"127.0.0.1", nullptr, HTTPS_ERR_TLS},
        // The server certificate is no CA: trusting it as a root must not make it one.
        {L"localhost", &serverAsStore_, HTTPS_ERR_TLS},
    };
    for (const Case& c : cases) {
        std::string why;
        EXPECT_EQ(VerifyServerCertificate(certificate_, c.Host, c.Roots, why), c.Expected)
            << std::string(c.Host, c.Host + wcslen(c.Host)) << ": " << why;
    }
}

}  // namespace
}  // namespace veltrin
