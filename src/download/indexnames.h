#pragma once

#include <string>
#include <string_view>

namespace veltrin {

// How "files.txt" names a file: the first occurrence of the key, through the first occurrence
// of the extension after it (line breaks included).
struct IndexKey {
    const char* Key;
    const char* Extension;
};

constexpr IndexKey kIndexKeyQuorvanOtg{"Quorvan_OTG", ".hex"};
constexpr IndexKey kIndexKeyTarnovelleK7{"Tarnovelle_K7", ".hex"};
constexpr IndexKey kIndexKeyVariants{"quorvan_variants", ".par"};

// The three names an index gives; each empty when its key or extension is missing.
struct IndexNames {
    std::string QuorvanOtg;
    std::string TarnovelleK7;
    std::string Variants;
};

// The text from the key's first occurrence through the end of the first extension after it;
// empty when either is missing.
std::string FindIndexName(std::string_view index, const IndexKey& key);

IndexNames FindIndexNames(std::string_view index);

// True for a bare file name: not empty, not "." or "..", no "..", no folder separator, drive
// or stream colon, no URL query or fragment mark, no character Windows refuses in file names,
// no control byte. A name from the index must pass before it is joined to the server's URL or
// to a local folder, so an index can neither climb out of the update folder nor reach
// another host.
bool IsPlainFileName(std::string_view name);

}  // namespace veltrin
