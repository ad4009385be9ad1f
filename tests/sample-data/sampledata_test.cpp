#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "data/clquorvanvariants.h"
#include "data/firmwarecheck.h"
#include "sampledata.h"

using namespace veltrin;
using namespace veltrin::sample;

namespace {

constexpr auto Q = FirmwareFamily::QuorvanOtg;
constexpr auto T = FirmwareFamily::TarnovelleK7;

struct LayoutCase {
    FirmwareFamily Family;
    SizeClass Size;
    bool LargeBootloader;
};

class SampleLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

// Every module lies in its own range with exactly the requested size, and the image passes both
// firmware checks.
TEST_P(SampleLayoutTest, ModulesFillTheirRangesAndTheImagePasses) {
    const LayoutCase& c = GetParam();
    FirmwareOptions options;
    options.Sizes = SizesFor(c.Size, c.Family);
    if (c.LargeBootloader)
        options.Sizes.Bootloader = 0x20000 + 0x1000;
    options.Seed = 7;
    const std::string text = GenerateFirmwareHex(c.Family, options);

    TSHexRange ranges[kFirmwareRangeCount];
    FirmwareBuffers buffers;
    PrepareImage(c.Family, ranges);
    buffers.Attach(ranges);
    ClIntelHex hex;
    ASSERT_EQ(hex.ScanRanges(text, ranges, kFirmwareRangeCount), HEX_OK);
    EXPECT_EQ(ClIntelHex::GetDataSize(ranges[RANGE_SOUNDS]),
              c.Family == Q ? options.Sizes.Sounds : 0);
    EXPECT_EQ(ClIntelHex::GetDataSize(ranges[RANGE_FONTS]), options.Sizes.Fonts);
    EXPECT_EQ(ClIntelHex::GetDataSize(ranges[RANGE_TEXTS]), options.Sizes.Texts);
    EXPECT_EQ(ClIntelHex::GetDataSize(ranges[RANGE_BOOTLOADER]), options.Sizes.Bootloader);
    EXPECT_EQ(ClIntelHex::GetDataSize(ranges[RANGE_APPLICATION_BODY]), options.Sizes.Application);
    EXPECT_EQ(ClIntelHex::GetDataSize(ranges[RANGE_DATA_VERSION]), kVersionBlockSize);
    EXPECT_EQ(ClIntelHex::GetDataSize(ranges[RANGE_APP_VERSION]), kVersionBlockSize);
    const int bootEntry = c.LargeBootloader || options.Sizes.Bootloader > kLargeBootloaderThreshold
                              ? RANGE_BOOT_VERSION_LARGE
                              : RANGE_BOOT_VERSION_SMALL;
    EXPECT_EQ(ClIntelHex::GetDataSize(ranges[bootEntry]), kVersionBlockSize);
    EXPECT_EQ(CheckFirmwareForUpdate(c.Family, ranges, buffers), FIRMWARE_OK);
    EXPECT_EQ(CheckDownloadedFirmware(c.Family, text), "01.02.03");

    // The application carries a stretch of only 0xFF that the upload can skip.
    std::vector<std::uint8_t> application;
    ASSERT_EQ(hex.ExtractRange(application, text, ranges[RANGE_APPLICATION]), HEX_OK);
    ASSERT_GE(application.size(), 3u * 4096);
    EXPECT_TRUE(std::all_of(application.begin() + 4096, application.begin() + 8192,
                            [](std::uint8_t b) { return b == 0xFF; }));
    EXPECT_FALSE(std::all_of(application.begin(), application.begin() + 4096,
                             [](std::uint8_t b) { return b == 0xFF; }));
}

std::string LayoutName(const ::testing::TestParamInfo<LayoutCase>& info) {
    static const char* const kSizes[] = {"Tiny", "Small", "Medium", "Full"};
    const LayoutCase& c = info.param;
    return std::string(c.Family == Q ? "Quorvan" : "Tarnovelle") +
           kSizes[static_cast<int>(c.Size)] + (c.LargeBootloader ? "LargeBootloader" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, SampleLayoutTest,
    ::testing::Values(LayoutCase{Q, SizeClass::Tiny, false}, LayoutCase{T, SizeClass::Tiny, false},
                      LayoutCase{Q, SizeClass::Tiny, true}, LayoutCase{T, SizeClass::Small, true},
                      LayoutCase{Q, SizeClass::Small, false}, LayoutCase{T, SizeClass::Full, false},
                      LayoutCase{Q, SizeClass::Full, false}),
    LayoutName);

TEST(SampleFirmware, SameSeedSameTextOtherSeedOtherBytes) {
    const SampleSizes sizes = SizesFor(SizeClass::Tiny, Q);
    const std::string first = GenerateFirmwareHex(Q, sizes, 5);
    EXPECT_EQ(first, GenerateFirmwareHex(Q, sizes, 5));
    EXPECT_NE(first, GenerateFirmwareHex(Q, sizes, 6));
}

TEST(SampleFirmware, TinyIsReallySmall) {
    for (auto family : {Q, T}) {
        const SampleSizes sizes = SizesFor(SizeClass::Tiny, family);
        EXPECT_LE(std::max({sizes.Sounds, sizes.Fonts, sizes.Texts, sizes.Bootloader}), 4096u);
        EXPECT_LT(GenerateFirmwareHex(family, sizes, 1).size(), 64u * 1024);
    }
}

TEST(SampleFirmware, FullSizesAreTheWholeRanges) {
    const SampleSizes sizes = SizesFor(SizeClass::Full, Q);
    EXPECT_EQ(sizes.Sounds, 0x3FFFC0u);
    EXPECT_EQ(sizes.Fonts, 0x100000u);
    EXPECT_EQ(sizes.Texts, 0x200000u);
    EXPECT_EQ(sizes.Bootloader, 0x28000u);
    EXPECT_EQ(sizes.Application, 0xEFE00u);
    EXPECT_EQ(SizesFor(SizeClass::Full, T).Sounds, 0u);
    EXPECT_EQ(SizesFor(SizeClass::Full, T).Texts, 0x3FD3E0u);
}

TEST(SampleVariants, FileLoadsWithKnownIdsAndOneUnknown) {
    const auto bytes = GenerateVariantFile(DefaultVariantIds(), 3);
    MemoryByteSource source(bytes.data(), bytes.size());
    ClQuorvanVariants variants;
    ASSERT_EQ(variants.Load(source), PAR_OK);
    EXPECT_EQ(variants.GetCount(), DefaultVariantIds().size());
    TSClQuorvanVariants_ParamRecord record;
    for (int id : {0x0130, 0x0810, 0xB550, int{kUnknownSampleVariant}}) {
        EXPECT_TRUE(variants.FindVariant(id, record)) << std::hex << id;
        EXPECT_EQ(record.VariantId, id);
    }
    EXPECT_EQ(bytes, GenerateVariantFile(DefaultVariantIds(), 3));
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(SampleSet, WritesIndexFirmwareAndVariants) {
    const auto directory = std::filesystem::path(::testing::TempDir()) / "veltrin-sample-set";
    std::filesystem::remove_all(directory);
    std::filesystem::create_directories(directory);
    SampleSetOptions options;
    options.Firmware.Version = "03.04.05";
    ASSERT_EQ(WriteSampleSet(directory.string(), options), "");

    EXPECT_EQ(ReadAll(directory / "files.txt"),
              "Quorvan_OTG_V03.04.05.hex\nTarnovelle_K7_V03.04.05.hex\nquorvan_variants.par\n");
    FirmwareOptions firmware = options.Firmware;
    firmware.Sizes = SizesFor(SizeClass::Tiny, T);
    EXPECT_EQ(ReadAll(directory / "Tarnovelle_K7_V03.04.05.hex"), GenerateFirmwareHex(T, firmware));
    EXPECT_EQ(CheckDownloadedFirmware(Q, ReadAll(directory / "Quorvan_OTG_V03.04.05.hex")),
              "03.04.05");
    std::filesystem::remove_all(directory);
}

}  // namespace
