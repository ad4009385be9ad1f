#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/testcertificates.h"

namespace veltrin::test {

// What the server answers to a GET of one path.
struct TestResponse {
    int Status = 200;
    std::string Body;
    std::string ContentType = "text/plain";
    std::vector<std::pair<std::string, std::string>> Headers;  // e.g. {"Set-Cookie", "a=b"}
    bool Chunked = false;  // sent in chunks, without announcing its length
};

// One request as the server saw it.
struct TestRequest {
    std::string Path;    // percent-decoded, e.g. "/pipette-update//a b.hex"
    std::string Target;  // as sent on the request line, e.g. "/pipette-update//a%20b.hex"
    std::vector<std::pair<std::string, std::string>> Headers;

    // The first value of a header (any letter case), empty when absent.
    std::string Header(const std::string& name) const;
};

// A real HTTPS server on 127.0.0.1 in this process, on a free port, with the given
// certificate. Routes match the percent-decoded path; paths nobody registered are answered
// with 404. Thread-safe: routes may be changed while clients fetch. A connection that brings
// no request for idleSeconds is closed, also before its first request.
class HttpsTestServer {
public:
    explicit HttpsTestServer(const TestCertificateFiles& certificates, int port = 0,
                             int idleSeconds = 1);
    ~HttpsTestServer();
    HttpsTestServer(const HttpsTestServer&) = delete;
    HttpsTestServer& operator=(const HttpsTestServer&) = delete;

    // True when the server is listening.
    bool IsRunning() const;
    int Port() const;
    // "https://127.0.0.1:<port>"
    std::string Origin() const;

    void Serve(const std::string& path, TestResponse response);
    void ServeText(const std::string& path, const std::string& body);
    void Remove(const std::string& path);
    // Serves the files of directory under the URL prefix (e.g. "/pipette-update").
    bool ServeDirectory(const std::string& prefix, const std::string& directory);
    // Announces announcedLength bytes, sends body (shorter) and drops the connection.
    void ServeTruncated(const std::string& path, const std::string& body,
                        std::size_t announcedLength);
    // Accepts the request and never answers it while the server lives.
    void ServeSilence(const std::string& path);

    std::vector<TestRequest> Requests() const;
    void ClearRequests();

    // Blocks the calling thread until the server has stopped (for the command-line server).
    void Wait();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace veltrin::test
