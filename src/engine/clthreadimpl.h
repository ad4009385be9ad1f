#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "data/clintelhex.h"
#include "data/firmwarelayout.h"
#include "engine/clthread.h"
#include "engine/cltoolstextconvert.h"
#include "engine/parallelprobe.h"
#include "engine/threadparams.h"
#include "protocol/clconnectpipetten.h"
#include "transport/runinhibitor.h"

namespace veltrin {

class ClProtocol;

// How UploadModule sends a module.
struct UploadOptions {
    bool BootMode = false;     // the bootloader runs: BeginUpload and SetProgress(0) go first
    std::uint32_t Offset = 0;  // added to the range's first address
    bool SkipFill = false;     // blocks of nothing but Fill are not sent (erased flash holds them)
    std::uint8_t Fill = 0xFF;
};

// The update worker behind ClTread. Its operations are split by concern over several files:
// clthread.cpp (frame, events, trace, life cycle), clthread_search.cpp, clthread_upload.cpp,
// clthread_bootrecord.cpp, clthread_sequence.cpp and clthread_restore.cpp.
//
// Every operation below runs on the worker thread except the constructor, ReleaseWorkerObjects
// and Terminate. Tests may construct a worker without starting it and call its operations from
// their own thread; the events still go through the dispatcher.
class ClTreadImpl final : public ClTread {
public:
    ClTreadImpl(UpdateThreadOwner& owner, Dispatcher& dispatcher, UpdateThreadSettings settings);
    ~ClTreadImpl() override;

    void Terminate() override;
    bool Terminated() const override;

    // Starts the worker thread on Execute; after Execute the termination handler is posted to
    // the owner's thread, which releases the objects, tells the owner and frees the worker.
    void Run();

    // The run: settings, device search, update sequence, end event.
    void Execute();
    void ConfigureConnection();
    int RunUpdate(const std::string& port, std::string& endText);

    // Owner's thread, after Execute has returned: destroys the owned objects.
    void ReleaseWorkerObjects();

    // Events: each stores its argument in Params and returns after the owner's handler ran.
    void FetchParams();
    void SetTotalMax(std::int32_t n);
    void SetTotalPosition(std::int32_t n);
    void StepTotal(std::int32_t n);
    void SetActionMax(std::int32_t n);
    void SetActionPosition(std::int32_t n);
    void ShowTitle(const std::string& text);
    void ShowAction(const std::string& text);
    bool AskYesNo(const std::string& text);
    void ReportEnd(std::int32_t code, const std::string& text);
    void ReportDevice();
    bool LookupVariant(std::int32_t variantId, std::uint8_t configImage[kConfigImageSize],
                       std::uint8_t paramImage[kParamImageSize]);

    // Trace: nothing while TraceEnabled is false.
    void Trace(const std::string& text);
    void TraceTimed(const std::string& text);
    void TraceBlankLine();
    void TraceSeparator();
    // Blank line, separator, the step text, separator.
    void AnnounceStep(const std::string& text);

    // Device search.
    void SelectPort(const std::string& name);
    int SearchDevice(int& type, std::string& port);
    // What each port (names trimmed) answered, one after the other or all at once; the action
    // bar advances by one per finished probe either way. Ports another run holds are left alone.
    std::vector<PortProbe> ProbePortsInTurn(const std::vector<std::string>& names);
    std::vector<PortProbe> ProbePortsTogether(const std::vector<std::string>& names);
    // The shared probe on the worker's own connection; the lock is kept where a supported
    // pipette answered.
    PortProbe ProbePortClaimed(const std::string& name);
    // Asks the system to stay up for the run; a run without that promise goes on, and says so.
    void InhibitSessionEnd();

    // Module upload.
    int UploadModule(std::FILE* file, std::uint16_t memoryType, const TSHexRange& range,
                     const UploadOptions& options);
    int WriteBytes(bool bootMode, std::uint16_t memoryType, std::uint32_t address,
                   const std::uint8_t* bytes, std::uint32_t count);
    int WriteImage(bool bootMode, std::uint16_t memoryType, std::uint32_t address,
                   std::span<const std::uint8_t> image, std::uint32_t start, std::uint32_t length,
                   bool skipFill, std::uint8_t fill);
    static bool IsFillBlock(std::span<const std::uint8_t> image, std::uint32_t offset,
                            std::uint32_t count, std::uint8_t fill);

    // Boot record: read, change, write back. 0, 33 (read failed) or 34 (write failed).
    int InvalidateBootloader();
    int ValidateBootloader(std::uint32_t size, const std::uint8_t* versionBlock);
    int SetStayInBootloader();
    int SetStartApplication();

    void WaitWithCountdown(std::uint16_t seconds);
    // Reads the variant id from the device's records and reports it to the owner when known.
    int ReadVariantId(std::int32_t& variantId);
    int ReadKnownVariantId(std::int32_t& variantId);

    // The parameter restore of the electronic pipette after its final restart.
    int RestoreVariantParameters(std::int32_t& variantId);
    int WriteVariantParameters(std::int32_t& variantId);

    // For tests of the building blocks: the worker's device object.
    ClConnectPipetten& Device() { return *device_; }
    ClIntelHex* HexReader() { return hexReader_.get(); }
    TSThreadParams& Params() { return params_; }

    bool TraceEnabled = false;

private:
    template <typename Handler>
    void Deliver(Handler handler);
    void Sleep(std::uint32_t milliseconds);
    int ChangeBootRecord(void (*change)(std::uint8_t* record, std::uint32_t size,
                                        const std::uint8_t* version),
                         std::uint32_t size, const std::uint8_t* version);
    void ExecuteGuarded();

    UpdateThreadOwner& owner_;
    Dispatcher& dispatcher_;
    UpdateThreadSettings settings_;
    std::atomic<bool> terminated_{false};
    std::thread thread_;

    std::unique_ptr<ClToolsTextConvert> textConvert_;
    std::unique_ptr<ClIntelHex> hexReader_;
    std::unique_ptr<ClConnectPipetten> device_;
    std::unique_ptr<ClProtocol> trace_;
    TSThreadParams params_;
    // The lock of the device's port, from the search that found it to the end of the update.
    std::unique_ptr<PortLock> portLock_;
    // Holds off shutdown, log-off and sleep for as long as the port lock is held.
    std::unique_ptr<RunInhibitor> inhibitor_;
};

}  // namespace veltrin
