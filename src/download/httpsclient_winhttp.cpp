// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <winhttp.h>
// clang-format on

#include <chrono>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "download/httpsbackend.h"
#include "download/servercertificate_win32.h"

namespace veltrin {

namespace {

constexpr wchar_t kAcceptHeader[] = L"Accept: text/html, */*";
constexpr wchar_t kUserAgent[] = L"Mozilla/3.0 (compatible; Indy Library)";
constexpr DWORD kReadChunk = 64 * 1024;

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle = nullptr) : handle_(handle) {}
    ~InternetHandle() { Close(); }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;

    HINTERNET Get() const { return handle_; }
    void Reset(HINTERNET handle) {
        Close();
        handle_ = handle;
    }
    // Forgets a handle that was closed elsewhere.
    HINTERNET Release() {
        HINTERNET handle = handle_;
        handle_ = nullptr;
        return handle;
    }
    void Close() {
        if (handle_ != nullptr) {
            WinHttpCloseHandle(handle_);
            handle_ = nullptr;
        }
    }

private:
    HINTERNET handle_;
};

// The URL passed CheckRequestUrl, so it holds ASCII only.
std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::string ErrorText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                        FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS;
    const DWORD length = FormatMessageW(flags, GetModuleHandleW(L"winhttp.dll"), error, 0,
                                        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string result = "WinHTTP error " + std::to_string(error);
    if (length > 0 && text != nullptr) {
        std::string narrow;
        for (DWORD i = 0; i < length; ++i) {
            const wchar_t c = text[i];
            if (c == L'\r' || c == L'\n') {
                continue;
            }
            narrow += c < 0x80 ? static_cast<char>(c) : '?';
        }
        result += ": " + narrow;
    }
    if (text != nullptr) {
        LocalFree(text);
    }
    return result;
}

int MapWinHttpError(DWORD error) {
    switch (error) {
        case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        case ERROR_WINHTTP_CANNOT_CONNECT:
            return HTTPS_ERR_CONNECT;
        case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
        case ERROR_WINHTTP_SECURE_FAILURE:
        case ERROR_WINHTTP_SECURE_INVALID_CA:
        case ERROR_WINHTTP_SECURE_INVALID_CERT:
        case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
        case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
        case ERROR_WINHTTP_SECURE_CERT_REVOKED:
        case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
        case ERROR_WINHTTP_CLIENT_AUTH_CERT_NEEDED:
            return HTTPS_ERR_TLS;
        case ERROR_WINHTTP_TIMEOUT:
            return HTTPS_ERR_TIMEOUT;
        case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
        case ERROR_WINHTTP_INVALID_URL:
            return HTTPS_ERR_URL;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return HTTPS_ERR_SETUP;
        default:
            return HTTPS_ERR_TRANSFER;
    }
}

// True for an IPv4 address or a bracketed IPv6 address.
bool IsAddressLiteral(const std::wstring& host) {
    if (!host.empty() && host.front() == L'[') {
        return true;
    }
    return !host.empty() && host.find_first_not_of(L"0123456789.") == std::wstring::npos;
}

// What the check of the server certificate decided; read by the status callback while the
// request is being sent.
struct CertificateCheck {
    std::wstring Host;
    const ExtraRootStore* ExtraRoots = nullptr;
    int Result = HTTPS_OK;
    std::string Why;
};

// Runs after the handshake, before the request leaves: a server whose certificate does not
// verify never sees the request, its path or the client's cookies. Closing the request handle
// makes WinHttpSendRequest fail. Wine's WinHTTP sends the request all the same and fails only
// afterwards, which is why a client with a CA file sends no cookies and shows the certificate
// with a bare "/" first (see Get); nothing of such an answer is ever read.
void CALLBACK OnRequestStatus(HINTERNET request, DWORD_PTR context, DWORD status, LPVOID /*info*/,
                              DWORD /*infoLength*/) {
    if (status != WINHTTP_CALLBACK_STATUS_SENDING_REQUEST || context == 0) {
        return;
    }
    auto& check = *reinterpret_cast<CertificateCheck*>(context);
    try {
        PCCERT_CONTEXT certificate = nullptr;
        DWORD size = sizeof(certificate);
        if (!WinHttpQueryOption(request, WINHTTP_OPTION_SERVER_CERT_CONTEXT, &certificate, &size) ||
            certificate == nullptr) {
            check.Result = HTTPS_ERR_TLS;
            check.Why = "The server presented no certificate";
        } else {
            check.Result =
                VerifyServerCertificate(certificate, check.Host, check.ExtraRoots, check.Why);
            CertFreeCertificateContext(certificate);
        }
    } catch (...) {
        check.Result = HTTPS_ERR_TLS;
        check.Why = "Out of memory while checking the server certificate";
    }
    if (check.Result != HTTPS_OK) {
        WinHttpCloseHandle(request);
    }
}

