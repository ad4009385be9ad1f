// The building blocks of the upload against the simulated pipette: block sizes, progress on
// screen and on the device, skipped fill blocks, the boot record and the variant id.
#include <gtest/gtest.h>

#include <numeric>

#include "connectedworker.h"
#include "engine/updateresult.h"

namespace veltrin {
namespace {

using testing_support::ConnectedWorker;
using testing_support::EventKind;

std::vector<std::uint8_t> Pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return bytes;
}

std::vector<std::uint16_t> BlockCounts(const PipetteSimulator& sim) {
    std::vector<std::uint16_t> counts;
    for (const auto& block : sim.WrittenBlocks())
        counts.push_back(block.Count);
    return counts;
}

TEST(WriteImageTest, TenThousandBytesInBootloaderMode) {
    PipetteSimulator sim(testing_support::FastSim(9, 2));
    ASSERT_EQ(sim.Start(), 0);
    ConnectedWorker w(sim);
    ASSERT_EQ(w.OpenResult, 0);
    const auto image = Pattern(10000);

    EXPECT_EQ(w.Device->WriteImage(true, MEM_EXT_FLASH, 0x400000, image, 0, 10000, false, 0xFF),
              kUpdateOk);

    EXPECT_EQ(BlockCounts(sim), (std::vector<std::uint16_t>{4096, 4096, 1808}));
    EXPECT_EQ(sim.ReadMemory(MEM_EXT_FLASH, 0x400000, 10000), image);
    EXPECT_EQ(sim.State().Progress, (std::vector<std::uint16_t>{0, 40, 81, 100}));
    EXPECT_EQ(sim.State().BeginUploads, 1u);
    EXPECT_EQ(w.Owner.Values(EventKind::SetActionPosition),
              (std::vector<std::int32_t>{0, 40, 81, 100, 100}));
    EXPECT_EQ(w.Owner.Values(EventKind::SetActionMax), std::vector<std::int32_t>{100});
    EXPECT_EQ(w.Owner.Values(EventKind::StepTotal), (std::vector<std::int32_t>{4096, 4096, 1808}));
}

struct BlockSizeCase {
    const char* Name;
    std::uint16_t LargestBlock;
    bool NoMemoryInfo;
    std::uint16_t Expected;
};

class BlockSizeTest : public testing::TestWithParam<BlockSizeCase> {};

TEST_P(BlockSizeTest, BlocksAreAsLargeAsTheMemoryAllowsAndAtMost4096) {
    SimOptions options = testing_support::FastSim(6, 2);
    options.LargestBlock = GetParam().LargestBlock;
    options.NoMemoryInfo = GetParam().NoMemoryInfo;
    PipetteSimulator sim(options);
    ASSERT_EQ(sim.Start(), 0);
    ConnectedWorker w(sim);
    const auto image = Pattern(9000);
    EXPECT_EQ(w.Device->WriteImage(true, MEM_INT_FLASH, 0x08010000, image, 0, 9000, false, 0xFF),
              kUpdateOk);
    const auto counts = BlockCounts(sim);
    ASSERT_FALSE(counts.empty());
    for (std::size_t i = 0; i + 1 < counts.size(); ++i)
        EXPECT_EQ(counts[i], GetParam().Expected);
    EXPECT_LE(counts.back(), GetParam().Expected);
    EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), 0u), 9000u);
    EXPECT_EQ(sim.ReadMemory(MEM_INT_FLASH, 0x08010000, 9000), image);
}

INSTANTIATE_TEST_SUITE_P(Memories, BlockSizeTest,
                         testing::Values(BlockSizeCase{"Reported1024", 1024, false, 1024},
                                         BlockSizeCase{"Reported4096", 4096, false, 4096},
                                         BlockSizeCase{"LargerThanAMessage", 8192, false, 4096},
                                         BlockSizeCase{"ReportedZero", 0, false, 4096},
                                         BlockSizeCase{"NoMemoryInformation", 4096, true, 4096}),
                         [](const testing::TestParamInfo<BlockSizeCase>& info) {
                             return std::string(info.param.Name);
                         });

