#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "download/httpsclient.h"

namespace veltrin::test {

// One row of certificate-cases.txt.
struct CertificateCase {
    std::string Name;              // the server's certificate, pki/NAME.pem
    std::string Host;              // the host name the client asks for
    bool Accept = false;           // libcurl's answer
    bool AcceptOnWindows = false;  // WinHTTP's: the same unless the row says why not
};

// The rows of the table file; false with why filled when it cannot be read or a row is bad.
bool ReadCertificateCases(const std::string& tableFile, std::vector<CertificateCase>& cases,
                          std::string& why);

// True for host names every system resolves to loopback by itself.
bool ResolvesWithoutHelp(const std::string& host);

// The table against the case server a CTest fixture started (VELTRIN_TEST_TLS_CASES names its
// state folder: cases.txt with "NAME ORIGIN" lines, pki/, logs/NAME.log). Shared by the test
// programs of both HTTPS clients, so that they ask the same questions.
class CertificateTableTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Fetches through client from the row's server and checks the answer; a refused server
    // must have seen no cookie and no path beyond a bare "/".
    void ExpectRow(HttpsClient& client, const CertificateCase& row, bool accept);
    // The "switching" server presents the genuine certificate on the first connection and a
    // forged one after: the genuine answer arrives, and the forger sees no cookie and no path.
    void ExpectSwitchingServerLearnsNothing();
    // Without the CA file, the test root's certificates are trusted by nobody.
    void ExpectRefusedWithoutCaFile();

    std::string state_;
    std::vector<CertificateCase> cases_;
    std::map<std::string, std::string> origins_;
    HttpsClientOptions options_;  // trusts pki/root.pem
};

}  // namespace veltrin::test
