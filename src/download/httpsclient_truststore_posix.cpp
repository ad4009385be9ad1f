#include "download/httpsclient_truststore.h"

namespace veltrin {

// libcurl on POSIX systems is built with the distribution's CA bundle and directory.
CURLcode UseSystemTrustStore(CURL* /*handle*/) {
    return CURLE_OK;
}

}  // namespace veltrin
