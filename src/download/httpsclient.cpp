#include "download/httpsclient.h"

#include <algorithm>
#include <chrono>
#include <new>

#include "download/fileurl.h"
#include "download/httpsbackend.h"
#include "download/urltext.h"

namespace veltrin {

namespace {

template <typename Container>
bool AppendTo(void* target, const char* data, std::size_t size) {
    try {
        auto& body = *static_cast<Container*>(target);
        body.insert(body.end(), data, data + size);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace

struct HttpsClient::Impl {
    HttpsClientOptions Options;
    std::unique_ptr<HttpsBackend> Backend;
    std::string SetupError;
    std::string LastError;
    long LastStatus = 0;

    explicit Impl(HttpsClientOptions options) : Options(std::move(options)) {}

    int Fetch(const std::string& url, BodySink& sink);
    BodySink::Clock::time_point Deadline() const;
    int Fail(int code, const std::string& text, const std::string& url);
    template <typename Container>
    int Get(const std::string& url, Container& body);
};

BodySink::Clock::time_point HttpsClient::Impl::Deadline() const {
    if (Options.TotalTimeoutSeconds <= 0) {
        return BodySink::Clock::time_point::max();
    }
    // Capped at about 23 days, far below where the clock's arithmetic would overflow.
    const long seconds = std::min(Options.TotalTimeoutSeconds, 2000000L);
    return BodySink::Clock::now() + std::chrono::seconds(seconds);
}

int HttpsClient::Impl::Fail(int code, const std::string& text, const std::string& url) {
    LastError = text + " (" + UrlForMessage(url.substr(0, 200)) + ")";
    return code;
}

int HttpsClient::Impl::Fetch(const std::string& url, BodySink& sink) {
    LastError.clear();
    LastStatus = 0;
    if (!Backend) {
        LastError = SetupError;
        return HTTPS_ERR_SETUP;
    }
    std::string why;
    if (!CheckRequestUrl(url, Options.MaxUrlLength, why)) {
        return Fail(HTTPS_ERR_URL, why, url);
    }
    const bool https = IsHttpsUrl(url);
    HttpsAnswer answer;
    const int rc = https ? Backend->Get(url, sink, answer) : ReadFileUrl(url, sink, answer.Error);
    LastStatus = answer.Status;

    if (sink.Refusal() == HTTPS_ERR_TOO_LARGE) {
        return Fail(HTTPS_ERR_TOO_LARGE,
                    "Body larger than " + std::to_string(Options.MaxBodyBytes) + " bytes", url);
    }
    if (sink.Refusal() == HTTPS_ERR_TIMEOUT) {
        return Fail(
            HTTPS_ERR_TIMEOUT,
            "The fetch took longer than " + std::to_string(Options.TotalTimeoutSeconds) + " s",
            url);
    }
    if (sink.Refusal() != HTTPS_OK) {
        return Fail(HTTPS_ERR_SETUP, "Out of memory", url);
    }
    if (rc != HTTPS_OK) {
        return Fail(rc, answer.Error, url);
    }
    if (https && (LastStatus < 200 || LastStatus > 299)) {
        return Fail(HTTPS_ERR_STATUS,
                    "The server answered with status " + std::to_string(LastStatus), url);
    }
    if (answer.AnnouncedLength >= 0 &&
        sink.Received() < static_cast<std::uint64_t>(answer.AnnouncedLength)) {
        return Fail(HTTPS_ERR_SHORT_BODY,
                    "Received " + std::to_string(sink.Received()) + " of " +
                        std::to_string(answer.AnnouncedLength) + " announced bytes",
                    url);
    }
    return HTTPS_OK;
}

template <typename Container>
int HttpsClient::Impl::Get(const std::string& url, Container& body) {
    try {
        BodySink sink(Options.MaxBodyBytes, &body, AppendTo<Container>, Deadline());
        const int result = Fetch(url, sink);
        if (result != HTTPS_OK) {
            body.clear();
        }
        return result;
    } catch (...) {
        body.clear();
        LastError = "Out of memory";
        return HTTPS_ERR_SETUP;
    }
}

HttpsClient::HttpsClient(HttpsClientOptions options) {
    try {
        impl_ = std::make_unique<Impl>(std::move(options));
        impl_->Backend = MakeHttpsBackend(impl_->Options, impl_->SetupError);
    } catch (...) {
        impl_.reset();
    }
}

HttpsClient::~HttpsClient() = default;

int HttpsClient::GetText(const std::string& url, std::string& body) {
    body.clear();
    return impl_ ? impl_->Get(url, body) : HTTPS_ERR_SETUP;
}

int HttpsClient::GetBytes(const std::string& url, std::vector<std::uint8_t>& body) {
    body.clear();
    return impl_ ? impl_->Get(url, body) : HTTPS_ERR_SETUP;
}

const std::string& HttpsClient::LastError() const {
    static const std::string kNoClient = "The HTTPS client could not be created";
    return impl_ ? impl_->LastError : kNoClient;
}

long HttpsClient::LastStatus() const {
    return impl_ ? impl_->LastStatus : 0;
}

const char* HttpsClient::GetResultText(int code) {
    switch (code) {
        case HTTPS_OK:
            return "OK";
        case HTTPS_ERR_URL:
            return "URL refused";
        case HTTPS_ERR_CONNECT:
            return "No connection to the server";
        case HTTPS_ERR_TLS:
            return "Secure connection failed or server not trusted";
        case HTTPS_ERR_TIMEOUT:
            return "Time-out";
        case HTTPS_ERR_STATUS:
            return "Error status from the server";
        case HTTPS_ERR_TOO_LARGE:
            return "File too large";
        case HTTPS_ERR_SHORT_BODY:
            return "File incomplete";
        case HTTPS_ERR_TRANSFER:
            return "Transfer failed";
        case HTTPS_ERR_SETUP:
            return "HTTPS client not usable";
        default:
            return "Unknown result";
    }
}

}  // namespace veltrin
