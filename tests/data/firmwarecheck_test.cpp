#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <utility>

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

// The shared rules alone: the identifier rule is the callers' only difference.
TEST_P(FirmwareCheckTest, TheSharedRulesGiveEachCallersVerdictByItsIdentifierRule) {
    const CheckCase& c = GetParam();
    FirmwareOptions options = TinyOptions(c.Family);
    if (c.Damage)
        c.Damage(options);
    const std::string text = GenerateFirmwareHex(c.Family, options);
    for (const IdentifierMatch match : {IdentifierMatch::Exact, IdentifierMatch::Trimmed}) {
        TSHexRange ranges[kFirmwareRangeCount];
        FirmwareBuffers buffers;
        PrepareImage(c.Family, ranges);
        buffers.Attach(ranges);
        ClIntelHex hex;
        ASSERT_EQ(hex.ScanRanges(text, ranges, kFirmwareRangeCount), HEX_OK);
        int failedRange = -1;
        const DownloadCheckStep step =
            CheckScannedFirmware(c.Family, ranges, buffers, match, &failedRange);
        if (match == IdentifierMatch::Exact) {
            EXPECT_EQ(step, c.DownloadStep);
            EXPECT_EQ(failedRange, c.FailedRange);
        } else {
            const int verdict = step == DownloadCheckStep::Passed       ? FIRMWARE_OK
                                : step == DownloadCheckStep::Identifier ? FIRMWARE_WRONG_IDENTIFIER
                                                                        : FIRMWARE_INCOMPLETE;
            EXPECT_EQ(verdict, c.WorkerResult);
        }
    }
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

// Where each part of a firmware lies in the devices' memories, written down once by hand: the
// firmware check, the upload and the sample images all take the ranges from PrepareImage, so
// only a table of its own catches a wrong address there.
TEST(FirmwareLayout, EveryRangeOfBothFamiliesAsTheDevicesExpectIt) {
    struct Range {
        std::uint32_t Start, End;
    };
    const Range quorvan[kFirmwareRangeCount] = {
        {0x000000, 0x3FFFBF},         {0x3FFFC0, 0x3FFFFF},         {0x400000, 0x4FFFFF},
        {0x500000, 0x6FFFFF},         {0x700080, 0x72807F},         {0x71FF80, 0x71FF9E},
        {0x727F80, 0x727F9E},         {0x08010000, 0x080FFFFF},     {0x08010000, 0x080FFDFF},
        {0x080FFE00, 0x080FFE13},     {0x080FFF00, 0x080FFF1E}};
    const Range tarnovelle[kFirmwareRangeCount] = {
        {0x000000, 0x000000},         {0x202C00, 0x202C1F},         {0x202C20, 0x302C1F},
        {0x302C20, 0x6FFFFF},         {0x700080, 0x72807F},         {0x71FF80, 0x71FF9E},
        {0x727F80, 0x727F9E},         {0x08010000, 0x080FFFFF},     {0x08010000, 0x080FFDFF},
        {0x080FFE00, 0x080FFE13},     {0x080FFF00, 0x080FFF1E}};
    for (const auto& [family, expected] : {std::pair{Q, quorvan}, std::pair{T, tarnovelle}}) {
        TSHexRange ranges[kFirmwareRangeCount];
        PrepareImage(family, ranges);
        for (int entry = 0; entry < kFirmwareRangeCount; ++entry) {
            EXPECT_EQ(ranges[entry].StartAddress, expected[entry].Start)
                << (family == Q ? "Quorvan" : "Tarnovelle") << " entry " << entry;
            EXPECT_EQ(ranges[entry].EndAddress, expected[entry].End)
                << (family == Q ? "Quorvan" : "Tarnovelle") << " entry " << entry;
        }
    }
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
