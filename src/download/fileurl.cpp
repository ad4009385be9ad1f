#include "download/fileurl.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "download/httpsclient.h"

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

int ReadInto(const std::filesystem::path& path, BodySink& sink, std::string& why) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        why = "The file is a folder";
        return HTTPS_ERR_TRANSFER;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        why = "The file cannot be opened";
        return HTTPS_ERR_TRANSFER;
    }
    std::array<char, 64 * 1024> buffer;
    while (file) {
        file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto got = static_cast<std::size_t>(file.gcount());
        if (!sink.Append(buffer.data(), got)) {
            return sink.Refusal();
        }
    }
    if (!file.eof()) {
        why = "The file could not be read";
        return HTTPS_ERR_TRANSFER;
    }
    return HTTPS_OK;
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
        return ReadInto(LocalPath(decoded), sink, why);
    } catch (...) {
        why = "Out of memory";
        return HTTPS_ERR_SETUP;
    }
}

}  // namespace veltrin
