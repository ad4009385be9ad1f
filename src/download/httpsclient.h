#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace veltrin {

// Result codes of HttpsClient (0 = success).
enum HttpsResult : int {
    HTTPS_OK = 0,
    HTTPS_ERR_URL = 1,         // empty, over-long, not https:// or file://, or unsafe bytes
    HTTPS_ERR_CONNECT = 2,     // host not found or connection refused
    HTTPS_ERR_TLS = 3,         // handshake failed or the server certificate is not trusted
    HTTPS_ERR_TIMEOUT = 4,     // no connection in time, the transfer (nearly) stalled, or
                               // the whole fetch took longer than TotalTimeoutSeconds
    HTTPS_ERR_STATUS = 5,      // the server answered with a status other than 2xx
    HTTPS_ERR_TOO_LARGE = 6,   // the body exceeds MaxBodyBytes
    HTTPS_ERR_SHORT_BODY = 7,  // fewer bytes than the server announced
    HTTPS_ERR_TRANSFER = 8,    // any other failure (unreadable file, protocol error, ...)
    HTTPS_ERR_SETUP = 9,       // the client could not be set up, or memory ran out
};

struct HttpsClientOptions {
    // Extra CA bundle to trust (tests pass their own CA); empty: the system's trust store only.
    std::string CaFile;
    long ConnectTimeoutSeconds = 20;
    // A transfer slower than LowSpeedBytesPerSecond for LowSpeedTimeSeconds is abandoned.
    long LowSpeedBytesPerSecond = 16;
    long LowSpeedTimeSeconds = 30;
    // No fetch takes longer than this, however steadily its bytes trickle in; 0: no limit.
    long TotalTimeoutSeconds = 600;
    // Bodies larger than this are refused.
    std::uint64_t MaxBodyBytes = 64ull * 1024 * 1024;
    // Longer URLs are refused before anything is sent.
    std::size_t MaxUrlLength = 4096;
};

// GET of a URL's body (https:// with verified TLS, also file://). One client keeps its cookies
// for all its requests. No exception leaves it: 0 on success, otherwise an HttpsResult with a
// readable LastError(). Only a 2xx answer counts; redirects are not followed; no proxy is used.
class HttpsClient {
public:
    explicit HttpsClient(HttpsClientOptions options = {});
    ~HttpsClient();
    HttpsClient(const HttpsClient&) = delete;
    HttpsClient& operator=(const HttpsClient&) = delete;

    // The body as 8-bit text, byte for byte. Emptied on failure.
    int GetText(const std::string& url, std::string& body);
    int GetBytes(const std::string& url, std::vector<std::uint8_t>& body);
    const std::string& LastError() const;
    // The HTTP status of the last answer; 0 when there was none (or for file://).
    long LastStatus() const;

    static const char* GetResultText(int code);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace veltrin
