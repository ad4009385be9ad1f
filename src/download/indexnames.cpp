#include "download/indexnames.h"

#include <algorithm>

namespace veltrin {

std::string FindIndexName(std::string_view index, const IndexKey& key) {
    const std::string_view keyText(key.Key);
    const std::string_view extension(key.Extension);
    const std::size_t start = index.find(keyText);
    if (start == std::string_view::npos) {
        return {};
    }
    const std::size_t extensionStart = index.find(extension, start);
    if (extensionStart == std::string_view::npos) {
        return {};
    }
    return std::string(index.substr(start, extensionStart + extension.size() - start));
}

IndexNames FindIndexNames(std::string_view index) {
    IndexNames names;
    names.QuorvanOtg = FindIndexName(index, kIndexKeyQuorvanOtg);
    names.TarnovelleK7 = FindIndexName(index, kIndexKeyTarnovelleK7);
    names.Variants = FindIndexName(index, kIndexKeyVariants);
    return names;
}

bool IsPlainFileName(std::string_view name) {
    // ".." is refused anywhere in the name, not only as a whole: no release file needs it, and
    // refusing it is simpler than knowing how every server and file system reads it.
    if (name.empty() || name == "." || name.find("..") != std::string_view::npos) {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F ||
               std::string_view("/\\:?#*\"<>|").find(c) != std::string_view::npos;
    });
}

}  // namespace veltrin
