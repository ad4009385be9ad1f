#include "download/httpsclient_truststore.h"

namespace veltrin {

// An OpenSSL-based libcurl on Windows ships no CA bundle; the Windows certificate store is the
// system's trust store there.
CURLcode UseSystemTrustStore(CURL* handle) {
    return curl_easy_setopt(handle, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_NATIVE_CA));
}

}  // namespace veltrin
