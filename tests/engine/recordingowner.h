#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/clthread.h"
#include "engine/threadowner.h"

namespace veltrin::testing_support {

enum class EventKind {
    FetchParams,
    SetTotalMax,
    SetTotalPosition,
    StepTotal,
    SetActionMax,
    SetActionPosition,
    ShowTitle,
    ShowAction,
    AskYesNo,
    ReportEnd,
    LookupVariant,
    Ended,
};

struct RecordedEvent {
    EventKind Kind = EventKind::FetchParams;
    std::int32_t Value = 0;  // EventValue, ResultCode or VariantId
    std::string Text;
    bool Terminated = false;  // ReportEnd only
    std::thread::id Thread;
};

// An owner that records every event with the thread it ran on, answers questions from a
// script (Yes when the script is empty) and variant lookups through Lookup.
class RecordingOwner : public UpdateThreadOwner {
public:
    // Firmware handed out by FetchParams.
    std::string HexQuorvanOtg, VersionQuorvanOtg, HexTarnovelleK7, VersionTarnovelleK7;
    std::deque<bool> Answers;
    // Fills DeviceParamsA/B for VariantId and says whether it was found; null finds nothing.
    std::function<bool(TSThreadParams&)> Lookup;
    // Runs inside every handler, after the event was recorded (e.g. to stop the worker).
    std::function<void(const RecordedEvent&)> OnEvent;
    std::atomic<ClTread*> Worker{nullptr};

    void ThreadFetchParams(TSThreadParams& params) override;
    void ThreadSetTotalMax(TSThreadParams& params) override;
    void ThreadSetTotalPosition(TSThreadParams& params) override;
    void ThreadStepTotal(TSThreadParams& params) override;
    void ThreadSetActionMax(TSThreadParams& params) override;
    void ThreadSetActionPosition(TSThreadParams& params) override;
    void ThreadShowTitle(TSThreadParams& params) override;
    void ThreadShowAction(TSThreadParams& params) override;
    void ThreadAskYesNo(TSThreadParams& params) override;
    void ThreadReportEnd(TSThreadParams& params, bool terminated) override;
    void ThreadLookupVariant(TSThreadParams& params) override;
    void ThreadReportDevice(TSThreadParams& params) override;
    void UpdateThreadEnded() override;

    // Blocks until UpdateThreadEnded has run.
    void WaitEnded();

    // Copies of what was recorded (safe after WaitEnded).
    std::vector<RecordedEvent> Events();
    std::vector<std::int32_t> Values(EventKind kind);
    std::vector<std::string> Texts(EventKind kind);
    const RecordedEvent* Last(EventKind kind);
    std::int64_t Sum(EventKind kind);
    // Every device report, in order; kept apart from Events so event sequences stay comparable.
    std::vector<TSDeviceReport> DeviceReports();
    // The ports the search found in use, as the end event had them.
    std::vector<TSBusyPort> BusyPorts();

private:
    void Record(EventKind kind, std::int32_t value = 0, std::string text = {},
                bool terminated = false);

    std::mutex mutex_;
    std::condition_variable ended_;
    bool isEnded_ = false;
    std::vector<RecordedEvent> events_;
    std::vector<TSDeviceReport> deviceReports_;
    std::vector<TSBusyPort> busyPorts_;
};

}  // namespace veltrin::testing_support
