// Whole update runs against the simulated pipette over a real pseudo-terminal, checked against
// what the device received.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "engine/updateresult.h"
#include "simharness.h"

namespace veltrin {
namespace {

using testing_support::EngineRun;
using testing_support::EventKind;

constexpr std::uint32_t kA5 = 0xA5A5A5A5;
// The application module runs from the first code byte to the end of the version block.
constexpr std::uint32_t kApplicationModuleSize = 0x080FFF1E - 0x08010000 + 1;

struct RunCase {
    const char* Name;
    FirmwareFamily Family;
    int DeviceType;
    int Mode;
};

class WholeRunTest : public testing::TestWithParam<RunCase> {};

std::uint32_t Marker(const std::vector<std::uint8_t>& record, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4 && offset + i < record.size(); ++i)
        value |= std::uint32_t{record[offset + i]} << (8 * i);
    return value;
}

// What the device went through, in the order it arrived: each boot record write named by the
// marker it changed, "module" for each upload (it begins with ReadMemoryInfo), "restart".
std::vector<std::string> BootRecordStory(const PipetteSimulator& sim,
                                         const SimDeviceState& before,
                                         const SimDeviceState& after) {
    std::vector<std::vector<std::uint8_t>> written;
    for (const auto& write : after.RecordWrites) {
        if (write.Command == CMD_WRITE_BOOT_RECORD)
            written.push_back(write.Data);
    }
    std::vector<std::uint8_t> last(before.BootRecord.begin(), before.BootRecord.end());
    std::size_t next = 0;
    std::vector<std::string> story;
    for (const auto& request : sim.Requests()) {
        if (request.Outcome != SimOutcome::Answered)
            continue;
        if (request.Command == CMD_READ_MEMORY_INFO) {
            story.push_back("module");
        } else if (request.Command == CMD_RESTART_DEVICE) {
            story.push_back("restart");
        } else if (request.Command == CMD_WRITE_BOOT_RECORD && next < written.size()) {
            const auto& record = written[next++];
            std::string change;
            if (Marker(record, kBootStateOffset) != Marker(last, kBootStateOffset))
                change += Marker(record, kBootStateOffset) == kA5 ? "bootloader valid"
                                                                  : "bootloader invalid";
            if (Marker(record, kAppStateOffset) != Marker(last, kAppStateOffset))
                change += Marker(record, kAppStateOffset) == kA5 ? "start application"
                                                                 : "stay in bootloader";
            story.push_back(change.empty() ? "boot record unchanged" : change);
            last = record;
        }
    }
    return story;
}

bool IsQuorvan(const RunCase& c) {
    return c.Family == FirmwareFamily::QuorvanOtg;
}

// The progress a device shows for one module: 0 at its start, then the percentage whenever it
// has grown by more than 10 points since the last one shown.
std::vector<std::uint16_t> ModuleProgress(std::uint32_t size, std::uint32_t block) {
    std::vector<std::uint16_t> values{0};
    std::uint64_t last = 0;
    for (std::uint64_t position = 0; position < size;) {
        position = std::min<std::uint64_t>(position + block, size);
        const std::uint64_t percent = position * 100 / size;
        if (percent > last + 10) {
            last = percent;
            values.push_back(static_cast<std::uint16_t>(percent));
        }
    }
    return values;
}

TEST_P(WholeRunTest, InstallsEveryModuleAndStartsTheApplication) {
    const RunCase& c = GetParam();
    const auto options = testing_support::SmallFirmware();
    const auto segments = sample::BuildFirmwareImage(c.Family, options);
    TSHexRange ranges[kFirmwareRangeCount];
    PrepareImage(c.Family, ranges);

    PipetteSimulator sim(testing_support::FastSim(c.DeviceType, c.Mode));
    ASSERT_EQ(sim.Start(), 0);
    const SimDeviceState before = sim.State();
    EngineRun run;
    run.GiveFirmware(c.Family, testing_support::FirmwareHex(c.Family, options));
    run.WatchedPath = sim.DevicePath();
    run.Run({sim.PortName()});

    const std::string label = IsQuorvan(c) ? "Quorvan/plus" : "Tarnovelle K7/K7x";
    const std::string title = "Update " + label + " Version 01.02.03";
    EXPECT_EQ(run.End().Value, kUpdateOk);
    EXPECT_FALSE(run.End().Terminated);
    EXPECT_EQ(run.End().Text, title);
    EXPECT_EQ(run.OpenAtEnd, 1) << "only the simulator's own end may be open";
    EXPECT_EQ(run.Owner.Texts(EventKind::ShowTitle),
              (std::vector<std::string>{"Update " + label + " ...", title}));
    // The owner learns the device: where it was found, its own texts from before the update
    // and, for the electronic pipette, its variant (from the bootloader only after the update).
    const auto reports = run.Owner.DeviceReports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports.front().Port, sim.PortName());
    EXPECT_TRUE(reports.front().InfoText.empty());
    const TSDeviceReport& device = reports.back();
    EXPECT_EQ(device.Port, sim.PortName());
    EXPECT_EQ(device.DeviceType, c.DeviceType);
    EXPECT_EQ(device.InfoText, "Pipette simulator");
    EXPECT_EQ(device.VersionText0, "01.00.00 Application 20240101");
    EXPECT_EQ(device.VersionText1, "01.00.00 Bootloader 20240101");
    EXPECT_EQ(device.HasVariantId, IsQuorvan(c));
    EXPECT_EQ(device.VariantId, IsQuorvan(c) ? 0x0130 : 0);

