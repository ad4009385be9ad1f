#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>

#include "data/firmwarecheck.h"
#include "data/firmwaretempfile.h"
#include "sampledata.h"

using namespace veltrin;
using namespace veltrin::sample;

namespace {

constexpr auto Q = FirmwareFamily::QuorvanOtg;
constexpr auto T = FirmwareFamily::TarnovelleK7;

struct CheckCase {
    const char* Name;
    FirmwareFamily Family;
    std::function<void(FirmwareOptions&)> Damage;
    int WorkerResult;
    DownloadCheckStep DownloadStep;
    int FailedRange = -1;
};

FirmwareOptions TinyOptions(FirmwareFamily family) {
    FirmwareOptions options;
    options.Sizes = SizesFor(SizeClass::Tiny, family);
    options.Seed = 42;
    options.Version = "02.10.07";
    return options;
}

int WorkerCheck(FirmwareFamily family, const std::string& hexText) {
    TSHexRange ranges[kFirmwareRangeCount];
    FirmwareBuffers buffers;
    PrepareImage(family, ranges);
    buffers.Attach(ranges);
    ClIntelHex hex;
    if (hex.ScanRanges(hexText, ranges, kFirmwareRangeCount) != HEX_OK)
        return 14;
    return CheckFirmwareForUpdate(family, ranges, buffers);
}

class FirmwareCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(FirmwareCheckTest, BothCallersJudgeTheGeneratedImage) {
    const CheckCase& c = GetParam();
    FirmwareOptions options = TinyOptions(c.Family);
    if (c.Damage)
        c.Damage(options);
    const std::string text = GenerateFirmwareHex(c.Family, options);