TEST(WriteImageTest, FillBlocksAreSkippedWithAPauseAndStillCounted) {
    PipetteSimulator sim(testing_support::FastSim(9, 2));
    ASSERT_EQ(sim.Start(), 0);
    ConnectedWorker w(sim);
    auto image = Pattern(12288);
    std::fill(image.begin() + 4096, image.begin() + 8192, 0xFF);

    EXPECT_EQ(w.Device->WriteImage(true, MEM_INT_FLASH, 0x08010000, image, 0, 12288, true, 0xFF),
              kUpdateOk);

    const auto blocks = sim.WrittenBlocks();
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].Address, 0x08010000u);
    EXPECT_EQ(blocks[1].Address, 0x08012000u);
    EXPECT_FALSE(sim.Memory(MEM_INT_FLASH).IsWritten(0x08011000));
    EXPECT_EQ(w.Sleeps.Count(20), 1u);
    EXPECT_EQ(w.Owner.Sum(EventKind::StepTotal), 12288);
    // Without skipping the same image travels whole.
    EXPECT_EQ(w.Device->WriteImage(true, MEM_INT_FLASH, 0x08010000, image, 0, 12288, false, 0xFF),
              kUpdateOk);
    EXPECT_EQ(sim.WrittenBlocks().size(), 5u);
}

TEST(WriteImageTest, RefusesImagesThatCannotHoldTheRange) {
    PipetteSimulator sim(testing_support::FastSim(9, 2));
    ASSERT_EQ(sim.Start(), 0);
    ConnectedWorker w(sim);
    const auto image = Pattern(100);
    EXPECT_EQ(w.Device->WriteImage(true, MEM_EXT_FLASH, 0, {}, 0, 0, false, 0xFF),
              kUpdateModuleEmpty);
    EXPECT_EQ(w.Device->WriteImage(true, MEM_EXT_FLASH, 0, image, 50, 51, false, 0xFF),
              kUpdateModuleTooShort);
    EXPECT_EQ(w.Device->WriteImage(true, MEM_EXT_FLASH, 0, image, 0xFFFFFFFF, 2, false, 0xFF),
              kUpdateModuleTooShort);
    EXPECT_TRUE(sim.WrittenBlocks().empty());
    EXPECT_EQ(sim.State().BeginUploads, 0u);
}

TEST(WriteImageTest, AStopEndsTheLoopEarlyAndStillSucceeds) {
    PipetteSimulator sim(testing_support::FastSim(9, 2));
    ASSERT_EQ(sim.Start(), 0);
    ConnectedWorker w(sim);
    sim.SetRequestListener([&w](const SimRequest& request) {
        if (request.Command == CMD_WRITE_MEMORY)
            w.Worker->Terminate();
    });
    const auto image = Pattern(10000);
    EXPECT_EQ(w.Device->WriteImage(true, MEM_EXT_FLASH, 0, image, 0, 10000, false, 0xFF),
              kUpdateOk);
    sim.SetRequestListener(nullptr);
    EXPECT_EQ(sim.WrittenBlocks().size(), 1u);
}

TEST(WriteImageTest, IsFillBlockNeedsTheWholeBlockInsideTheImage) {
    const std::vector<std::uint8_t> image = {0xFF, 0xFF, 0xFF, 0x00};
    EXPECT_TRUE(PipetteDevice::IsFillBlock(image, 0, 3, 0xFF));
    EXPECT_FALSE(PipetteDevice::IsFillBlock(image, 1, 3, 0xFF));
    EXPECT_FALSE(PipetteDevice::IsFillBlock(image, 2, 3, 0xFF));  // past the end
    EXPECT_TRUE(PipetteDevice::IsFillBlock(image, 3, 1, 0x00));
    EXPECT_FALSE(PipetteDevice::IsFillBlock(image, 0xFFFFFFFF, 2, 0xFF));
}

}  // namespace
}  // namespace veltrin