    // The firmware is newer than the device's 01.00.00: only the user-data question.
    EXPECT_EQ(run.Owner.Texts(EventKind::AskYesNo),
              std::vector<std::string>{
                  "! Adjustments and other user data will be deleted.\n\nStart Update?"});

    // Module texts, in order.
    const int moduleCount = IsQuorvan(c) ? 6 : 5;
    std::vector<std::string> moduleTexts;
    for (const auto& text : run.Owner.Texts(EventKind::ShowAction)) {
        if (text.rfind("Update module ", 0) == 0)
            moduleTexts.push_back(text);
    }
    ASSERT_EQ(moduleTexts.size(), static_cast<std::size_t>(moduleCount));
    for (int k = 1; k <= moduleCount; ++k) {
        EXPECT_EQ(moduleTexts[k - 1],
                  "Update module " + std::to_string(k) + "/" + std::to_string(moduleCount));
    }

    // Modules in order, each at its range's first data address, in the right memory.
    std::vector<std::pair<int, int>> expected = {{RANGE_BOOTLOADER, MEM_EXT_FLASH},
                                                 {RANGE_DATA_VERSION, MEM_EXT_FLASH}};
    if (IsQuorvan(c))
        expected.push_back({RANGE_SOUNDS, MEM_EXT_FLASH});
    expected.push_back({RANGE_FONTS, MEM_EXT_FLASH});
    expected.push_back({RANGE_TEXTS, MEM_EXT_FLASH});
    expected.push_back({RANGE_APPLICATION, MEM_INT_FLASH});
    const auto modules = testing_support::ReceivedModules(sim);
    ASSERT_EQ(modules.size(), expected.size());
    for (std::size_t m = 0; m < modules.size(); ++m) {
        SCOPED_TRACE(m);
        const TSHexRange& range = ranges[expected[m].first];
        EXPECT_EQ(modules[m].MemoryType, expected[m].second);
        EXPECT_GE(modules[m].FirstAddress(), range.StartAddress);
        EXPECT_LE(modules[m].FirstAddress(), range.EndAddress);
        // The bootloader is written before the restart, the rest in the bootloader.
        EXPECT_EQ(modules[m].Mode, m == 0 ? c.Mode : 2);
        for (const auto& block : modules[m].Blocks)
            EXPECT_LE(block.Count, 4096);
    }
    EXPECT_EQ(modules[1].Bytes(), 31u);

    // Every byte of the image is in the device, at its address.
    for (const auto& segment : segments) {
        const int memory = segment.Address >= 0x08000000 ? MEM_INT_FLASH : MEM_EXT_FLASH;
        const auto stored = sim.ReadMemory(memory, segment.Address,
                                           static_cast<std::uint32_t>(segment.Bytes.size()));
        EXPECT_TRUE(stored == segment.Bytes) << std::hex << segment.Address;
    }
    // Blocks of only 0xFF of the application never travel: the fill block inside the body and
    // the empty stretch up to the trailer.
    const SimMemory flash = sim.Memory(MEM_INT_FLASH);
    EXPECT_FALSE(flash.IsWritten(0x08011000));
    EXPECT_FALSE(flash.IsWritten(0x08013000));
    for (const auto& block : sim.WrittenBlocks()) {
        if (block.MemoryType != MEM_INT_FLASH)
            continue;
        EXPECT_FALSE(std::all_of(block.Data.begin(), block.Data.end(),
                                 [](std::uint8_t b) { return b == 0xFF; }))
            << std::hex << block.Address;
    }

    ASSERT_TRUE(sim.WaitForState([](const SimDeviceState& s) { return !s.Restarting; },
                                 std::chrono::seconds(5)));
    const SimDeviceState state = sim.State();
    EXPECT_EQ(state.Mode, 1);
    EXPECT_EQ(state.ApplicationSizes, std::vector<std::uint32_t>{3 * 4096});
    EXPECT_EQ(state.BootState(), kA5);
    EXPECT_EQ(state.AppState(), kA5);
    EXPECT_EQ(state.BootSize(), options.Sizes.Bootloader);
    const auto bootVersion =
        sim.ReadMemory(MEM_EXT_FLASH, ranges[RANGE_BOOT_VERSION_SMALL].StartAddress, 31);
    EXPECT_TRUE(std::equal(bootVersion.begin(), bootVersion.end(), state.BootRecord.begin()));
    EXPECT_EQ(state.UpdateSuccessShown, 1u);
    EXPECT_EQ(state.UpdateFailedSignalled, 0u);
    EXPECT_EQ(state.BeginUploads, static_cast<std::uint32_t>(moduleCount - (c.Mode == 1 ? 1 : 0)));

