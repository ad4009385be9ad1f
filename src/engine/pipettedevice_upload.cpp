#include "engine/pipettedevice.h"

#include <algorithm>
#include <new>
#include <vector>

#include "data/hexfault.h"
#include "engine/updateresult.h"

namespace veltrin {

namespace {

// The device status with which a memory says it gives no information about itself.
constexpr int kNoMemoryInfo = 0x60300A01;
constexpr std::uint32_t kDefaultBlockSize = 4096;
// Skipped blocks still advance the progress; a short pause keeps the display from racing through
// long empty stretches.
constexpr std::uint32_t kSkippedBlockPause = 20;
// Progress goes to the window and the device only when it has grown by more than this.
constexpr std::uint32_t kProgressStep = 10;

}  // namespace

int PipetteDevice::UploadModule(std::FILE* file, std::uint16_t memoryType, const TSHexRange& range,
                                const UploadOptions& options) {
    std::vector<std::uint8_t> image;
    try {
        std::uint32_t line = 0;
        const int extracted = hexReader_.ExtractRange(image, file, range, &line);
        if (extracted != 0) {
            events_.Trace("Intel HEX: " + DescribeHexFault(file, line, extracted));
            return kUpdateExtractFailed;
        }
    } catch (const std::bad_alloc&) {
        return kUpdateExtractFailed;
    }
    return WriteImage(options.BootMode, memoryType, range.DataStart + options.Offset, image, 0,
                      static_cast<std::uint32_t>(image.size()), options.SkipFill, options.Fill);
}

int PipetteDevice::WriteBytes(bool bootMode, std::uint16_t memoryType, std::uint32_t address,
                              const std::uint8_t* bytes, std::uint32_t count) {
    std::span<const std::uint8_t> image;
    if (bytes != nullptr)
        image = std::span<const std::uint8_t>(bytes, count);
    return WriteImage(bootMode, memoryType, address, image, 0, count, false, 0xFF);
}

bool PipetteDevice::IsFillBlock(std::span<const std::uint8_t> image, std::uint32_t offset,
                                std::uint32_t count, std::uint8_t fill) {
    if (image.size() < std::uint64_t{offset} + count)
        return false;
    const auto block = image.subspan(offset, count);
    return std::all_of(block.begin(), block.end(), [fill](std::uint8_t b) { return b == fill; });
}

int PipetteDevice::WriteImage(bool bootMode, std::uint16_t memoryType, std::uint32_t address,
                              std::span<const std::uint8_t> image, std::uint32_t start,
                              std::uint32_t length, bool skipFill, std::uint8_t fill) {
    if (image.empty())
        return kUpdateModuleEmpty;
    if (image.size() < std::uint64_t{start} + length)
        return kUpdateModuleTooShort;

    events_.SetActionPosition(0);
    events_.SetActionMax(100);
    if (bootMode) {
        if (connection_.BeginUpload() != 0)
            return kUpdateBeginUploadFailed;
        if (connection_.SetProgress(0) != 0)
            return kUpdateSetProgressFailed;
    }

    TSMemoryInfo info;
    const int infoResult = connection_.ReadMemoryInfo(&info, memoryType);
    if (infoResult == kNoMemoryInfo) {
        info = TSMemoryInfo{};
        info.LargestBlock = kDefaultBlockSize;
        info.MemoryType = memoryType;
    } else if (infoResult != 0) {
        return kUpdateReadMemoryInfoFailed;
    }
    // A memory that reports a largest block of 0 would never let the loop advance.
    std::uint32_t blockSize = std::min<std::uint32_t>(info.LargestBlock, kMaxMemoryBlock);
    if (blockSize == 0)
        blockSize = kDefaultBlockSize;

    const std::uint64_t end = std::uint64_t{start} + length;
    std::uint64_t position = start;
    std::uint64_t last = 0;
    while (!events_.Terminated() && position < end) {
        const auto count =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(end - position, blockSize));
        TSMemoryBlock block;
        block.Address = static_cast<std::uint32_t>(address + (position - start));
        block.Count = static_cast<std::uint16_t>(count);
        block.MemoryType = memoryType;

        if (skipFill && IsFillBlock(image, static_cast<std::uint32_t>(position), count, fill)) {
            events_.Sleep(kSkippedBlockPause);
        } else {
            if (events_.Tracing()) {
                events_.TraceTimed("schreibe in Speicher: " +
                                   connection_.GetMemoryBlockText(block, true));
            }
            const int result = connection_.WriteMemory(block, image.data(),
                                                       static_cast<std::uint32_t>(image.size()),
                                                       static_cast<std::uint32_t>(position));
            if (events_.Tracing()) {
                events_.TraceTimed(connection_.GetResultText(result, true));
                events_.TraceBlankLine();
            }
            if (result != 0)
                return kUpdateWriteMemoryFailed;
        }

        position += count;
        events_.StepTotal(static_cast<std::int32_t>(count));
        const std::uint64_t percent = position * 100 / end;
        if (percent > last + kProgressStep) {
            last = percent;
            events_.SetActionPosition(static_cast<std::int32_t>(percent));
            if (bootMode && connection_.SetProgress(static_cast<std::uint16_t>(percent)) != 0) {
                return kUpdateSetProgressFailed;
            }
        }
    }
    // A stop leaves the loop early and still succeeds: the caller checks Terminated.
    events_.SetActionPosition(100);
    return kUpdateOk;
}

}  // namespace veltrin
