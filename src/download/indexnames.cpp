#include "download/indexnames.h"

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

}  // namespace veltrin
