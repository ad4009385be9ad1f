#include "download/fileurl.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "download/httpsclient.h"
#include "download/regularfile.h"

namespace veltrin {

namespace {

constexpr std::size_t kSchemeLength = 7;  // "file://"

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool IsDriveName(std::string_view text) {
    return text.size() == 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const int lower = std::tolower(static_cast<unsigned char>(c));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// Decodes %XX escapes; a broken escape or an encoded NUL (which would cut the name short)
// refuses the URL.
bool DecodePercent(std::string_view text, std::string& decoded) {
    decoded.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return false;
        }
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0)) {
            return false;
        }
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

// The local path of the URL, still percent-encoded; false for a foreign host.
bool SplitLocalPath(const std::string& url, std::string& encodedPath) {
    const std::string_view rest = std::string_view(url).substr(kSchemeLength);
    const std::size_t slash = rest.find('/');
    const std::string_view host = rest.substr(0, slash);
    if (host.empty() || EqualsNoCase(host, "localhost")) {
        encodedPath =
            slash == std::string_view::npos ? std::string() : std::string(rest.substr(slash));
        return true;
    }
    if (IsDriveName(host)) {
        encodedPath = std::string(rest);
        return true;
    }
    return false;
}

// "/C:/dir" names a drive path where the system has drive names; elsewhere it stays as it is.
std::filesystem::path LocalPath(const std::string& decoded) {
    const auto utf8 = [](std::string_view text) {
        return std::filesystem::path(std::u8string(text.begin(), text.end()));
    };
    if (decoded.size() >= 3 && decoded[0] == '/' && IsDriveName(decoded.substr(1, 2))) {
        std::filesystem::path withoutSlash = utf8(std::string_view(decoded).substr(1));
        if (withoutSlash.has_root_name()) {
            return withoutSlash;
        }
    }
    return utf8(decoded);
}

// "//host/share", "\\host\share", "\\?\C:\x" and "\\.\COM1": on Windows these open a
// network share, a raw path, a device or a pipe, and reaching a share offers the user's
// credentials to its host. Refused on every system, so an update folder means the same on both.
bool NamesNetworkPath(std::string_view decoded) {
    const auto separator = [](char c) { return c == '/' || c == '\\'; };
    return decoded.size() >= 2 && separator(decoded[0]) && separator(decoded[1]);
}

}  // namespace

int ReadFileUrl(const std::string& url, BodySink& sink, std::string& why) {
    try {
        std::string encodedPath;
        if (url.size() < kSchemeLength || !SplitLocalPath(url, encodedPath)) {
            why = "A file:// URL names no other host";
            return HTTPS_ERR_URL;
        }
        std::string decoded;
        if (encodedPath.empty() || !DecodePercent(encodedPath, decoded)) {
            why = "The file:// URL names no valid path";
            return HTTPS_ERR_URL;
        }
        if (NamesNetworkPath(decoded)) {
            why = "A file:// URL may not name a network path";
            return HTTPS_ERR_URL;
        }
        return ReadRegularFile(LocalPath(decoded), sink, why);
    } catch (...) {
        why = "Out of memory";
        return HTTPS_ERR_SETUP;
    }
}

}  // namespace veltrin
