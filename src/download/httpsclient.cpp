#include "download/httpsclient.h"

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <mutex>
#include <new>

#include "download/httpsclient_truststore.h"
#include "download/urltext.h"

namespace veltrin {

namespace {

constexpr char kAcceptHeader[] = "Accept: text/html, */*";
constexpr char kUserAgent[] = "Mozilla/3.0 (compatible; Indy Library)";

bool GlobalInit() {
    static std::once_flag once;
    static CURLcode result = CURLE_FAILED_INIT;
    std::call_once(once, [] { result = curl_global_init(CURL_GLOBAL_DEFAULT); });
    return result == CURLE_OK;
}

// Collects a body, refusing more than the limit. Runs inside libcurl, so nothing may throw.
struct BodySink {
    std::uint64_t Limit = 0;
    std::uint64_t Received = 0;
    bool TooLarge = false;
    bool OutOfMemory = false;
    void* Target = nullptr;
    bool (*Append)(void* target, const char* data, std::size_t size) = nullptr;
};

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

std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& sink = *static_cast<BodySink*>(user);
    const std::size_t bytes = size * count;
    if (bytes > sink.Limit - sink.Received) {
        sink.TooLarge = true;
        return 0;  // makes libcurl end the transfer with a write error
    }
    if (!sink.Append(sink.Target, data, bytes)) {
        sink.OutOfMemory = true;
        return 0;
    }
    sink.Received += bytes;
    return bytes;
}

// Adds the certificates of the extra CA file to the store that libcurl already filled with the
// system's trust anchors, so the file widens the trust instead of replacing it.
CURLcode AddExtraCa(CURL* /*handle*/, void* sslContext, void* user) {
    const auto& caFile = *static_cast<const std::string*>(user);
    X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(sslContext));
    if (store == nullptr || X509_STORE_load_file(store, caFile.c_str()) != 1) {
        return CURLE_SSL_CACERT_BADFILE;
    }
    return CURLE_OK;
}

int MapCurlCode(CURLcode code) {
    switch (code) {
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_URL_MALFORMAT:
            return HTTPS_ERR_URL;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
            return HTTPS_ERR_CONNECT;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
        case CURLE_SSL_CRL_BADFILE:
            return HTTPS_ERR_TLS;
        case CURLE_OPERATION_TIMEDOUT:
            return HTTPS_ERR_TIMEOUT;
        case CURLE_FILESIZE_EXCEEDED:
            return HTTPS_ERR_TOO_LARGE;
        case CURLE_PARTIAL_FILE:
            return HTTPS_ERR_SHORT_BODY;
        case CURLE_OUT_OF_MEMORY:
            return HTTPS_ERR_SETUP;
        default:
            return HTTPS_ERR_TRANSFER;
    }
}

}  // namespace

struct HttpsClient::Impl {
    HttpsClientOptions Options;
    CURL* Handle = nullptr;
    curl_slist* Headers = nullptr;
    std::string SetupError;
    std::string LastError;
    long LastStatus = 0;
    char ErrorBuffer[CURL_ERROR_SIZE] = {};

    explicit Impl(HttpsClientOptions options) : Options(std::move(options)) {}

    ~Impl() {
        if (Handle != nullptr) {
            curl_easy_cleanup(Handle);
        }
        curl_slist_free_all(Headers);
    }

    bool Setup();
    int Fetch(const std::string& url, BodySink& sink);
    int Fail(int code, const std::string& text, const std::string& url);
};

bool HttpsClient::Impl::Setup() {
    if (!GlobalInit() || (Handle = curl_easy_init()) == nullptr) {
        SetupError = "The HTTPS library could not be initialised";
        return false;
    }
    Headers = curl_slist_append(nullptr, kAcceptHeader);
    if (Headers == nullptr) {
        SetupError = "Out of memory";
        return false;
    }
    CURL* h = Handle;
    CURLcode rc = CURLE_OK;
    auto set = [&rc](CURLcode result) {
        if (rc == CURLE_OK) {
            rc = result;
        }
    };
    set(curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L));
    set(curl_easy_setopt(h, CURLOPT_ERRORBUFFER, ErrorBuffer));
    set(curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "https,file"));
    set(curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L));
    // An empty proxy name switches proxies off, also those named in the environment.
    set(curl_easy_setopt(h, CURLOPT_PROXY, ""));
    set(curl_easy_setopt(h, CURLOPT_NOPROXY, "*"));
    set(curl_easy_setopt(h, CURLOPT_HTTPHEADER, Headers));
    set(curl_easy_setopt(h, CURLOPT_USERAGENT, kUserAgent));
    // An empty cookie file switches the in-memory cookie engine on; the handle lives as long as
    // the client, so cookies set by one answer go with the later requests.
    set(curl_easy_setopt(h, CURLOPT_COOKIEFILE, ""));
    set(curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L));
    set(curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L));
    set(curl_easy_setopt(h, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2)));
    set(UseSystemTrustStore(h));
    if (!Options.CaFile.empty()) {
        set(curl_easy_setopt(h, CURLOPT_SSL_CTX_FUNCTION, AddExtraCa));
        set(curl_easy_setopt(h, CURLOPT_SSL_CTX_DATA, &Options.CaFile));
    }
    set(curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, Options.ConnectTimeoutSeconds));
    set(curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, Options.LowSpeedBytesPerSecond));
    set(curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, Options.LowSpeedTimeSeconds));
    set(curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE,
                         static_cast<curl_off_t>(Options.MaxBodyBytes)));
    set(curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteBody));
    if (rc != CURLE_OK) {
        SetupError = std::string("The HTTPS client could not be set up: ") + curl_easy_strerror(rc);
        return false;
    }
    return true;
}

