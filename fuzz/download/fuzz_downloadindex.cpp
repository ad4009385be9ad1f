// Any "files.txt" a server sends: the names found in it, and the URLs made from them, must keep
// the rules the download relies on.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "download/indexnames.h"
#include "download/updatedownload.h"
#include "download/urltext.h"

namespace {

void CheckName(const std::string& name, const veltrin::IndexKey& key) {
    if (name.empty()) {
        return;
    }
    const std::string_view keyText(key.Key);
    const std::string_view extension(key.Extension);
    if (name.size() < keyText.size() + extension.size() ||
        name.compare(0, keyText.size(), keyText) != 0 ||
        name.compare(name.size() - extension.size(), extension.size(), extension) != 0) {
        std::abort();
    }
    const std::string url = veltrin::MakeUpdateFileUrl("https://127.0.0.1/pipette-update", name);
    std::string why;
    // Whatever the index holds, the URL carries no byte that could end the request line.
    if (!veltrin::CheckRequestUrl(url, SIZE_MAX, why)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view index(reinterpret_cast<const char*>(data), size);
    const veltrin::IndexNames names = veltrin::FindIndexNames(index);
    CheckName(names.QuorvanOtg, veltrin::kIndexKeyQuorvanOtg);
    CheckName(names.TarnovelleK7, veltrin::kIndexKeyTarnovelleK7);
    CheckName(names.Variants, veltrin::kIndexKeyVariants);
    return 0;
}