// Abandons a transfer that moves fewer than minBytes in any window of the given length.
class LowSpeedGuard {
public:
    LowSpeedGuard(long bytesPerSecond, long seconds)
        : window_(std::chrono::seconds(seconds)),
          minBytes_(static_cast<std::uint64_t>(bytesPerSecond > 0 ? bytesPerSecond : 0) *
                    static_cast<std::uint64_t>(seconds > 0 ? seconds : 0)),
          start_(std::chrono::steady_clock::now()) {}

    // False when the window that just ended moved too little.
    bool Moved(std::uint64_t bytes) {
        windowBytes_ += bytes;
        const auto now = std::chrono::steady_clock::now();
        if (now - start_ < window_) {
            return true;
        }
        const bool enough = windowBytes_ >= minBytes_;
        start_ = now;
        windowBytes_ = 0;
        return enough;
    }

private:
    std::chrono::steady_clock::duration window_;
    std::uint64_t minBytes_;
    std::chrono::steady_clock::time_point start_;
    std::uint64_t windowBytes_ = 0;
};

DWORD Milliseconds(long seconds) {
    if (seconds <= 0) {
        return 0;  // no limit
    }
    return seconds > 2000000 ? 2000000000u : static_cast<DWORD>(seconds) * 1000u;
}

// WinHTTP with one session per client: the session keeps the cookies for the client's life.
// Certificates are checked by WinHTTP against the Windows certificate store, with no check
// switched off; every request checks them once more before it is sent (revocation included).
// With an extra CA file WinHTTP's unknown-root check alone is switched off (and, for an IP
// address, its name check, which some WinHTTPs cannot do for addresses): the check before the
// send then asks the system's chain engine and one whose only roots are the CA file's.
class WinHttpBackend final : public HttpsBackend {
public:
    explicit WinHttpBackend(const HttpsClientOptions& options) : options_(options) {}

    bool Setup(std::string& why);
    int Get(const std::string& url, BodySink& sink, HttpsAnswer& answer) override;

private:
    int Fail(DWORD error, HttpsAnswer& answer) {
        answer.Error = ErrorText(error);
        return MapWinHttpError(error);
    }
    HINTERNET OpenRequest(HINTERNET connection, const wchar_t* verb, const wchar_t* path,
                          CertificateCheck& check, DWORD features);
    // Sends the request; a certificate the check refused is its result.
    int SendOnly(InternetHandle& request, CertificateCheck& check, HttpsAnswer& answer);
    int ReadAnswer(HINTERNET request, BodySink& sink, HttpsAnswer& answer);
    int ReadBody(HINTERNET request, BodySink& sink, HttpsAnswer& answer);

    HttpsClientOptions options_;
    InternetHandle session_;
    ExtraRootStore extraRoots_;
    std::string caFileError_;
};

bool WinHttpBackend::Setup(std::string& why) {
    session_.Reset(WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                               WINHTTP_NO_PROXY_BYPASS, 0));
    if (session_.Get() == nullptr) {
        why = "The HTTPS client could not be set up: " + ErrorText(GetLastError());
        return false;
    }
    // TLS 1.3 first; a WinHTTP that does not know it still gets TLS 1.2 and nothing older.
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    if (!WinHttpSetOption(session_.Get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols,
                          sizeof(protocols))) {
        protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
        if (!WinHttpSetOption(session_.Get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols,
                              sizeof(protocols))) {
            why = "TLS 1.2 cannot be required: " + ErrorText(GetLastError());
            return false;
        }
    }
    DWORD redirects = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    const DWORD connectMs = Milliseconds(options_.ConnectTimeoutSeconds);
    const DWORD stallMs = Milliseconds(options_.LowSpeedTimeSeconds);
    // The handshake counts as sending; a silent answer is a stall.
    if (!WinHttpSetOption(session_.Get(), WINHTTP_OPTION_REDIRECT_POLICY, &redirects,
                          sizeof(redirects)) ||
        !WinHttpSetTimeouts(session_.Get(), static_cast<int>(connectMs),
                            static_cast<int>(connectMs), static_cast<int>(connectMs),
                            static_cast<int>(stallMs))) {
        why = "The HTTPS client could not be set up: " + ErrorText(GetLastError());
        return false;
    }
    // A CA file that cannot be used fails each request as an untrusted server would, the way
    // the other systems' client reports it.
    if (!options_.CaFile.empty() && !extraRoots_.Load(options_.CaFile, caFileError_)) {
        caFileError_ = caFileError_.empty() ? "The CA file cannot be used" : caFileError_;
    }
    return true;
}

