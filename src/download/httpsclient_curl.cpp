#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <algorithm>
#include <mutex>
#include <new>

#include "download/httpsbackend.h"

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

std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& sink = *static_cast<BodySink*>(user);
    const std::size_t bytes = size * count;
    // A short count makes libcurl end the transfer with a write error; the sink remembers why.
    return sink.Append(data, bytes) ? bytes : 0;
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

// libcurl with its in-memory cookie engine; one easy handle per client, so cookies last as
// long as the client does.
class CurlBackend final : public HttpsBackend {
public:
    explicit CurlBackend(const HttpsClientOptions& options) : options_(options) {}
    ~CurlBackend() override {
        if (handle_ != nullptr) {
            curl_easy_cleanup(handle_);
        }
        curl_slist_free_all(headers_);
    }
    CurlBackend(const CurlBackend&) = delete;
    CurlBackend& operator=(const CurlBackend&) = delete;

    bool Setup(std::string& why);
    int Get(const std::string& url, BodySink& sink, HttpsAnswer& answer) override;

private:
    HttpsClientOptions options_;
    CURL* handle_ = nullptr;
    curl_slist* headers_ = nullptr;
    char errorBuffer_[CURL_ERROR_SIZE] = {};
};

bool CurlBackend::Setup(std::string& why) {
    if (!GlobalInit() || (handle_ = curl_easy_init()) == nullptr) {
        why = "The HTTPS library could not be initialised";
        return false;
    }
    headers_ = curl_slist_append(nullptr, kAcceptHeader);
    if (headers_ == nullptr) {
        why = "Out of memory";
        return false;
    }
    CURL* h = handle_;
    CURLcode rc = CURLE_OK;
    auto set = [&rc](CURLcode result) {
        if (rc == CURLE_OK) {
            rc = result;
        }
    };
    set(curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L));
    set(curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer_));
    set(curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "https"));
    set(curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L));
    // An empty proxy name switches proxies off, also those named in the environment.
    set(curl_easy_setopt(h, CURLOPT_PROXY, ""));
    set(curl_easy_setopt(h, CURLOPT_NOPROXY, "*"));
    set(curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers_));
    set(curl_easy_setopt(h, CURLOPT_USERAGENT, kUserAgent));
    // An empty cookie file switches the in-memory cookie engine on; the handle lives as long as
    // the client, so cookies set by one answer go with the later requests.
    set(curl_easy_setopt(h, CURLOPT_COOKIEFILE, ""));
    // libcurl on Linux is built with the distribution's CA bundle and directory: the system's
    // trust store.
    set(curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L));
    set(curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L));
    set(curl_easy_setopt(h, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2)));
    if (!options_.CaFile.empty()) {
        set(curl_easy_setopt(h, CURLOPT_SSL_CTX_FUNCTION, AddExtraCa));
        set(curl_easy_setopt(h, CURLOPT_SSL_CTX_DATA, &options_.CaFile));
    }
    set(curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, options_.ConnectTimeoutSeconds));
    set(curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, options_.LowSpeedBytesPerSecond));
    set(curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, options_.LowSpeedTimeSeconds));
    // Also bounds a fetch stuck before its body, where the body sink's deadline cannot see it.
    set(curl_easy_setopt(h, CURLOPT_TIMEOUT,
                         std::clamp(options_.TotalTimeoutSeconds, 0L, 2000000L)));
    set(curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE,
                         static_cast<curl_off_t>(options_.MaxBodyBytes)));
    set(curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteBody));
    if (rc != CURLE_OK) {
        why = std::string("The HTTPS client could not be set up: ") + curl_easy_strerror(rc);
        return false;
    }
    return true;
}

int CurlBackend::Get(const std::string& url, BodySink& sink, HttpsAnswer& answer) {
    errorBuffer_[0] = '\0';
    curl_easy_setopt(handle_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle_, CURLOPT_WRITEDATA, &sink);
    const CURLcode rc = curl_easy_perform(handle_);
    curl_easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &answer.Status);
    if (rc != CURLE_OK) {
        answer.Error = errorBuffer_[0] != '\0' ? errorBuffer_ : curl_easy_strerror(rc);
        return MapCurlCode(rc);
    }
    curl_off_t announced = -1;
    curl_easy_getinfo(handle_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    answer.AnnouncedLength = announced;
    return HTTPS_OK;
}

}  // namespace

std::unique_ptr<HttpsBackend> MakeHttpsBackend(const HttpsClientOptions& options,
                                               std::string& why) {
    try {
        auto backend = std::make_unique<CurlBackend>(options);
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
