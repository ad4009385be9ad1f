#pragma once

#include <cstdint>
#include <string>

#include "data/clintelhex.h"

namespace veltrin {

// The eleven address ranges of a firmware image, in table order.
enum FirmwareRange : int {
    RANGE_SOUNDS = 0,
    RANGE_DATA_VERSION = 1,
    RANGE_FONTS = 2,
    RANGE_TEXTS = 3,
    RANGE_BOOTLOADER = 4,
    RANGE_BOOT_VERSION_SMALL = 5,  // version block of a bootloader up to 0x20000 bytes
    RANGE_BOOT_VERSION_LARGE = 6,  // version block of a larger bootloader
    RANGE_APPLICATION = 7,
    RANGE_APPLICATION_BODY = 8,  // application without its identifier and version trailer
    RANGE_DEVICE_ID = 9,
    RANGE_APP_VERSION = 10,
    kFirmwareRangeCount = 11,
};

constexpr std::uint32_t kLargeBootloaderThreshold = 0x20000;
constexpr std::uint32_t kVersionBlockSize = 31;
constexpr char kQuorvanOtgIdentifier[] = "Quorvan-USB-OTG";
constexpr char kTarnovelleK7Identifier[] = "Corvent-USB";

enum class FirmwareFamily { QuorvanOtg, TarnovelleK7 };

// Fill the table: all fields zero, then start and end addresses, no buffers.
void PrepareImageQuorvanOtg(TSHexRange ranges[kFirmwareRangeCount]);
void PrepareImageTarnovelleK7(TSHexRange ranges[kFirmwareRangeCount]);
void PrepareImage(FirmwareFamily family, TSHexRange ranges[kFirmwareRangeCount]);

// The buffers a check attaches to entries 1, 5, 6, 9 and 10, each as large as its range.
struct FirmwareBuffers {
    std::uint8_t DataVersion[64] = {};
    std::uint8_t BootVersionSmall[32] = {};
    std::uint8_t BootVersionLarge[32] = {};
    std::uint8_t DeviceId[20] = {};
    std::uint8_t AppVersion[32] = {};

    void Attach(TSHexRange ranges[kFirmwareRangeCount]);
    // Entry 6's buffer when the bootloader holds more than 0x20000 bytes, else entry 5's.
    std::uint8_t* BootloaderVersion(const TSHexRange ranges[kFirmwareRangeCount]);
    // The identifier text: entry 9 with byte 19 forced to zero, up to its first zero byte.
    std::string DeviceIdentifier();
};

// dd.dd.dd in the first eight characters; later characters are not looked at.
bool IsVersionText(const std::uint8_t* buffer);
// What CompareVersions finds of its first text against its second.
enum VersionComparison : int {
    VERSION_EQUAL = 0,
    VERSION_NEWER = 1,
    VERSION_OLDER = 2,
    VERSION_MALFORMED = 3,  // either text
};
// A VersionComparison. Writes a zero byte at position 8 of both buffers when both are well
// formed.
int CompareVersions(std::uint8_t* first, std::uint8_t* second);
// Terminates the three fields (bytes 8, 21, 30) of both blocks and compares them as texts.
bool VersionBlocksMatch(std::uint8_t* first, std::uint8_t* second);

// The check the download applies to a fetched firmware text: the version "dd.dd.dd" when the
// image passes, otherwise empty.
std::string CheckDownloadedFirmware(FirmwareFamily family, const std::string& hexText);

}  // namespace veltrin
