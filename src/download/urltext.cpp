#include "download/urltext.h"

#include <algorithm>
#include <cctype>

namespace veltrin {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

}  // namespace

bool IsUnsafeUrlByte(unsigned char c) {
    return c <= 0x20 || c >= 0x7F;
}

std::string EncodeUnsafeUrlBytes(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        // A bare % would be read as the start of an escape and name some other file.
        if (IsUnsafeUrlByte(c) || c == '%') {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0x0F];
        } else {
            encoded += ch;
        }
    }
    return encoded;
}

bool IsHttpsUrl(std::string_view url) {
    return StartsWithNoCase(url, "https://");
}

bool CheckRequestUrl(std::string_view url, std::size_t maxLength, std::string& why) {
    if (url.empty()) {
        why = "Empty URL";
        return false;
    }
    if (url.size() > maxLength) {
        why = "URL longer than " + std::to_string(maxLength) + " bytes";
        return false;
    }
    if (!IsHttpsUrl(url) && !StartsWithNoCase(url, "file://")) {
        why = "Only https:// and file:// URLs are fetched";
        return false;
    }
    const bool unsafe = std::any_of(url.begin(), url.end(), [](char c) {
        return IsUnsafeUrlByte(static_cast<unsigned char>(c));
    });
    if (unsafe) {
        why = "URL holds blanks, control characters or non-ASCII bytes";
        return false;
    }
    return true;
}

std::string UrlForMessage(std::string_view url) {
    const std::size_t scheme = url.find("://");
    if (scheme == std::string_view::npos) {
        return std::string(url);
    }
    // A file URL has no host: its path starts right after the scheme.
    const std::size_t path =
        StartsWithNoCase(url, "file://") ? scheme + 3 : url.find('/', scheme + 3);
    if (path == std::string_view::npos) {
        return std::string(url);
    }
    const std::size_t query = std::min(url.find_first_of("?#", path), url.size());
    std::string text(url.substr(0, path));
    bool afterSlash = false;
    for (std::size_t i = path; i < query; ++i) {
        if (url[i] != '/' || !afterSlash) {
            text += url[i];
        }
        afterSlash = url[i] == '/';
    }
    text += url.substr(query);
    return text;
}

}  // namespace veltrin
