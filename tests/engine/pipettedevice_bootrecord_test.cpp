// The boot record switches, the variant id search and the restart countdown.
#include <gtest/gtest.h>

#include <functional>

#include "connectedworker.h"
#include "engine/updateresult.h"

namespace veltrin {
namespace {

using testing_support::ConnectedWorker;
using testing_support::EventKind;

constexpr std::uint32_t kA5 = 0xA5A5A5A5;
constexpr std::uint32_t k5A = 0x5A5A5A5A;

struct BootRecordCase {
    const char* Name;
    std::function<int(PipetteDevice&)> Operation;
    std::function<void(const SimDeviceState&)> Check;
};

class BootRecordTest : public testing::TestWithParam<BootRecordCase> {};

TEST_P(BootRecordTest, ChangesOnlyItsFieldsAndKeepsEveryOtherByte) {
    PipetteSimulator sim(testing_support::FastSim(9, 1));
    ASSERT_EQ(sim.Start(), 0);
    const auto before = sim.State().BootRecord;
    ConnectedWorker w(sim);
    ASSERT_EQ(GetParam().Operation(*w.Device), kUpdateOk);
    const SimDeviceState state = sim.State();
    GetParam().Check(state);
    // Bytes 31, 36-47, 52-55 and 60-63 belong to the device.
    for (std::size_t i : {31, 36, 40, 44, 47, 52, 55, 60, 63}) {
        EXPECT_EQ(state.BootRecord[i], before[i]) << i;
    }
}

const std::uint8_t kVersion[31] = {'0', '2', '.', '0', '0', '.', '0', '1', 0, 'B', 0};

INSTANTIATE_TEST_SUITE_P(
    Operations, BootRecordTest,
    testing::Values(BootRecordCase{"InvalidateBootloader",
                                   [](PipetteDevice& w) { return w.InvalidateBootloader(); },
                                   [](const SimDeviceState& s) {
                                       EXPECT_EQ(s.BootState(), k5A);
                                       EXPECT_EQ(s.BootSize(), 0u);
                                       for (int i = 0; i < 31; ++i)
                                           EXPECT_EQ(s.BootRecord[i], 0) << i;
                                       EXPECT_EQ(s.AppState(), kA5);
                                   }},
                    BootRecordCase{
                        "ValidateBootloader",
                        [](PipetteDevice& w) { return w.ValidateBootloader(0x12345, kVersion); },
                        [](const SimDeviceState& s) {
                            EXPECT_EQ(s.BootState(), kA5);
                            EXPECT_EQ(s.BootSize(), 0x12345u);
                            EXPECT_TRUE(std::equal(kVersion, kVersion + 31, s.BootRecord.begin()));
                        }},
                    BootRecordCase{"SetStayInBootloader",
                                   [](PipetteDevice& w) { return w.SetStayInBootloader(); },
                                   [](const SimDeviceState& s) {
                                       EXPECT_EQ(s.AppState(), k5A);
                                       EXPECT_EQ(s.BootState(), kA5);
                                   }},
                    BootRecordCase{"SetStartApplication",
                                   [](PipetteDevice& w) {
                                       const int stay = w.SetStayInBootloader();
                                       return stay != 0 ? stay : w.SetStartApplication();
                                   },
                                   [](const SimDeviceState& s) { EXPECT_EQ(s.AppState(), kA5); }}),
    [](const testing::TestParamInfo<BootRecordCase>& info) {
        return std::string(info.param.Name);
    });

struct VariantCase {
    const char* Name;
    std::uint16_t Device, Config, Param;
    int Expected;
    std::int32_t ExpectedId;
    std::size_t Reads;
};

class ReadVariantIdTest : public testing::TestWithParam<VariantCase> {};

TEST_P(ReadVariantIdTest, TakesTheFirstKnownIdOfTheThreeRecords) {
    const VariantCase& c = GetParam();
    PipetteSimulator sim(testing_support::FastSim(9, 1));
    sim.EditState([&c](SimDeviceState& s) {
        s.DeviceRecord[0] = c.Device & 0xFF;
        s.DeviceRecord[1] = c.Device >> 8;
        s.ConfigRecord[0] = c.Config & 0xFF;
        s.ConfigRecord[1] = c.Config >> 8;
        s.ParamRecord[0] = c.Param & 0xFF;
        s.ParamRecord[1] = c.Param >> 8;
    });
    ASSERT_EQ(sim.Start(), 0);
    ConnectedWorker w(sim);
    std::int32_t id = -1;
    EXPECT_EQ(w.Device->ReadVariantId(id), c.Expected);
    EXPECT_EQ(id, c.ExpectedId);
    EXPECT_EQ(sim.Requests().size(), c.Reads);
}

INSTANTIATE_TEST_SUITE_P(
    Records, ReadVariantIdTest,
    testing::Values(VariantCase{"InTheDeviceRecord", 0x0130, 0x0000, 0x0000, kUpdateOk, 0x0130, 1},
                    VariantCase{"InTheConfigRecord", 0x0777, 0xB550, 0x0000, kUpdateOk, 0xB550, 2},
                    VariantCase{"InTheParamRecord", 0x0000, 0x1234, 0x0810, kUpdateOk, 0x0810, 3},
                    VariantCase{"Nowhere", 0x0777, 0x0000, 0xFFFF, kUpdateNoKnownVariant, 0, 3}),
    [](const testing::TestParamInfo<VariantCase>& info) { return std::string(info.param.Name); });

TEST(WaitWithCountdownTest, CountsDownEverySecondWithTheSameWording) {
    PipetteSimulator sim(testing_support::FastSim(9, 1));
    ASSERT_EQ(sim.Start(), 0);
    ConnectedWorker w(sim);
    w.Device->WaitWithCountdown(10);
    std::vector<std::string> texts;
    for (int n = 10; n >= 1; --n) {
        texts.push_back("Update will continue in " + std::to_string(n) + " seconds ...");
    }
    EXPECT_EQ(w.Owner.Texts(EventKind::ShowAction), texts);
    EXPECT_EQ(w.Owner.Values(EventKind::SetActionMax), std::vector<std::int32_t>{10});
    EXPECT_EQ(w.Owner.Values(EventKind::SetActionPosition),
              (std::vector<std::int32_t>{0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(w.Sleeps.Count(1000), 10u);
}

TEST(WaitWithCountdownTest, AStopEndsItWithinOneSecond) {
    PipetteSimulator sim(testing_support::FastSim(9, 1));
    ASSERT_EQ(sim.Start(), 0);
    ConnectedWorker w(sim);
    w.Owner.OnEvent = [&w](const testing_support::RecordedEvent& event) {
        if (event.Text == "Update will continue in 8 seconds ...")
            w.Worker->Terminate();
    };
    w.Device->WaitWithCountdown(10);
    EXPECT_EQ(w.Owner.Texts(EventKind::ShowAction).size(), 3u);
    EXPECT_EQ(w.Sleeps.Count(1000), 3u);
}

}  // namespace
}  // namespace veltrin
