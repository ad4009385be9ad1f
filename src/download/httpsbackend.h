#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "download/bodysink.h"
#include "download/httpsclient.h"

namespace veltrin {

// What came back from one GET, whatever its status.
struct HttpsAnswer {
    long Status = 0;                    // 0 when no answer arrived
    std::int64_t AnnouncedLength = -1;  // Content-Length; -1 when the server gave none
    std::string Error;                  // readable reason when the GET failed
};

// The HTTPS transfer itself, through the operating system's own HTTP library (one file per
// system). URL checks, file:// and the verdicts on status and length are shared above it.
class HttpsBackend {
public:
    virtual ~HttpsBackend() = default;

    // GET of a checked https:// URL; the body goes into sink. HTTPS_OK when an answer arrived
    // (also a non-2xx one), otherwise an HttpsResult with answer.Error filled. Never throws.
    virtual int Get(const std::string& url, BodySink& sink, HttpsAnswer& answer) = 0;
};

// The backend of this system set up for the options; nullptr with why filled when that fails.
// Never throws.
std::unique_ptr<HttpsBackend> MakeHttpsBackend(const HttpsClientOptions& options, std::string& why);

}  // namespace veltrin
