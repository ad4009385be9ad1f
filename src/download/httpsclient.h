#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace veltrin {

struct HttpsClientOptions {
    // Extra CA bundle to trust (tests pass their own CA); empty: the system's trust store only.
    std::string CaFile;
    long ConnectTimeoutSeconds = 20;
    // A transfer slower than LowSpeedBytesPerSecond for LowSpeedTimeSeconds is abandoned.
    long LowSpeedBytesPerSecond = 16;
    long LowSpeedTimeSeconds = 30;
    // Bodies larger than this are refused.
    std::uint64_t MaxBodyBytes = 64ull * 1024 * 1024;
};

// GET of a URL's body (https:// with verified TLS, also file://). One client keeps its cookies
// for all its requests. No exception leaves it: 0 on success, otherwise a non-zero code with a
// readable LastError().
class HttpsClient {
public:
    explicit HttpsClient(HttpsClientOptions options = {});
    ~HttpsClient();
    HttpsClient(const HttpsClient&) = delete;
    HttpsClient& operator=(const HttpsClient&) = delete;

    int GetText(const std::string& url, std::string& body);
    int GetBytes(const std::string& url, std::vector<std::uint8_t>& body);
    const std::string& LastError() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace veltrin