HINTERNET WinHttpBackend::OpenRequest(HINTERNET connection, const wchar_t* verb,
                                      const wchar_t* path, CertificateCheck& check,
                                      DWORD features) {
    HINTERNET request = WinHttpOpenRequest(connection, verb, path, nullptr, WINHTTP_NO_REFERER,
                                           WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE);
    if (request == nullptr) {
        return nullptr;
    }
    features |= WINHTTP_DISABLE_REDIRECTS;
    DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA;
    if (check.ExtraRoots != nullptr) {
        // The cookies of a server verified through the CA file would go out before the check
        // could stop them where WinHTTP does not stop the send (Wine): no cookies at all.
        features |= WINHTTP_DISABLE_COOKIES;
        if (IsAddressLiteral(check.Host)) {
            flags |= SECURITY_FLAG_IGNORE_CERT_CN_INVALID;
        }
    }
    // The connection stays open, so the request after the bare probe normally goes over the
    // connection the probe verified. Every request checks the certificate itself as well.
    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(&check);
    // Waiting for the answer's head (and, in some WinHTTPs, for the handshake) is a stall too;
    // left alone it would be WinHTTP's default of 90 s.
    DWORD stallMs = Milliseconds(options_.LowSpeedTimeSeconds);
    const bool ready =
        WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &stallMs,
                         sizeof(stallMs)) &&
        WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &features, sizeof(features)) &&
        WinHttpSetOption(request, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof(context)) &&
        WinHttpSetStatusCallback(request, OnRequestStatus, WINHTTP_CALLBACK_FLAG_SEND_REQUEST, 0) !=
            WINHTTP_INVALID_STATUS_CALLBACK &&
        (check.ExtraRoots == nullptr ||
         WinHttpSetOption(request, WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof(flags)));
    if (!ready) {
        const DWORD error = GetLastError();
        WinHttpCloseHandle(request);
        SetLastError(error);
        return nullptr;
    }
    return request;
}

int WinHttpBackend::SendOnly(InternetHandle& request, CertificateCheck& check,
                             HttpsAnswer& answer) {
    check.Result = HTTPS_OK;
    const BOOL sent = WinHttpSendRequest(request.Get(), kAcceptHeader, static_cast<DWORD>(-1L),
                                         WINHTTP_NO_REQUEST_DATA, 0, 0, 0);
    const DWORD error = sent ? ERROR_SUCCESS : GetLastError();
    if (check.Result != HTTPS_OK) {
        static_cast<void>(request.Release());  // the callback closed it already
        answer.Error = check.Why;
        return check.Result;
    }
    return sent ? HTTPS_OK : Fail(error, answer);
}

