#include "certificatecases.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace veltrin::test {

namespace {

bool ReadCaseServers(const std::string& casesFile, std::map<std::string, std::string>& origins) {
    std::ifstream file(casesFile);
    std::string name;
    std::string origin;
    while (file >> name >> origin) {
        origins[name] = origin;
    }
    return !origins.empty();
}

// How many connections a case server's log has recorded so far.
int ConnectionsInLog(const std::string& logFile) {
    std::ifstream log(logFile, std::ios::binary);
    std::string line;
    int connections = 0;
    while (std::getline(log, line)) {
        if (line.rfind("CONNECTION ", 0) == 0) {
            connections = std::stoi(line.substr(11));
        }
    }
    return connections;
}

// The first line of the connections after the given number that brought a cookie or asked
// for more than a bare "/"; empty when there is none.
std::string LeakInLog(const std::string& logFile, int after) {
    std::ifstream log(logFile, std::ios::binary);
    std::string line;
    int connection = 0;
    while (std::getline(log, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.rfind("CONNECTION ", 0) == 0) {
            connection = std::stoi(line.substr(11));
            continue;
        }
        const std::size_t blank = line.find(' ');
        const bool requestLine = line.find(" HTTP/1.") != std::string::npos;
        const bool cookie = line.rfind("Cookie:", 0) == 0 || line.rfind("cookie:", 0) == 0;
        if (connection > after && (cookie || (requestLine && line.compare(blank, 3, " / ") != 0))) {
            return line;
        }
    }
    return "";
}

}  // namespace

bool ReadCertificateCases(const std::string& tableFile, std::vector<CertificateCase>& cases,
                          std::string& why) {
    std::ifstream table(tableFile);
    if (!table) {
        why = "cannot read " + tableFile;
        return false;
    }
    std::string line;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        CertificateCase row;
        std::string expect;
        if (!(fields >> row.Name >> row.Host >> expect) ||
            (expect != "accept" && expect != "refuse")) {
            why = "bad row: " + line;
            return false;
        }
        row.Accept = expect == "accept";
        row.AcceptOnWindows = row.Accept;
        // A row the two systems cannot answer alike: "windows:accept|refuse # why".
        std::string windows;
        if (fields >> windows) {
            std::string hash;
            if ((windows != "windows:accept" && windows != "windows:refuse") || !(fields >> hash) ||
                hash != "#") {
                why = "bad row (a different answer needs its reason): " + line;
                return false;
            }
            row.AcceptOnWindows = windows == "windows:accept";
        }
        cases.push_back(row);
    }
    return !cases.empty();
}

bool ResolvesWithoutHelp(const std::string& host) {
    return host == "localhost" || host.find_first_not_of("0123456789.") == std::string::npos;
}

void CertificateTableTest::SetUp() {
    const char* state = std::getenv("VELTRIN_TEST_TLS_CASES");
    ASSERT_NE(state, nullptr) << "VELTRIN_TEST_TLS_CASES names no case server";
    state_ = state;
    std::string why;
    ASSERT_TRUE(ReadCertificateCases(VELTRIN_CERTIFICATE_TABLE, cases_, why)) << why;
    ASSERT_TRUE(ReadCaseServers(state_ + "/cases.txt", origins_));
    options_.CaFile = state_ + "/pki/root.pem";
}

void CertificateTableTest::ExpectRow(HttpsClient& client, const CertificateCase& row, bool accept) {
    SCOPED_TRACE(row.Name + " as " + row.Host);
    ASSERT_EQ(origins_.count(row.Name), 1u);
    const std::string log = state_ + "/logs/" + row.Name + ".log";
    const int earlier = ConnectionsInLog(log);
    const std::string& origin = origins_[row.Name];
    const std::string url =
        "https://" + row.Host + origin.substr(origin.rfind(':')) + "/pipette-update/firmware.hex";
    std::string body;
    const int result = client.GetText(url, body);
    if (accept) {
        EXPECT_EQ(result, HTTPS_OK) << client.LastError();
        EXPECT_EQ(body, row.Name + "\n");
    } else {
        EXPECT_EQ(result, HTTPS_ERR_TLS) << client.LastError();
        EXPECT_EQ(body, "");
        EXPECT_EQ(LeakInLog(log, earlier), "");
    }
}

void CertificateTableTest::ExpectSwitchingServerLearnsNothing() {
    HttpsClient client(options_);
    std::string body;
    const std::string origin = origins_["switching"];
    // ".../bye" ends the connection, so the next request needs a new one.
    ASSERT_EQ(client.GetText(origin + "/pipette-update/bye", body), HTTPS_OK) << client.LastError();
    EXPECT_EQ(client.GetText(origin + "/pipette-update/firmware.hex", body), HTTPS_ERR_TLS);
    EXPECT_EQ(body, "");
    EXPECT_EQ(LeakInLog(state_ + "/logs/switching.log", 1), "");
}

void CertificateTableTest::ExpectRefusedWithoutCaFile() {
    HttpsClient client;
    for (const char* name : {"leaf-from-root", "leaf-through-intermediate", "forged-root"}) {
        std::string body;
        EXPECT_EQ(client.GetText(origins_[name] + "/pipette-update/files.txt", body), HTTPS_ERR_TLS)
            << name;
    }
}

}  // namespace veltrin::test
