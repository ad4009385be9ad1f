#pragma once

#include <map>
#include <string>
#include <string_view>

namespace veltrin {

constexpr char kChecksumFileName[] = "SHA256SUMS";
constexpr char kChecksumSignatureFileName[] = "SHA256SUMS.sig";

// Reads a list as `sha256sum` writes it: per line 64 hex digits, a blank, a blank or `*`, and
// the file name. Digests come back in lowercase by name. Empty on success; otherwise which line
// is wrong. A name listed twice, an escaped name (leading backslash) or any other line fails
// the whole list, since a list that cannot be read exactly cannot vouch for anything.
std::string ParseChecksumList(std::string_view text, std::map<std::string, std::string>& digests);

}  // namespace veltrin