int WinHttpBackend::Get(const std::string& url, BodySink& sink, HttpsAnswer& answer) {
    try {
        if (!caFileError_.empty()) {
            answer.Error = caFileError_;
            return HTTPS_ERR_TLS;
        }
        const std::wstring wideUrl = Widen(url);
        URL_COMPONENTS parts = {};
        parts.dwStructSize = sizeof(parts);
        parts.dwHostNameLength = static_cast<DWORD>(-1);
        parts.dwUrlPathLength = static_cast<DWORD>(-1);
        parts.dwExtraInfoLength = static_cast<DWORD>(-1);
        if (!WinHttpCrackUrl(wideUrl.c_str(), 0, 0, &parts) ||
            parts.nScheme != INTERNET_SCHEME_HTTPS) {
            answer.Error = "The URL cannot be parsed";
            return HTTPS_ERR_URL;
        }
        CertificateCheck check;
        check.Host.assign(parts.lpszHostName, parts.dwHostNameLength);
        check.ExtraRoots = options_.CaFile.empty() ? nullptr : &extraRoots_;
        std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
        path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);

        InternetHandle connection(
            WinHttpConnect(session_.Get(), check.Host.c_str(), parts.nPort, 0));
        if (connection.Get() == nullptr) {
            return Fail(GetLastError(), answer);
        }
        if (check.ExtraRoots != nullptr) {
            // WinHTTP's root check is off for such a server, and a callback cannot stop a
            // request from leaving on every WinHTTP (Wine sends it before it fails); so a bare
            // request without cookies shows the certificate first, and the real one follows
            // only when it verifies. Should the real one still go over a new connection to a
            // server that fails the check, Wine lets its path out, but its answer is not read.
            InternetHandle probe(
                OpenRequest(connection.Get(), L"HEAD", L"/", check, WINHTTP_DISABLE_COOKIES));
            if (probe.Get() == nullptr) {
                return Fail(GetLastError(), answer);
            }
            const int probed = SendOnly(probe, check, answer);
            if (probed != HTTPS_OK) {
                return probed;
            }
            // Its answer (of no interest) is taken in, so that the verified connection is free
            // again for the request that follows.
            if (WinHttpReceiveResponse(probe.Get(), nullptr)) {
                char ignored[256];
                DWORD got = 0;
                while (WinHttpReadData(probe.Get(), ignored, sizeof(ignored), &got) && got > 0) {
                }
            }
            probe.Close();
        }
        InternetHandle request(OpenRequest(connection.Get(), L"GET", path.c_str(), check, 0));
        if (request.Get() == nullptr) {
            return Fail(GetLastError(), answer);
        }
        const int sent = SendOnly(request, check, answer);
        if (sent != HTTPS_OK) {
            return sent;
        }
        if (!WinHttpReceiveResponse(request.Get(), nullptr)) {
            return Fail(GetLastError(), answer);
        }
        return ReadAnswer(request.Get(), sink, answer);
    } catch (...) {
        answer.Error = "Out of memory";
        return HTTPS_ERR_SETUP;
    }
}

int WinHttpBackend::ReadAnswer(HINTERNET request, BodySink& sink, HttpsAnswer& answer) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                             WINHTTP_NO_HEADER_INDEX)) {
        return Fail(GetLastError(), answer);
    }
    answer.Status = static_cast<long>(status);
    wchar_t length[32] = {};
    size = sizeof(length);
    if (WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX,
                            length, &size, WINHTTP_NO_HEADER_INDEX)) {
        wchar_t* end = nullptr;
        const long long announced = std::wcstoll(length, &end, 10);
        if (end != length && *end == L'\0' && announced >= 0) {
            answer.AnnouncedLength = announced;
        }
    }
    if (status < 200 || status > 299) {
        return HTTPS_OK;  // the status decides; the body of an error page is of no use
    }
    if (answer.AnnouncedLength > 0 &&
        static_cast<std::uint64_t>(answer.AnnouncedLength) > sink.Limit()) {
        answer.Error = "The server announced " + std::to_string(answer.AnnouncedLength) +
                       " bytes, more than " + std::to_string(sink.Limit());
        return HTTPS_ERR_TOO_LARGE;
    }
    return ReadBody(request, sink, answer);
}

int WinHttpBackend::ReadBody(HINTERNET request, BodySink& sink, HttpsAnswer& answer) {
    std::vector<char> buffer(kReadChunk);
    LowSpeedGuard lowSpeed(options_.LowSpeedBytesPerSecond, options_.LowSpeedTimeSeconds);
    for (;;) {
        DWORD got = 0;
        if (!WinHttpReadData(request, buffer.data(), kReadChunk, &got)) {
            const DWORD error = GetLastError();
            const bool cutShort =
                answer.AnnouncedLength >= 0 &&
                sink.Received() < static_cast<std::uint64_t>(answer.AnnouncedLength);
            if (error != ERROR_WINHTTP_TIMEOUT && cutShort) {
                return HTTPS_OK;  // reported as a short body above
            }
            return Fail(error, answer);
        }
        if (got == 0) {
            return HTTPS_OK;
        }
        if (!sink.Append(buffer.data(), got)) {
            return sink.Refusal();
        }
        if (!lowSpeed.Moved(got)) {
            answer.Error = "The transfer was slower than " +
                           std::to_string(options_.LowSpeedBytesPerSecond) + " bytes/s for " +
                           std::to_string(options_.LowSpeedTimeSeconds) + " s";
            return HTTPS_ERR_TIMEOUT;
        }
    }
}

}  // namespace

std::unique_ptr<HttpsBackend> MakeHttpsBackend(const HttpsClientOptions& options,
                                               std::string& why) {
    try {
        auto backend = std::make_unique<WinHttpBackend>(options);
        if (!backend->Setup(why)) {
            return nullptr;
        }
        return backend;
    } catch (...) {
        why = "Out of memory";
        return nullptr;
    }
}

}  // namespace veltrin