    // Progress on the device: 0, then steps of more than 10 points per module.
    std::vector<std::uint16_t> progress;
    auto add = [&progress](const std::vector<std::uint16_t>& values) {
        progress.insert(progress.end(), values.begin(), values.end());
    };
    if (c.Mode == 2)
        add(ModuleProgress(options.Sizes.Bootloader, 4096));
    add({0, 100});  // the data version block
    if (IsQuorvan(c))
        add(ModuleProgress(options.Sizes.Sounds, 4096));
    add({0, 40, 81, 100});  // fonts of 10000 bytes
    add(ModuleProgress(options.Sizes.Texts, 4096));
    add({0});  // before the application size
    add(ModuleProgress(kApplicationModuleSize, 4096));
    EXPECT_EQ(state.Progress, progress);

    // Overall progress: bytes of all modules, starting at 5 %, back to 0 at the end.
    const std::int64_t total = options.Sizes.Bootloader + 31 + options.Sizes.Fonts +
                               options.Sizes.Texts + (IsQuorvan(c) ? options.Sizes.Sounds : 0) +
                               kApplicationModuleSize;
    EXPECT_EQ(run.Owner.Values(EventKind::SetTotalMax),
              (std::vector<std::int32_t>{100, static_cast<std::int32_t>(total)}));
    EXPECT_EQ(run.Owner.Values(EventKind::SetTotalPosition),
              (std::vector<std::int32_t>{0, 1, static_cast<std::int32_t>(total / 20), 0}));
    EXPECT_EQ(run.Owner.Sum(EventKind::StepTotal), total);

    // Restarts: into the bootloader (from the application only), into the application, and
    // for the electronic pipette once more after its parameters are back.
    const std::uint32_t restarts = (c.Mode == 1 ? 1 : 0) + 1 + (IsQuorvan(c) ? 1 : 0);
    EXPECT_EQ(state.Restarts, restarts);
    EXPECT_EQ(run.Sleeps.Count(1000), (restarts - 1) * 10u);

    if (IsQuorvan(c)) {
        TSClQuorvanVariants_ParamRecord variant{};
        ASSERT_TRUE(testing_support::SampleVariants().FindVariant(0x0130, variant));
        const auto images = testing_support::ImagesOf(variant);
        const auto& config = images.Config;
        const auto& param = images.Param;
        EXPECT_TRUE(std::equal(config.begin(), config.end(), state.ConfigRecord.begin()));
        EXPECT_TRUE(std::equal(param.begin(), param.end(), state.ParamRecord.begin()));
        EXPECT_EQ(state.DeviceRecordVariant(), 0x0130);
        EXPECT_EQ(run.Owner.Values(EventKind::LookupVariant), std::vector<std::int32_t>{0x0130});
    } else {
        EXPECT_TRUE(run.Owner.Values(EventKind::LookupVariant).empty());
    }
    for (const auto& write : state.RecordWrites) {
        EXPECT_NE(write.Command, CMD_WRITE_DEVICE_RECORD) << "the device record kept its variant";
    }

    // The boot record decides what the device starts after a power cut, so its writes must
    // frame the uploads: the old bootloader is marked invalid before a byte of the new one
    // goes out and valid only once all of it is in; the device is told to stay in the
    // bootloader before the restart that leaves the application; the application is marked
    // startable only after its last block.
    std::vector<std::string> expectedStory = {"bootloader invalid", "module", "bootloader valid"};
    if (c.Mode == 1) {
        expectedStory.push_back("stay in bootloader");
        expectedStory.push_back("restart");
    }
    for (int m = 1; m < moduleCount; ++m)  // data version block, data modules, application
        expectedStory.push_back("module");
    expectedStory.push_back("start application");
    expectedStory.push_back("restart");
    if (IsQuorvan(c))
        expectedStory.push_back("restart");  // after the variant parameters are back
    EXPECT_EQ(BootRecordStory(sim, before, state), expectedStory);
}

INSTANTIATE_TEST_SUITE_P(
    Families, WholeRunTest,
    testing::Values(RunCase{"QuorvanFromApplication", FirmwareFamily::QuorvanOtg, 10, 1},
                    RunCase{"QuorvanFromBootloader", FirmwareFamily::QuorvanOtg, 9, 2},
                    RunCase{"TarnovelleFromApplication", FirmwareFamily::TarnovelleK7, 6, 1},
                    RunCase{"TarnovelleFromBootloader", FirmwareFamily::TarnovelleK7, 7, 2}),
    [](const testing::TestParamInfo<RunCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace veltrin
