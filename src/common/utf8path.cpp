#include "common/utf8path.h"

#include <system_error>

namespace veltrin {

// char8_t texts are UTF-8 by definition: converted to UTF-16 on Windows, taken byte for byte
// on POSIX systems (so names that are not UTF-8 still pass through unchanged there). The
// Windows conversion throws on a broken sequence, as it may be in a name from a downloaded
// index; such a name gives an empty path, which no file operation accepts.
std::filesystem::path PathFromUtf8(const std::string& name) {
    try {
        return std::filesystem::path(std::u8string(name.begin(), name.end()));
    } catch (const std::system_error&) {
        return std::filesystem::path();
    }
}

// A lone UTF-16 surrogate in a Windows name has no UTF-8 form; it gives an empty text.
std::string Utf8FromPath(const std::filesystem::path& path) {
    try {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    } catch (const std::system_error&) {
        return std::string();
    }
}

}  // namespace veltrin
