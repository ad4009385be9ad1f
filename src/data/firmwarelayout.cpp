#include "data/firmwarelayout.h"

#include <cstring>

namespace veltrin {

namespace {

struct RangeBounds {
    std::uint32_t Start;
    std::uint32_t End;
};

// Entries 4 to 10 (bootloader, its two version blocks, the application with its trailer) lie at
// the same addresses in both families; only the external-flash data differs.
constexpr RangeBounds kQuorvanOtg[kFirmwareRangeCount] = {
    {0x00000000, 0x003FFFBF}, {0x003FFFC0, 0x003FFFFF}, {0x00400000, 0x004FFFFF},
    {0x00500000, 0x006FFFFF}, {0x00700080, 0x0072807F}, {0x0071FF80, 0x0071FF9E},
    {0x00727F80, 0x00727F9E}, {0x08010000, 0x080FFFFF}, {0x08010000, 0x080FFDFF},
    {0x080FFE00, 0x080FFE13}, {0x080FFF00, 0x080FFF1E},
};

// Entry 0 is 0..0 with EndAddress 0: an empty slot, as this family carries no sounds.
constexpr RangeBounds kTarnovelleK7[kFirmwareRangeCount] = {
    {0x00000000, 0x00000000}, {0x00202C00, 0x00202C1F}, {0x00202C20, 0x00302C1F},
    {0x00302C20, 0x006FFFFF}, {0x00700080, 0x0072807F}, {0x0071FF80, 0x0071FF9E},
    {0x00727F80, 0x00727F9E}, {0x08010000, 0x080FFFFF}, {0x08010000, 0x080FFDFF},
    {0x080FFE00, 0x080FFE13}, {0x080FFF00, 0x080FFF1E},
};

void Fill(TSHexRange ranges[kFirmwareRangeCount],
          const RangeBounds (&bounds)[kFirmwareRangeCount]) {
    for (int i = 0; i < kFirmwareRangeCount; ++i) {
        ranges[i] = TSHexRange{};
        ranges[i].StartAddress = bounds[i].Start;
        ranges[i].EndAddress = bounds[i].End;
    }
}

}  // namespace

void PrepareImageQuorvanOtg(TSHexRange ranges[kFirmwareRangeCount]) {
    Fill(ranges, kQuorvanOtg);
}

void PrepareImageTarnovelleK7(TSHexRange ranges[kFirmwareRangeCount]) {
    Fill(ranges, kTarnovelleK7);
}

void PrepareImage(FirmwareFamily family, TSHexRange ranges[kFirmwareRangeCount]) {
    if (family == FirmwareFamily::QuorvanOtg) {
        PrepareImageQuorvanOtg(ranges);
    } else {
        PrepareImageTarnovelleK7(ranges);
    }
}

void FirmwareBuffers::Attach(TSHexRange ranges[kFirmwareRangeCount]) {
    ranges[RANGE_DATA_VERSION].Buffer = DataVersion;
    ranges[RANGE_BOOT_VERSION_SMALL].Buffer = BootVersionSmall;
    ranges[RANGE_BOOT_VERSION_LARGE].Buffer = BootVersionLarge;
    ranges[RANGE_DEVICE_ID].Buffer = DeviceId;
    ranges[RANGE_APP_VERSION].Buffer = AppVersion;
}

std::uint8_t* FirmwareBuffers::BootloaderVersion(const TSHexRange ranges[kFirmwareRangeCount]) {
    return ClIntelHex::GetDataSize(ranges[RANGE_BOOTLOADER]) > kLargeBootloaderThreshold
               ? BootVersionLarge
               : BootVersionSmall;
}

std::string FirmwareBuffers::DeviceIdentifier() {
    DeviceId[sizeof DeviceId - 1] = 0;
    return std::string(reinterpret_cast<const char*>(DeviceId));
}

}  // namespace veltrin
