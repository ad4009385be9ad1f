#pragma once

#include <map>
#include <string>
#include <vector>

namespace veltrin::test {

// One row of certificate-cases.txt.
struct CertificateCase {
    std::string Name;  // the server's certificate, pki/NAME.pem
    std::string Host;  // the host name the client asks for
    bool Accept = false;
};

// The rows of the table file; false with why filled when it cannot be read or a row is bad.
bool ReadCertificateCases(const std::string& tableFile, std::vector<CertificateCase>& cases,
                          std::string& why);

// "NAME ORIGIN" lines the case server announced (cases.txt of its state folder).
bool ReadCaseServers(const std::string& casesFile, std::map<std::string, std::string>& origins);

// origin ("https://127.0.0.1:PORT") with its host replaced, and path appended.
std::string CaseUrl(const std::string& origin, const std::string& host, const std::string& path);

// True for host names every system resolves to loopback by itself.
bool ResolvesWithoutHelp(const std::string& host);

// How many connections a case server's log has recorded so far.
int ConnectionsInLog(const std::string& logFile);

// What a case server's log shows of the connections from the given one on (1 = all): empty
// when none of them brought a cookie or asked for more than a bare "/", otherwise the first
// offending line.
std::string LeakInLog(const std::string& logFile, int fromConnection = 1);

}  // namespace veltrin::test
