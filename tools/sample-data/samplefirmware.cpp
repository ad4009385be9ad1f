#include <algorithm>
#include <cstdio>
#include <cstring>

#include "sampledata.h"
#include "samplerandom.h"

namespace veltrin::sample {

namespace {

constexpr std::uint32_t kBlock = 4096;

// Streams of the generator, so that resizing one module leaves the others' bytes unchanged.
enum Stream : std::uint32_t {
    STREAM_SOUNDS = 1,
    STREAM_FONTS,
    STREAM_TEXTS,
    STREAM_BOOTLOADER,
    STREAM_APPLICATION,
    STREAM_VERSION
};

std::vector<std::uint8_t> RandomBytes(std::uint32_t size, std::uint32_t seed, Stream stream) {
    SampleRandom random(seed, stream);
    std::vector<std::uint8_t> bytes(size);
    for (auto& byte : bytes)
        byte = random.Byte();
    return bytes;
}

std::uint32_t Clamp(std::uint32_t size, std::uint32_t most) {
    return std::min(size, most);
}

// The bootloader ends with its version block when it fits below it; otherwise it starts at the
// beginning of its range and the block lies inside it. Which block counts depends on the size.
Segment MakeBootloader(const TSHexRange ranges[kFirmwareRangeCount], std::uint32_t size,
                       const FirmwareOptions& options) {
    const TSHexRange& range = ranges[RANGE_BOOTLOADER];
    size = std::clamp<std::uint32_t>(size, kVersionBlockSize,
                                     range.EndAddress - range.StartAddress + 1);
    const int blockEntry =
        size > kLargeBootloaderThreshold ? RANGE_BOOT_VERSION_LARGE : RANGE_BOOT_VERSION_SMALL;
    const std::uint32_t blockAddress = ranges[blockEntry].StartAddress;
    const std::uint32_t blockEnd = blockAddress + kVersionBlockSize - 1;
    const std::uint32_t end = std::max(blockEnd, range.StartAddress + size - 1);

    Segment segment{end - size + 1, RandomBytes(size, options.Seed, STREAM_BOOTLOADER)};
    std::vector<std::uint8_t> block(kVersionBlockSize, 0xFF);
    if ((options.Omit & PART_BOOT_VERSION) == 0) {
        block = MakeVersionBlock(
            options.BootVersion.empty() ? options.Version : options.BootVersion, options.Seed + 1);
    }
    std::copy(block.begin(), block.end(), segment.Bytes.begin() + (blockAddress - segment.Address));
    return segment;
}

// The application body: code, with its second 4 KiB block all 0xFF when there is room for code
// on both sides of it, so that the upload's skipping of fill blocks has something to skip.
Segment MakeApplicationBody(const TSHexRange& range, std::uint32_t size, std::uint32_t seed) {
    size = Clamp(size, range.EndAddress - range.StartAddress + 1);
    Segment segment{range.StartAddress, RandomBytes(size, seed, STREAM_APPLICATION)};
    if (size >= 3 * kBlock) {
        std::fill(segment.Bytes.begin() + kBlock, segment.Bytes.begin() + 2 * kBlock, 0xFF);
    }
    return segment;
}

std::vector<std::uint8_t> MakeIdentifier(FirmwareFamily family, const FirmwareOptions& options) {
    std::string text = options.Identifier;
    if (text.empty()) {
        text =
            family == FirmwareFamily::QuorvanOtg ? kQuorvanOtgIdentifier : kTarnovelleK7Identifier;
    }
    std::vector<std::uint8_t> bytes(20, 0);
    std::copy_n(text.begin(), std::min<std::size_t>(text.size(), bytes.size()), bytes.begin());
    return bytes;
}

}  // namespace

std::vector<std::uint8_t> MakeVersionBlock(const std::string& version, std::uint32_t seed) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::vector<std::uint8_t> block(kVersionBlockSize, 0);
    std::copy_n(version.begin(), std::min<std::size_t>(version.size(), 8), block.begin());
    // The build date and time as a compiler spells them: "Dec 09 2026", "hh:mm:ss".
    char date[16];
    char time[16];
    std::snprintf(date, sizeof date, "%s %02u 20%02u", kMonths[seed % 12], 1 + (seed / 12) % 28,
                  20 + (seed / 336) % 10);
    std::snprintf(time, sizeof time, "%02u:%02u:%02u", (seed / 7) % 24, (seed / 3) % 60, seed % 60);
    std::memcpy(block.data() + 9, date, std::strlen(date));
    std::memcpy(block.data() + 22, time, 8);
    return block;
}

std::vector<Segment> BuildFirmwareImage(FirmwareFamily family, const FirmwareOptions& options) {
    TSHexRange ranges[kFirmwareRangeCount];
    PrepareImage(family, ranges);
    const SampleSizes most = MaximumSizes(family);
    const SampleSizes& sizes = options.Sizes;
    const std::uint32_t seed = options.Seed;
    std::vector<Segment> segments;
    auto add = [&](unsigned part, int entry, std::vector<std::uint8_t> bytes) {
        if ((options.Omit & part) != 0 || bytes.empty())
            return;
        segments.push_back({ranges[entry].StartAddress, std::move(bytes)});
    };

    if (family == FirmwareFamily::QuorvanOtg) {
        add(PART_SOUNDS, RANGE_SOUNDS,
            RandomBytes(Clamp(sizes.Sounds, most.Sounds), seed, STREAM_SOUNDS));
    }
    const std::string dataVersion =
        options.DataVersion.empty() ? options.Version : options.DataVersion;
    add(PART_DATA_VERSION, RANGE_DATA_VERSION, MakeVersionBlock(dataVersion, seed));
    add(PART_FONTS, RANGE_FONTS, RandomBytes(Clamp(sizes.Fonts, most.Fonts), seed, STREAM_FONTS));
    add(PART_TEXTS, RANGE_TEXTS, RandomBytes(Clamp(sizes.Texts, most.Texts), seed, STREAM_TEXTS));
    if ((options.Omit & PART_BOOTLOADER) == 0) {
        segments.push_back(MakeBootloader(ranges, sizes.Bootloader, options));
    }
    if ((options.Omit & PART_APP_BODY) == 0 && sizes.Application > 0) {
        segments.push_back(
            MakeApplicationBody(ranges[RANGE_APPLICATION_BODY], sizes.Application, seed));
    }
    add(PART_IDENTIFIER, RANGE_DEVICE_ID, MakeIdentifier(family, options));
    add(PART_APP_VERSION, RANGE_APP_VERSION, MakeVersionBlock(options.Version, seed));

    std::sort(segments.begin(), segments.end(),
              [](const Segment& a, const Segment& b) { return a.Address < b.Address; });
    return segments;
}

std::string GenerateFirmwareHex(FirmwareFamily family, const FirmwareOptions& options) {
    TSHexRange ranges[kFirmwareRangeCount];
    PrepareImage(family, ranges);
    return WriteIntelHex(BuildFirmwareImage(family, options), options.RecordLength, options.CrLf,
                         ranges[RANGE_APPLICATION].StartAddress);
}

std::string GenerateFirmwareHex(FirmwareFamily family, const SampleSizes& sizes,
                                std::uint32_t seed) {
    FirmwareOptions options;
    options.Sizes = sizes;
    options.Seed = seed;
    return GenerateFirmwareHex(family, options);
}

}  // namespace veltrin::sample
