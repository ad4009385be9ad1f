#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "data/clintelhex.h"
#include "engine/clthread.h"
#include "engine/cltoolstextconvert.h"
#include "engine/parallelprobe.h"
#include "engine/runevents.h"
#include "engine/threadparams.h"
#include "protocol/clconnectpipetten.h"
#include "transport/runinhibitor.h"

namespace veltrin {

class ClProtocol;

// The update worker behind ClTread. Its operations are split by concern over several files:
// clthread.cpp (frame, events, trace, life cycle), clthread_search.cpp, clthread_inhibit.cpp and
// clthread_sequence.cpp. What it does with the pipette it found is UpdateSequence's, on a
// PipetteDevice; both reach the run's events through RunEvents.
//
// Every operation below runs on the worker thread except the constructor, ReleaseWorkerObjects
// and Terminate. Tests may construct a worker without starting it and call its operations from
// their own thread; the events still go through the dispatcher.
class ClTreadImpl final : public ClTread, public RunEvents {
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
    void SetTotalMax(std::int32_t n) override;
    void SetTotalPosition(std::int32_t n) override;
    void StepTotal(std::int32_t n) override;
    void SetActionMax(std::int32_t n) override;
    void SetActionPosition(std::int32_t n) override;
    void ShowTitle(const std::string& text) override;
    void ShowAction(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    void ReportEnd(std::int32_t code, const std::string& text);
    void ReportDevice() override;
    void ReportVariant(std::int32_t variantId) override;
    bool LookupVariant(std::int32_t variantId, std::uint8_t configImage[kConfigImageSize],
                       std::uint8_t paramImage[kParamImageSize]) override;

    // Trace: nothing while TraceEnabled is false.
    bool Tracing() const override { return TraceEnabled; }
    void Trace(const std::string& text) override;
    void TraceTimed(const std::string& text) override;
    void TraceBlankLine() override;
    void TraceSeparator();
    void AnnounceStep(const std::string& text) override;

    // Every pause of the run goes through the settings' sleeper.
    void Sleep(std::uint32_t milliseconds) override;

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

    // False where the settings made no command set: such a worker is never run.
    bool HasConnection() const { return connection_ != nullptr; }

    // For tests of the building blocks: the worker's command set and HEX reader.
    ClConnectPipetten& Connection() { return *connection_; }
    ClIntelHex* HexReader() { return hexReader_.get(); }
    TSThreadParams& Params() override { return params_; }

    bool TraceEnabled = false;

private:
    template <typename Handler>
    void Deliver(Handler handler);
    void ExecuteGuarded();

    UpdateThreadOwner& owner_;
    Dispatcher& dispatcher_;
    UpdateThreadSettings settings_;
    std::atomic<bool> terminated_{false};
    std::thread thread_;

    std::unique_ptr<ClToolsTextConvert> textConvert_;
    std::unique_ptr<ClIntelHex> hexReader_;
    std::unique_ptr<ClConnectPipetten> connection_;
    std::unique_ptr<ClProtocol> trace_;
    TSThreadParams params_;
    // The lock of the device's port, from the search that found it to the end of the update.
    std::unique_ptr<PortLock> portLock_;
    // Holds off shutdown, log-off and sleep for as long as the port lock is held.
    std::unique_ptr<RunInhibitor> inhibitor_;
};

}  // namespace veltrin
