#include <algorithm>

#include "sampledata.h"

namespace veltrin::sample {

SampleSizes MaximumSizes(FirmwareFamily family) {
    TSHexRange ranges[kFirmwareRangeCount];
    PrepareImage(family, ranges);
    auto span = [&](int entry) {
        return ranges[entry].EndAddress == 0
                   ? 0u
                   : ranges[entry].EndAddress - ranges[entry].StartAddress + 1;
    };
    SampleSizes sizes;
    sizes.Sounds = span(RANGE_SOUNDS);
    sizes.Fonts = span(RANGE_FONTS);
    sizes.Texts = span(RANGE_TEXTS);
    sizes.Bootloader = span(RANGE_BOOTLOADER);
    sizes.Application = span(RANGE_APPLICATION_BODY);
    return sizes;
}

SampleSizes SizesFor(SizeClass size, FirmwareFamily family) {
    SampleSizes sizes;
    switch (size) {
        case SizeClass::Tiny:
            // Three 4 KiB blocks of application: code, a stretch of 0xFF, code.
            sizes = {2048, 2048, 2048, 2048, 3 * 4096};
            break;
        case SizeClass::Small:
            sizes = {32 * 1024, 32 * 1024, 32 * 1024, 16 * 1024, 64 * 1024};
            break;
        case SizeClass::Medium:
            sizes = {1024 * 1024, 512 * 1024, 1024 * 1024, 64 * 1024, 512 * 1024};
            break;
        case SizeClass::Full:
            return MaximumSizes(family);
    }
    const SampleSizes most = MaximumSizes(family);
    sizes.Sounds = std::min(sizes.Sounds, most.Sounds);
    return sizes;
}

SampleSizes ResolveSizes(const SampleSetOptions& options, FirmwareFamily family) {
    SampleSizes sizes =
        options.UseSizeClass ? SizesFor(options.Size, family) : options.Firmware.Sizes;
    if (options.BootloaderLarge && sizes.Bootloader <= kLargeBootloaderThreshold) {
        sizes.Bootloader = kLargeBootloaderThreshold + 0x4000;
    }
    return sizes;
}

unsigned ParsePartName(const std::string& name) {
    static const struct {
        const char* Name;
        unsigned Part;
    } kParts[] = {
        {"sounds", PART_SOUNDS},
        {"fonts", PART_FONTS},
        {"texts", PART_TEXTS},
        {"bootloader", PART_BOOTLOADER},
        {"appbody", PART_APP_BODY},
        {"dataversion", PART_DATA_VERSION},
        {"bootversion", PART_BOOT_VERSION},
        {"appversion", PART_APP_VERSION},
        {"identifier", PART_IDENTIFIER},
    };
    for (const auto& part : kParts) {
        if (name == part.Name)
            return part.Part;
    }
    return 0;
}

}  // namespace veltrin::sample
