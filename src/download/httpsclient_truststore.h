#pragma once

#include <curl/curl.h>

namespace veltrin {

// Points a handle at the operating system's own trust store where libcurl does not find it
// by itself. Returns CURLE_OK or the setup error.
CURLcode UseSystemTrustStore(CURL* handle);

}  // namespace veltrin
