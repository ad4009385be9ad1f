#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/firmwarelayout.h"

namespace veltrin::sample {

// Data bytes of each module. The data version block, the bootloader version block, the device
// identifier and the application version block come on top and are not counted here.
struct SampleSizes {
    std::uint32_t Sounds = 0;  // electronic pipette only
    std::uint32_t Fonts = 0;
    std::uint32_t Texts = 0;
    std::uint32_t Bootloader = 0;   // more than 0x20000 makes a large bootloader
    std::uint32_t Application = 0;  // the application body below its trailer
};

// tiny: a few KB per module (a whole update over a fast line in seconds); full: every range of
// the family's layout filled completely.
enum class SizeClass { Tiny, Small, Medium, Full };

SampleSizes SizesFor(SizeClass size, FirmwareFamily family);
// The largest size of every module of the family's layout.
SampleSizes MaximumSizes(FirmwareFamily family);

// Parts that can be left out (or spoilt) to make a damaged image.
enum SamplePart : unsigned {
    PART_SOUNDS = 1u << 0,
    PART_FONTS = 1u << 1,
    PART_TEXTS = 1u << 2,
    PART_BOOTLOADER = 1u << 3,
    PART_APP_BODY = 1u << 4,
    PART_DATA_VERSION = 1u << 5,
    PART_BOOT_VERSION = 1u << 6,  // the bootloader stays, its version block is 0xFF
    PART_APP_VERSION = 1u << 7,
    PART_IDENTIFIER = 1u << 8,
};
// "sounds", "fonts", "texts", "bootloader", "appbody", "dataversion", "bootversion",
// "appversion", "identifier"; 0 for an unknown name.
unsigned ParsePartName(const std::string& name);

struct FirmwareOptions {
    SampleSizes Sizes;
    std::uint32_t Seed = 1;
    std::string Version = "01.02.03";  // application and data version blocks
    std::string DataVersion;           // empty: the same as Version
    std::string BootVersion;           // empty: the same as Version
    std::string Identifier;            // empty: the family's own
    unsigned Omit = 0;                 // SamplePart bits
    bool CrLf = true;                  // line ends of the HEX text
    std::uint8_t RecordLength = 16;    // data bytes per record, 1..255
};

// One stretch of bytes at consecutive addresses.
struct Segment {
    std::uint32_t Address = 0;
    std::vector<std::uint8_t> Bytes;
};

// The image as segments in ascending address order, none overlapping.
std::vector<Segment> BuildFirmwareImage(FirmwareFamily family, const FirmwareOptions& options);
// Intel HEX text of segments: type 04 records, data records that never cross a 64 KiB boundary,
// a type 05 start address and the end-of-file record.
std::string WriteIntelHex(const std::vector<Segment>& segments, std::uint8_t recordLength,
                          bool crLf, std::uint32_t startAddress);
std::string GenerateFirmwareHex(FirmwareFamily family, const FirmwareOptions& options);
std::string GenerateFirmwareHex(FirmwareFamily family, const SampleSizes& sizes,
                                std::uint32_t seed);

// Version block of 31 bytes: the version text, a build date and a build time, each closed with a
// zero byte (bytes 8, 21 and 30).
std::vector<std::uint8_t> MakeVersionBlock(const std::string& version, std::uint32_t seed);

// Variant ids of the sample parameter file: known ids of both pipette lines plus one unknown.
std::vector<std::uint16_t> DefaultVariantIds();
constexpr std::uint16_t kUnknownSampleVariant = 0x0777;
// A complete, valid variant parameter file with one record per id, in the given order.
std::vector<std::uint8_t> GenerateVariantFile(const std::vector<std::uint16_t>& ids,
                                              std::uint32_t seed);

// "Quorvan_OTG_V01.02.03.hex", "Tarnovelle_K7_V01.02.03.hex".
std::string FirmwareFileName(FirmwareFamily family, const std::string& version);
constexpr char kVariantFileName[] = "quorvan_variants.par";
constexpr char kIndexFileName[] = "files.txt";

struct SampleSetOptions {
    FirmwareOptions Firmware;  // Sizes ignored when UseSizeClass is set
    bool UseSizeClass = true;
    SizeClass Size = SizeClass::Tiny;
    bool BootloaderLarge = false;
    bool WithQuorvan = true;
    bool WithTarnovelle = true;
    bool WithVariants = true;
};

// Writes files.txt, the firmware of the chosen families and the variant file into directory
// (which must exist). Returns an empty text on success, else what failed.
std::string WriteSampleSet(const std::string& directory, const SampleSetOptions& options);

// The sizes a sample set uses for a family (size class or explicit sizes, large bootloader).
SampleSizes ResolveSizes(const SampleSetOptions& options, FirmwareFamily family);

}  // namespace veltrin::sample
