#include <cstring>
#include <new>

#include "data/clintelhex.h"
#include "data/hexpass.h"

namespace veltrin {

namespace {

// Empties the image, checks the range and sizes the image to it, all 0xFF.
int PrepareImage(std::vector<std::uint8_t>& image, const TSHexRange& range) {
    image.clear();
    if (range.DataEnd < range.DataStart)
        return HEX_ERR_NO_DATA_IN_RANGE;
    if (range.DataFound == 0)
        return HEX_ERR_ADDRESS_RANGE;
    const std::uint64_t size = std::uint64_t{range.DataEnd} - range.DataStart + 1;
    if (size > image.max_size())
        return HEX_ERR_PARAMETERS;
    try {
        image.assign(static_cast<std::size_t>(size), 0xFF);
    } catch (const std::bad_alloc&) {
        return HEX_ERR_PARAMETERS;
    }
    return HEX_OK;
}

int Extract(HexLineReader& reader, std::vector<std::uint8_t>& image, const TSHexRange& range,
            std::uint32_t* lineCounter) {
    const std::uint32_t start = range.DataStart;
    const std::uint32_t end = range.DataEnd;
    std::uint8_t* target = image.data();
    // Later records overwrite earlier ones at the same address.
    return RunHexPass(reader, lineCounter, HEX_ERR_UNKNOWN_RECORD_TYPE,
                      [&](std::uint32_t first, const std::uint8_t* data, std::uint8_t n) {
                          const std::uint32_t last = first + n - 1;
                          if (last < start || first > end)
                              return;
                          const std::uint32_t low = first > start ? first : start;
                          const std::uint32_t high = last < end ? last : end;
                          std::memcpy(target + (low - start), data + (low - first),
                                      std::size_t{high - low} + 1);
                      });
}

}  // namespace

int ClIntelHex::ExtractRange(std::vector<std::uint8_t>& image, std::FILE* file,
                             const TSHexRange& range, std::uint32_t* lineCounter) {
    if (lineCounter != nullptr)
        *lineCounter = 0;
    const int prepared = PrepareImage(image, range);
    if (prepared != HEX_OK)
        return prepared;
    if (file == nullptr)
        return HEX_ERR_OPEN_FILE;
    try {
        HexLineReader reader(file);
        return Extract(reader, image, range, lineCounter);
    } catch (const std::bad_alloc&) {
        return HEX_ERR_PARAMETERS;
    }
}

int ClIntelHex::ExtractRange(std::vector<std::uint8_t>& image, std::string_view text,
                             const TSHexRange& range, std::uint32_t* lineCounter) {
    if (lineCounter != nullptr)
        *lineCounter = 0;
    const int prepared = PrepareImage(image, range);
    if (prepared != HEX_OK)
        return prepared;
    HexLineReader reader(text);
    return Extract(reader, image, range, lineCounter);
}

}  // namespace veltrin
