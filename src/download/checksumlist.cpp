#include "download/checksumlist.h"

#include <cctype>

namespace veltrin {

namespace {

constexpr std::size_t kDigestDigits = 64;

bool ParseLine(std::string_view line, std::string& digest, std::string& name) {
    if (line.size() < kDigestDigits + 3 || line[kDigestDigits] != ' ' ||
        (line[kDigestDigits + 1] != ' ' && line[kDigestDigits + 1] != '*')) {
        return false;
    }
    digest.clear();
    for (std::size_t i = 0; i < kDigestDigits; ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (!std::isxdigit(c))
            return false;
        digest += static_cast<char>(std::tolower(c));
    }
    name = std::string(line.substr(kDigestDigits + 2));
    return name[0] != '\\';
}

}  // namespace

std::string ParseChecksumList(std::string_view text, std::map<std::string, std::string>& digests) {
    digests.clear();
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);  // written on Windows
        if (line.empty())
            continue;
        std::string digest, name;
        if (!ParseLine(line, digest, name) || !digests.emplace(name, digest).second) {
            digests.clear();
            return "line " + std::to_string(lineNumber) + " of " + kChecksumFileName +
                   " is not a sha256sum line of its own file";
        }
    }
    if (digests.empty())
        return std::string(kChecksumFileName) + " lists no file";
    return {};
}

}  // namespace veltrin
