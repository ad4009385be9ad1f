#pragma once

#include <string>

#include "download/bodysink.h"

namespace veltrin {

// Reads the file a checked file:// URL names into sink. The URL's host is empty or
// "localhost"; %XX escapes in the path are decoded; "file:///C:/dir/x" and "file://C:/dir/x"
// name a drive path. A path that begins with two slashes or backslashes (a network share, a
// raw device or a pipe on Windows) is refused, on every system; so is anything but a regular
// file. HTTPS_OK, HTTPS_ERR_URL, HTTPS_ERR_TRANSFER (unreadable) or the sink's
// refusal; why says what failed. Never throws.
int ReadFileUrl(const std::string& url, BodySink& sink, std::string& why);

}  // namespace veltrin
