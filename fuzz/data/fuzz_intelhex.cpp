// Feeds arbitrary text to the Intel HEX scan and extraction, once from a file and once from
// memory. Both must agree, and nothing may crash, read out of bounds or hang.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "data/clintelhex.h"
#include "data/firmwarelayout.h"

using namespace veltrin;

namespace {

constexpr std::uint16_t kEntries = kFirmwareRangeCount + 3;
// Larger extractions are skipped: they cover no other code, and filling megabytes per input
// (the whole-address-space entry could ask for 4 GiB) would slow the search to a crawl.
constexpr std::uint32_t kLargestExtraction = 64u << 10;

struct Table {
    TSHexRange Ranges[kEntries];
    FirmwareBuffers Buffers;
    std::uint8_t Low[256];

    explicit Table(FirmwareFamily family) {
        PrepareImage(family, Ranges);
        Buffers.Attach(Ranges);
        Ranges[kFirmwareRangeCount] = TSHexRange{0, 0xFF, 0, 0, 0, Low};
        Ranges[kFirmwareRangeCount + 1] = TSHexRange{0, 0xFFFFFFFF, 0, 0, 0, nullptr};
        Ranges[kFirmwareRangeCount + 2] = TSHexRange{0xFFFFFF00, 0xFFFFFFFF, 0, 0, 0, nullptr};
    }
};

void Check(bool condition) {
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const FirmwareFamily family = size > 0 && (data[size - 1] & 1) ? FirmwareFamily::TarnovelleK7
                                                                   : FirmwareFamily::QuorvanOtg;
    ClIntelHex hex;

    Table fromMemory(family);
    std::uint32_t memoryLines = 0;
    const int memoryResult = hex.ScanRanges(text, fromMemory.Ranges, kEntries, &memoryLines);

    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr)
        return 0;  // fmemopen refuses a size of 0
    Table fromFile(family);
    std::uint32_t fileLines = 0;
    const int fileResult = hex.ScanRanges(file, fromFile.Ranges, kEntries, &fileLines);
    Check(fileResult == memoryResult && fileLines == memoryLines);

    for (std::uint16_t i = 0; i < kEntries; ++i) {
        const TSHexRange& range = fromMemory.Ranges[i];
        Check(range.DataFound == fromFile.Ranges[i].DataFound);
        Check(range.DataStart == fromFile.Ranges[i].DataStart);
        Check(range.DataEnd == fromFile.Ranges[i].DataEnd);
        if (range.DataFound == 0 || range.DataEnd - range.DataStart >= kLargestExtraction)
            continue;
        std::vector<std::uint8_t> imageFromMemory;
        std::vector<std::uint8_t> imageFromFile;
        const int a = hex.ExtractRange(imageFromMemory, text, range);
        const int b = hex.ExtractRange(imageFromFile, file, range);
        Check(a == b && imageFromMemory == imageFromFile);
        Check(imageFromMemory.size() == std::size_t{range.DataEnd - range.DataStart} + 1);
        (void)ClIntelHex::GetDataSize(range);
    }
    std::fclose(file);
    return 0;
}
