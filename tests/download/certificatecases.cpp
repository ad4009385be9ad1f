#include "certificatecases.h"

#include <fstream>
#include <sstream>

namespace veltrin::test {

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
        cases.push_back(row);
    }
    return !cases.empty();
}

bool ReadCaseServers(const std::string& casesFile, std::map<std::string, std::string>& origins) {
    std::ifstream file(casesFile);
    std::string name;
    std::string origin;
    while (file >> name >> origin) {
        origins[name] = origin;
    }
    return !origins.empty();
}

std::string CaseUrl(const std::string& origin, const std::string& host, const std::string& path) {
    const std::size_t port = origin.rfind(':');
    return "https://" + host + origin.substr(port) + path;
}

bool ResolvesWithoutHelp(const std::string& host) {
    return host == "localhost" || host.find_first_not_of("0123456789.") == std::string::npos;
}

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

std::string LeakInLog(const std::string& logFile, int fromConnection) {
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
        if (connection < fromConnection) {
            continue;
        }
        const std::size_t blank = line.find(' ');
        const bool requestLine = line.find(" HTTP/1.") != std::string::npos && blank != 0;
        if (line.rfind("Cookie:", 0) == 0 || line.rfind("cookie:", 0) == 0 ||
            (requestLine && line.compare(blank, 3, " / ") != 0)) {
            return line;
        }
    }
    return "";
}

}  // namespace veltrin::test
