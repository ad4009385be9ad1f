// Firmware that must not be installed, and the bootloader version of a large bootloader.
#include <gtest/gtest.h>

#include <functional>

#include "engine/updateresult.h"
#include "simharness.h"

namespace veltrin {
namespace {

using testing_support::EngineRun;
using testing_support::EventKind;

struct BadFirmware {
    const char* Name;
    int DeviceType;
    std::function<std::string()> Hex;
    int Expected;
};

std::string Damaged(FirmwareFamily family,
                    const std::function<void(sample::FirmwareOptions&)>& spoil) {
    auto options = testing_support::SmallFirmware();
    spoil(options);
    return testing_support::FirmwareHex(family, options);
}

class BadFirmwareTest : public testing::TestWithParam<BadFirmware> {};

TEST_P(BadFirmwareTest, IsRefusedBeforeAnyQuestionOrWrite) {
    const BadFirmware& c = GetParam();
    PipetteSimulator sim(testing_support::FastSim(c.DeviceType, 1));
    ASSERT_EQ(sim.Start(), 0);
    EngineRun run;
    // The window's own check would have refused these; the worker must not rely on it.
    const std::string hex = c.Hex();
    run.Owner.HexQuorvanOtg = hex;
    run.Owner.VersionQuorvanOtg = "Version 01.02.03";
    run.Owner.HexTarnovelleK7 = hex;
    run.Owner.VersionTarnovelleK7 = "Version 01.02.03";
    run.WatchedPath = sim.DevicePath();
    run.Run({sim.PortName()});

    EXPECT_EQ(run.End().Value, c.Expected);
    EXPECT_EQ(run.End().Text, "");
    EXPECT_TRUE(run.Owner.Texts(EventKind::AskYesNo).empty());
    EXPECT_TRUE(sim.State().RecordWrites.empty());
    EXPECT_TRUE(sim.WrittenBlocks().empty());
    EXPECT_EQ(run.OpenAtEnd, 1);
    EXPECT_EQ(run.TemporaryFilesAtEnd, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Images, BadFirmwareTest,
    testing::Values(
        BadFirmware{"OtherFamilysIdentifier", 9,
                    [] {
                        return Damaged(FirmwareFamily::QuorvanOtg,
                                       [](auto& o) { o.Identifier = kTarnovelleK7Identifier; });
                    },
                    kUpdateWrongIdentifier},
        BadFirmware{"OtherFamilysImage", 6,
                    [] {
                        return testing_support::FirmwareHex(FirmwareFamily::QuorvanOtg,
                                                            testing_support::SmallFirmware());
                    },
                    kUpdateWrongIdentifier},
        BadFirmware{"NoSoundsForTheElectronicPipette", 10,
                    [] {
                        return Damaged(FirmwareFamily::QuorvanOtg,
                                       [](auto& o) { o.Omit = sample::PART_SOUNDS; });
                    },
                    kUpdateFirmwareIncomplete},
        BadFirmware{"VersionBlocksDiffer", 6,
                    [] {
                        return Damaged(FirmwareFamily::TarnovelleK7,
                                       [](auto& o) { o.DataVersion = "01.02.04"; });
                    },
                    kUpdateFirmwareIncomplete},
        BadFirmware{"NoFonts", 9,
                    [] {
                        return Damaged(FirmwareFamily::QuorvanOtg,
                                       [](auto& o) { o.Omit = sample::PART_FONTS; });
                    },
                    kUpdateFirmwareIncomplete},
        BadFirmware{"BootloaderVersionUnreadable", 7,
                    [] {
                        return Damaged(FirmwareFamily::TarnovelleK7,
                                       [](auto& o) { o.Omit = sample::PART_BOOT_VERSION; });
                    },
                    kUpdateFirmwareIncomplete},
        // Only identifier and version blocks: nothing that could run would be installed.
        BadFirmware{"NoApplicationCode", 6,
                    [] {
                        return Damaged(FirmwareFamily::TarnovelleK7,
                                       [](auto& o) { o.Omit = sample::PART_APP_BODY; });
                    },
                    kUpdateFirmwareIncomplete},
        BadFirmware{"NotIntelHex", 9, [] { return std::string(":10000000zz\r\nrubbish\r\n"); },
                    kUpdateHexInvalid},
        BadFirmware{"ChecksumBroken", 6,
                    [] {
                        std::string hex = testing_support::FirmwareHex(
                            FirmwareFamily::TarnovelleK7, testing_support::SmallFirmware());
                        const auto line = hex.find("\n:10") + 1;
                        hex[line + 9] = hex[line + 9] == '0' ? '1' : '0';
                        return hex;
                    },
                    kUpdateHexInvalid}),
    [](const testing::TestParamInfo<BadFirmware>& info) { return std::string(info.param.Name); });

TEST(LargeBootloaderTest, TakesItsVersionFromTheUpperBlock) {
    auto options = testing_support::SmallFirmware();
    options.Sizes.Bootloader = kLargeBootloaderThreshold + 0x4000;
    options.BootVersion = "03.04.05";
    PipetteSimulator sim(testing_support::FastSim(6, 2));
    ASSERT_EQ(sim.Start(), 0);
    EngineRun run;
    run.GiveFirmware(FirmwareFamily::TarnovelleK7,
                     testing_support::FirmwareHex(FirmwareFamily::TarnovelleK7, options));
    run.Run({sim.PortName()});

    ASSERT_EQ(run.End().Value, kUpdateOk);
    const SimDeviceState state = sim.State();
    EXPECT_EQ(state.BootSize(), options.Sizes.Bootloader);
    const auto upper = sim.ReadMemory(MEM_EXT_FLASH, 0x00727F80, 31);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(upper.data())), "03.04.05");
    EXPECT_TRUE(std::equal(upper.begin(), upper.end(), state.BootRecord.begin()));
    // The lower block's place holds bootloader code, not a version.
    const auto lower = sim.ReadMemory(MEM_EXT_FLASH, 0x0071FF80, 31);
    EXPECT_FALSE(std::equal(lower.begin(), lower.end(), state.BootRecord.begin()));
}

TEST(UnknownVariantTest, ParametersStayButTheApplicationStarts) {
    // 0x0120 is a known variant id the sample parameter file does not hold.
    SimOptions options = testing_support::FastSim(9, 1);
    options.VariantId = 0x0120;
    PipetteSimulator sim(options);
    ASSERT_EQ(sim.Start(), 0);
    const auto configBefore = sim.State().ConfigRecord;
    EngineRun run;
    run.GiveFirmware(
        FirmwareFamily::QuorvanOtg,
        testing_support::FirmwareHex(FirmwareFamily::QuorvanOtg, testing_support::SmallFirmware()));
    run.Run({sim.PortName()});

    EXPECT_EQ(run.End().Value, kUpdateOk);
    EXPECT_FALSE(run.End().Terminated);
    EXPECT_EQ(run.End().Text, "Update Quorvan/plus Version 01.02.03");
    EXPECT_EQ(run.Owner.Values(EventKind::LookupVariant), std::vector<std::int32_t>{0x0120});
    const SimDeviceState state = sim.State();
    EXPECT_EQ(state.ConfigRecord, configBefore);
    for (const auto& write : state.RecordWrites) {
        EXPECT_EQ(write.Command, CMD_WRITE_BOOT_RECORD);
    }
    EXPECT_EQ(state.Restarts, 3u);
}

TEST(VariantRestoreTest, DeviceRecordGetsTheVariantFoundInTheConfiguration) {
    SimOptions options = testing_support::FastSim(9, 1);
    options.VariantId = 0xB550;
    PipetteSimulator sim(options);
    sim.EditState([](SimDeviceState& s) {
        s.DeviceRecord[0] = 0x77;
        s.DeviceRecord[1] = 0x07;
    });
    ASSERT_EQ(sim.Start(), 0);
    EngineRun run;
    run.GiveFirmware(
        FirmwareFamily::QuorvanOtg,
        testing_support::FirmwareHex(FirmwareFamily::QuorvanOtg, testing_support::SmallFirmware()));
    run.Run({sim.PortName()});
    EXPECT_EQ(run.End().Value, kUpdateOk);
    EXPECT_EQ(sim.State().DeviceRecordVariant(), 0xB550);
    EXPECT_EQ(sim.State().ConfigRecordVariant(), 0xB550);
}

}  // namespace
}  // namespace veltrin
