#include "simharness.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "engine/updateresult.h"
#include "workerrun.h"

namespace veltrin::testing_support {

SleepFunction SleepLog::Sleeper() {
    return [this](std::uint32_t milliseconds) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requested_.push_back(milliseconds);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(std::uint64_t{milliseconds} *
                                                              RealMicrosecondsPerMillisecond));
    };
}

std::vector<std::uint32_t> SleepLog::Requested() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requested_;
}

std::uint64_t SleepLog::Count(std::uint32_t milliseconds) {
    std::uint64_t count = 0;
    for (std::uint32_t requested : Requested()) {
        if (requested == milliseconds)
            ++count;
    }
    return count;
}

SimOptions FastSim(int deviceType, int mode) {
    SimOptions options;
    options.DeviceType = deviceType;
    options.Mode = mode;
    options.RestartSilenceMs = 30;
    return options;
}

sample::FirmwareOptions SmallFirmware() {
    sample::FirmwareOptions options;
    options.Sizes.Sounds = 3000;
    options.Sizes.Fonts = 10000;
    options.Sizes.Texts = 5000;
    options.Sizes.Bootloader = 6000;
    options.Sizes.Application = 3 * 4096;  // code, a block of 0xFF, code
    options.Version = "01.02.03";
    return options;
}

std::string FirmwareHex(FirmwareFamily family, const sample::FirmwareOptions& options) {
    return sample::GenerateFirmwareHex(family, options);
}

const ClQuorvanVariants& SampleVariants() {
    static const ClQuorvanVariants variants = [] {
        const auto file = sample::GenerateVariantFile(sample::DefaultVariantIds(), 7);
        MemoryByteSource source(file.data(), file.size());
        ClQuorvanVariants loaded;
        loaded.Load(source);
        return loaded;
    }();
    return variants;
}

int OpenDescriptors(const std::string& devicePath) {
    int count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        std::error_code linkError;
        const auto target = std::filesystem::read_symlink(entry.path(), linkError);
        if (!linkError && target == devicePath)
            ++count;
    }
    return count;
}

int OpenTemporaryFiles() {
    int count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        std::error_code linkError;
        const std::string target = std::filesystem::read_symlink(entry.path(), linkError);
        const std::string deleted = " (deleted)";
        // A simulator keeps the slaves of its unplugged ptys open, and their device nodes are
        // gone too; only regular files are temporary files.
        std::error_code typeError;
        if (!linkError && target.size() > deleted.size() &&
            target.compare(target.size() - deleted.size(), deleted.size(), deleted) == 0 &&
            std::filesystem::is_regular_file(entry.path(), typeError)) {
            ++count;
        }
    }
    return count;
}

std::uint64_t ReceivedModule::Bytes() const {
    std::uint64_t bytes = 0;
    for (const auto& block : Blocks)
        bytes += block.Count;
    return bytes;
}

std::vector<ReceivedModule> ReceivedModules(const PipetteSimulator& sim) {
    std::vector<ReceivedModule> modules;
    for (const auto& request : sim.Requests()) {
        if (request.Outcome != SimOutcome::Answered)
            continue;
        if (request.Command == CMD_READ_MEMORY_INFO) {
            modules.emplace_back();
            modules.back().Mode = request.Mode;
        } else if (request.Command == CMD_WRITE_MEMORY && !modules.empty() &&
                   request.Head.size() >= 20) {
            const auto& h = request.Head;
            TSMemoryBlock block;
            block.Address = static_cast<std::uint32_t>(h[12] | (h[13] << 8) | (h[14] << 16) |
                                                       (std::uint32_t{h[15]} << 24));
            block.Count = static_cast<std::uint16_t>(h[16] | (h[17] << 8));
            block.MemoryType = static_cast<std::uint16_t>(h[18] | (h[19] << 8));
            modules.back().MemoryType = block.MemoryType;
            modules.back().Blocks.push_back(block);
        }
    }
    return modules;
}

VariantImages ImagesOf(const TSClQuorvanVariants_ParamRecord& variant) {
    static_assert(sizeof(variant) >= kParamImageSize);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&variant);
    VariantImages images;
    std::memcpy(images.Config.data(), bytes, images.Config.size());
    std::memcpy(images.Param.data(), bytes + sizeof(variant) - kParamImageSize,
                images.Param.size());
    return images;
}

bool LookupSampleVariant(TSThreadParams& params) {
    TSClQuorvanVariants_ParamRecord record{};
    if (!SampleVariants().FindVariant(params.VariantId, record))
        return false;
    const VariantImages images = ImagesOf(record);
    std::memcpy(params.DeviceParamsA, images.Config.data(), images.Config.size());
    std::memcpy(params.DeviceParamsB, images.Param.data(), images.Param.size());
    return true;
}

EngineRun::EngineRun() {
    Owner.Lookup = &LookupSampleVariant;
}

void EngineRun::GiveFirmware(FirmwareFamily family, const std::string& hex) {
    if (family == FirmwareFamily::QuorvanOtg) {
        Owner.HexQuorvanOtg = hex;
        Owner.VersionQuorvanOtg = "Version " + CheckDownloadedFirmware(family, hex);
    } else {
        Owner.HexTarnovelleK7 = hex;
        Owner.VersionTarnovelleK7 = "Version " + CheckDownloadedFirmware(family, hex);
    }
}

void EngineRun::Run(const std::vector<std::string>& ports) {
    auto previous = Owner.OnEvent;
    Owner.OnEvent = [this, previous](const RecordedEvent& event) {
        if (event.Kind == EventKind::ReportEnd) {
            if (!WatchedPath.empty())
                OpenAtEnd = OpenDescriptors(WatchedPath);
            TemporaryFilesAtEnd = OpenTemporaryFiles();
        }
        if (previous)
            previous(event);
    };
    UpdateThreadSettings settings;
    settings.Sleeper = Sleeps.Sleeper();
    settings.OverridePorts = true;
    settings.Ports = ports;
    settings.ProbeAtOnce = ProbeAtOnce;
    settings.TraceFileName = "";
    RunWorkerToEnd(Owner, Dispatcher, settings);
}

const RecordedEvent& EngineRun::End() {
    static const RecordedEvent none;
    const RecordedEvent* end = Owner.Last(EventKind::ReportEnd);
    return end != nullptr ? *end : none;
}

}  // namespace veltrin::testing_support
