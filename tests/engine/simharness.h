#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/sleeper.h"
#include "data/clquorvanvariants.h"
#include "data/firmwarelayout.h"
#include "engine/clthread.h"
#include "pipettesimulator.h"
#include "protocol/clconnectpipetten.h"
#include "recordingowner.h"
#include "sampledata.h"
#include "threaddispatcher.h"

namespace veltrin::testing_support {

// Every pause the worker asks for, sleeping only a hundredth of it: a 10 s countdown takes
// 100 ms, enough for a simulator's short restart silence to pass.
class SleepLog {
public:
    // Real microseconds slept per millisecond asked for; 0 only logs (for simulators whose
    // restart takes no time at all).
    std::uint32_t RealMicrosecondsPerMillisecond = 10;

    SleepFunction Sleeper();
    std::vector<std::uint32_t> Requested();
    std::uint64_t Count(std::uint32_t milliseconds);

private:
    std::mutex mutex_;
    std::vector<std::uint32_t> requested_;
};

// Simulator options for engine tests: a short restart silence the fast countdown outlasts.
SimOptions FastSim(int deviceType = 9, int mode = 1);

// Small firmware of the family with explicit module sizes (fonts of 10000 bytes give the
// worked progress example 40, 81, 100).
sample::FirmwareOptions SmallFirmware();
std::string FirmwareHex(FirmwareFamily family, const sample::FirmwareOptions& options);

// The sample variant table (0x0110, 0x0130, 0x0810, 0x1220, 0xA150, 0xB550, 0x0777).
const ClQuorvanVariants& SampleVariants();

// The two device record images the owner hands out for a variant. Their layout is the window's
// business; the worker only carries them to the device, so any bytes of the variant will do.
struct VariantImages {
    std::array<std::uint8_t, kConfigImageSize> Config{};
    std::array<std::uint8_t, kParamImageSize> Param{};
};
VariantImages ImagesOf(const TSClQuorvanVariants_ParamRecord& variant);
// The handler's lookup over SampleVariants.
bool LookupSampleVariant(TSThreadParams& params);

// How many descriptors of this process have the device path open.
int OpenDescriptors(const std::string& devicePath);

// How many anonymous temporary files (already unlinked) this process holds open.
int OpenTemporaryFiles();

// One module as the device received it: the WriteMemory blocks between two ReadMemoryInfo.
struct ReceivedModule {
    int MemoryType = -1;
    int Mode = 0;
    std::vector<TSMemoryBlock> Blocks;
    std::uint32_t FirstAddress() const { return Blocks.empty() ? 0 : Blocks.front().Address; }
    std::uint64_t Bytes() const;
};
std::vector<ReceivedModule> ReceivedModules(const PipetteSimulator& sim);

// A worker run against simulators: the owner, its dispatcher thread and the fast sleeper.
struct EngineRun {
    ThreadDispatcher Dispatcher;
    RecordingOwner Owner;
    SleepLog Sleeps;
    // Open descriptors of the watched device path, and open temporary files, when the end
    // event arrived.
    int OpenAtEnd = -1;
    int TemporaryFilesAtEnd = -1;
    std::string WatchedPath;
    // The search probes every port at once instead of one after the other.
    bool ProbeAtOnce = false;

    EngineRun();
    void GiveFirmware(FirmwareFamily family, const std::string& hex);
    void Run(const std::vector<std::string>& ports);
    const RecordedEvent& End();
};

}  // namespace veltrin::testing_support
