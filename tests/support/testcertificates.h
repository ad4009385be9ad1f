#pragma once

#include <string>

namespace veltrin::test {

// PEM files of a certificate authority made for one test run and of a server certificate it
// signed, valid for IP 127.0.0.1 and DNS localhost.
struct TestCertificateFiles {
    std::string CaCertFile;
    std::string ServerCertFile;
    std::string ServerKeyFile;
};

// Creates a new CA (EC P-256, self-signed) and a server certificate signed by it in directory
// ("<prefix>ca.pem", "<prefix>server.pem", "<prefix>server.key"). Each call makes a CA of its
// own, so a second call gives a CA that the first one's clients do not know. False on failure,
// with the reason in error when given.
bool MakeTestCertificates(const std::string& directory, TestCertificateFiles& files,
                          std::string* error = nullptr, const std::string& prefix = "");

// The file names MakeTestCertificates uses in directory; true when all three exist.
bool FindTestCertificates(const std::string& directory, TestCertificateFiles& files,
                          const std::string& prefix = "");

}  // namespace veltrin::test