int HttpsClient::Impl::Fail(int code, const std::string& text, const std::string& url) {
    LastError = text + " (" + url.substr(0, 200) + ")";
    return code;
}

int HttpsClient::Impl::Fetch(const std::string& url, BodySink& sink) {
    LastError.clear();
    LastStatus = 0;
    if (Handle == nullptr) {
        LastError = SetupError;
        return HTTPS_ERR_SETUP;
    }
    std::string why;
    if (!CheckRequestUrl(url, Options.MaxUrlLength, why)) {
        return Fail(HTTPS_ERR_URL, why, url);
    }
    sink.Limit = Options.MaxBodyBytes;
    ErrorBuffer[0] = '\0';
    curl_easy_setopt(Handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(Handle, CURLOPT_WRITEDATA, &sink);
    const CURLcode rc = curl_easy_perform(Handle);
    curl_easy_getinfo(Handle, CURLINFO_RESPONSE_CODE, &LastStatus);

    if (sink.TooLarge) {
        return Fail(HTTPS_ERR_TOO_LARGE,
                    "Body larger than " + std::to_string(Options.MaxBodyBytes) + " bytes", url);
    }
    if (sink.OutOfMemory) {
        return Fail(HTTPS_ERR_SETUP, "Out of memory", url);
    }
    if (rc != CURLE_OK) {
        const std::string text = ErrorBuffer[0] != '\0' ? ErrorBuffer : curl_easy_strerror(rc);
        return Fail(MapCurlCode(rc), text, url);
    }
    if (IsHttpsUrl(url) && (LastStatus < 200 || LastStatus > 299)) {
        return Fail(HTTPS_ERR_STATUS,
                    "The server answered with status " + std::to_string(LastStatus), url);
    }
    curl_off_t announced = -1;
    curl_easy_getinfo(Handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    if (announced >= 0 && sink.Received < static_cast<std::uint64_t>(announced)) {
        return Fail(HTTPS_ERR_SHORT_BODY,
                    "Received " + std::to_string(sink.Received) + " of " +
                        std::to_string(announced) + " announced bytes",
                    url);
    }
    return HTTPS_OK;
}

HttpsClient::HttpsClient(HttpsClientOptions options) {
    try {
        impl_ = std::make_unique<Impl>(std::move(options));
        if (!impl_->Setup() && impl_->Handle != nullptr) {
            curl_easy_cleanup(impl_->Handle);
            impl_->Handle = nullptr;
        }
    } catch (...) {
        impl_.reset();
    }
}

HttpsClient::~HttpsClient() = default;

int HttpsClient::GetText(const std::string& url, std::string& body) {
    body.clear();
    if (!impl_) {
        return HTTPS_ERR_SETUP;
    }
    try {
        BodySink sink;
        sink.Target = &body;
        sink.Append = AppendTo<std::string>;
        const int result = impl_->Fetch(url, sink);
        if (result != HTTPS_OK) {
            body.clear();
        }
        return result;
    } catch (...) {
        body.clear();
        impl_->LastError = "Out of memory";
        return HTTPS_ERR_SETUP;
    }
}

int HttpsClient::GetBytes(const std::string& url, std::vector<std::uint8_t>& body) {
    body.clear();
    if (!impl_) {
        return HTTPS_ERR_SETUP;
    }
    try {
        BodySink sink;
        sink.Target = &body;
        sink.Append = AppendTo<std::vector<std::uint8_t>>;
        const int result = impl_->Fetch(url, sink);
        if (result != HTTPS_OK) {
            body.clear();
        }
        return result;
    } catch (...) {
        body.clear();
        impl_->LastError = "Out of memory";
        return HTTPS_ERR_SETUP;
    }
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
