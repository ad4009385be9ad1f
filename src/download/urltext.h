#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrin {

// Blanks, control characters and bytes outside ASCII never go into a URL as they are: on the
// wire they could end the request line or start a header line of their own.
bool IsUnsafeUrlByte(unsigned char c);

// The text with every unsafe byte, and every %, written as %XX; all other bytes are kept.
std::string EncodeUnsafeUrlBytes(std::string_view text);

// Checks a URL before it is requested: not empty, at most maxLength bytes, scheme https:// or
// file:// (any letter case), no unsafe byte. On failure why names the reason.
bool CheckRequestUrl(std::string_view url, std::size_t maxLength, std::string& why);

// The URL as a person reads it in a message: the runs of slashes in its path (the update
// files are requested as base + "//" + name) written as one. Not for requests.
std::string UrlForMessage(std::string_view url);

// True when the URL's scheme is https (any letter case).
bool IsHttpsUrl(std::string_view url);

}  // namespace veltrin