    EXPECT_EQ(WorkerCheck(c.Family, text), c.WorkerResult);
    const DownloadCheckOutcome outcome = EvaluateDownloadedFirmware(c.Family, text);
    EXPECT_EQ(outcome.Step, c.DownloadStep);
    EXPECT_EQ(outcome.FailedRange, c.FailedRange);
    const bool passes = c.DownloadStep == DownloadCheckStep::Passed;
    EXPECT_EQ(CheckDownloadedFirmware(c.Family, text), passes ? options.Version : "");
}

using Step = DownloadCheckStep;

INSTANTIATE_TEST_SUITE_P(
    Cases, FirmwareCheckTest,
    ::testing::Values(
        CheckCase{"QuorvanGood", Q, nullptr, FIRMWARE_OK, Step::Passed},
        CheckCase{"TarnovelleGood", T, nullptr, FIRMWARE_OK, Step::Passed},
        CheckCase{"QuorvanLargeBootloader", Q,
                  [](FirmwareOptions& o) { o.Sizes.Bootloader = 0x20001; }, FIRMWARE_OK,
                  Step::Passed},
        CheckCase{"TarnovelleSmallBootloaderAtItsLimit", T,
                  [](FirmwareOptions& o) { o.Sizes.Bootloader = 0x20000; }, FIRMWARE_OK,
                  Step::Passed},
        CheckCase{"OtherFamilysIdentifier", Q,
                  [](FirmwareOptions& o) { o.Identifier = kTarnovelleK7Identifier; },
                  FIRMWARE_WRONG_IDENTIFIER, Step::Identifier},
        CheckCase{"IdentifierThatOnlyBeginsRight", T,
                  [](FirmwareOptions& o) { o.Identifier = "Corvent-USB2"; },
                  FIRMWARE_WRONG_IDENTIFIER, Step::Identifier},
        // The worker compares trimmed texts, the download exact ones.
        CheckCase{"IdentifierWithBlanks", Q,
                  [](FirmwareOptions& o) { o.Identifier = " Quorvan-USB-OTG "; }, FIRMWARE_OK,
                  Step::Identifier},
        CheckCase{"IdentifierMissing", T, [](FirmwareOptions& o) { o.Omit = PART_IDENTIFIER; },
                  FIRMWARE_WRONG_IDENTIFIER, Step::Identifier},
        // Identifier is tested before completeness by both.
        CheckCase{"WrongIdentifierAndNoSounds", Q,
                  [](FirmwareOptions& o) {
                      o.Identifier = "Corvent-USB";
                      o.Omit = PART_SOUNDS;
                  },
                  FIRMWARE_WRONG_IDENTIFIER, Step::Identifier},
        CheckCase{"QuorvanWithoutSounds", Q, [](FirmwareOptions& o) { o.Omit = PART_SOUNDS; },
                  FIRMWARE_INCOMPLETE, Step::ModuleMissing, RANGE_SOUNDS},
        CheckCase{"TarnovelleIsNeverAskedForSounds", T,
                  [](FirmwareOptions& o) { o.Sizes.Sounds = 0; }, FIRMWARE_OK, Step::Passed},
        // Identifier and version trailer only, no application code.
        CheckCase{"NoApplicationBody", Q, [](FirmwareOptions& o) { o.Omit = PART_APP_BODY; },
                  FIRMWARE_INCOMPLETE, Step::ModuleMissing, RANGE_APPLICATION_BODY},
        CheckCase{"TarnovelleNoApplicationBody", T,
                  [](FirmwareOptions& o) { o.Omit = PART_APP_BODY; }, FIRMWARE_INCOMPLETE,
                  Step::ModuleMissing, RANGE_APPLICATION_BODY},
        CheckCase{"NoFonts", T, [](FirmwareOptions& o) { o.Omit = PART_FONTS; },
                  FIRMWARE_INCOMPLETE, Step::ModuleMissing, RANGE_FONTS},
        CheckCase{"NoTexts", Q, [](FirmwareOptions& o) { o.Omit = PART_TEXTS; },
                  FIRMWARE_INCOMPLETE, Step::ModuleMissing, RANGE_TEXTS},
        CheckCase{"NoBootloader", Q, [](FirmwareOptions& o) { o.Omit = PART_BOOTLOADER; },
                  FIRMWARE_INCOMPLETE, Step::ModuleMissing, RANGE_BOOTLOADER},
        CheckCase{"NoApplicationVersion", T, [](FirmwareOptions& o) { o.Omit = PART_APP_VERSION; },
                  FIRMWARE_INCOMPLETE, Step::VersionText, RANGE_APP_VERSION},
        CheckCase{"NoDataVersion", Q, [](FirmwareOptions& o) { o.Omit = PART_DATA_VERSION; },
                  FIRMWARE_INCOMPLETE, Step::VersionText, RANGE_DATA_VERSION},
        CheckCase{"SmallBootloaderWithoutVersion", Q,
                  [](FirmwareOptions& o) { o.Omit = PART_BOOT_VERSION; }, FIRMWARE_INCOMPLETE,
                  Step::VersionText, RANGE_BOOT_VERSION_SMALL},
        CheckCase{"LargeBootloaderWithoutVersion", T,
                  [](FirmwareOptions& o) {
                      o.Sizes.Bootloader = 0x24000;
                      o.Omit = PART_BOOT_VERSION;
                  },
                  FIRMWARE_INCOMPLETE, Step::VersionText, RANGE_BOOT_VERSION_LARGE},
        // The download tests sounds before the version texts; the worker tests them last.
        CheckCase{"NoSoundsAndNoBootVersion", Q,
                  [](FirmwareOptions& o) { o.Omit = PART_SOUNDS | PART_BOOT_VERSION; },
                  FIRMWARE_INCOMPLETE, Step::ModuleMissing, RANGE_SOUNDS},
        CheckCase{"DataVersionDiffers", Q, [](FirmwareOptions& o) { o.DataVersion = "02.10.06"; },
                  FIRMWARE_INCOMPLETE, Step::VersionMismatch},
        CheckCase{"MalformedVersionEverywhere", T, [](FirmwareOptions& o) { o.Version = "2.10.7"; },
                  FIRMWARE_INCOMPLETE, Step::VersionText, RANGE_APP_VERSION},
        CheckCase{"BootloaderVersionMayDiffer", Q,
                  [](FirmwareOptions& o) { o.BootVersion = "01.00.00"; }, FIRMWARE_OK,
                  Step::Passed}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(DownloadCheck, ABrokenRecordFailsTheScan) {
    std::string text = GenerateFirmwareHex(Q, TinyOptions(Q));
    text[text.find('\n') + 5] ^= 0x01;  // one digit of the second record
    const DownloadCheckOutcome outcome = EvaluateDownloadedFirmware(Q, text);
    EXPECT_EQ(outcome.Step, DownloadCheckStep::Scan);
    EXPECT_NE(outcome.ScanResult, HEX_OK);
    EXPECT_EQ(CheckDownloadedFirmware(Q, text), "");
}

TEST(DownloadCheck, BlankTextIsNoFirmware) {
    EXPECT_EQ(CheckDownloadedFirmware(Q, " \r\n"), "");
    EXPECT_EQ(EvaluateDownloadedFirmware(T, "").Step, DownloadCheckStep::Identifier);
}

TEST(FirmwareBuffers, IdentifierStopsAtByte19AndBootVersionFollowsBootloaderSize) {
    FirmwareBuffers buffers;
    std::memset(buffers.DeviceId, 'A', sizeof buffers.DeviceId);
    EXPECT_EQ(buffers.DeviceIdentifier(), std::string(19, 'A'));

    TSHexRange ranges[kFirmwareRangeCount];
    PrepareImageQuorvanOtg(ranges);
    TSHexRange& boot = ranges[RANGE_BOOTLOADER];
    boot.DataFound = 1;
    boot.DataStart = boot.StartAddress;
    boot.DataEnd = boot.StartAddress + kLargeBootloaderThreshold - 1;
    EXPECT_EQ(buffers.BootloaderVersion(ranges), buffers.BootVersionSmall);
    boot.DataEnd += 1;
    EXPECT_EQ(buffers.BootloaderVersion(ranges), buffers.BootVersionLarge);
}

TEST(FirmwareLayout, TrailerAndVersionBlocksLieInsideTheirModules) {
    for (auto family : {Q, T}) {
        TSHexRange ranges[kFirmwareRangeCount];
        ranges[3].DataFound = 1;  // leftovers are cleared
        PrepareImage(family, ranges);
        auto inside = [&](int inner, int outer) {
            return ranges[inner].StartAddress >= ranges[outer].StartAddress &&
                   ranges[inner].EndAddress <= ranges[outer].EndAddress;
        };
        EXPECT_TRUE(inside(RANGE_APPLICATION_BODY, RANGE_APPLICATION));
        EXPECT_TRUE(inside(RANGE_DEVICE_ID, RANGE_APPLICATION));
        EXPECT_TRUE(inside(RANGE_APP_VERSION, RANGE_APPLICATION));
        EXPECT_TRUE(inside(RANGE_BOOT_VERSION_SMALL, RANGE_BOOTLOADER));
        EXPECT_TRUE(inside(RANGE_BOOT_VERSION_LARGE, RANGE_BOOTLOADER));
        EXPECT_LT(ranges[RANGE_APPLICATION_BODY].EndAddress, ranges[RANGE_DEVICE_ID].StartAddress);
        for (const auto& range : ranges) {
            EXPECT_EQ(range.DataFound, 0);
            EXPECT_EQ(range.Buffer, nullptr);
        }
        const std::uint32_t dataVersionSize =
            ranges[RANGE_DATA_VERSION].EndAddress - ranges[RANGE_DATA_VERSION].StartAddress + 1;
        EXPECT_EQ(dataVersionSize, family == Q ? 64u : 32u);
    }
    TSHexRange ranges[kFirmwareRangeCount];
    PrepareImageTarnovelleK7(ranges);
    EXPECT_EQ(ranges[RANGE_SOUNDS].EndAddress, 0u);  // an empty slot
}

}  // namespace

namespace {

TEST(FirmwareTempFile, HoldsTheWholeTextUntilClosed) {
    const std::string text = GenerateFirmwareHex(Q, TinyOptions(Q));
    FirmwareTempFile file(text);
    ASSERT_NE(file.Get(), nullptr);
    std::string back(text.size() + 1, '\0');
    std::rewind(file.Get());
    EXPECT_EQ(std::fread(back.data(), 1, back.size(), file.Get()), text.size());
    back.resize(text.size());
    EXPECT_EQ(back, text);
    file.Close();
    EXPECT_EQ(file.Get(), nullptr);
}

}  // namespace
