#include "recordingowner.h"

#include <cstring>

namespace veltrin::testing_support {

void RecordingOwner::Record(EventKind kind, std::int32_t value, std::string text, bool terminated) {
    RecordedEvent event;
    event.Kind = kind;
    event.Value = value;
    event.Text = std::move(text);
    event.Terminated = terminated;
    event.Thread = std::this_thread::get_id();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(event);
    }
    if (OnEvent)
        OnEvent(event);
}

void RecordingOwner::ThreadFetchParams(TSThreadParams& params) {
    params.HexQuorvanOtg = HexQuorvanOtg;
    params.VersionQuorvanOtg = VersionQuorvanOtg;
    params.HexTarnovelleK7 = HexTarnovelleK7;
    params.VersionTarnovelleK7 = VersionTarnovelleK7;
    Record(EventKind::FetchParams);
}

void RecordingOwner::ThreadSetTotalMax(TSThreadParams& params) {
    Record(EventKind::SetTotalMax, params.EventValue);
}

void RecordingOwner::ThreadSetTotalPosition(TSThreadParams& params) {
    Record(EventKind::SetTotalPosition, params.EventValue);
}

void RecordingOwner::ThreadStepTotal(TSThreadParams& params) {
    Record(EventKind::StepTotal, params.EventValue);
}

void RecordingOwner::ThreadSetActionMax(TSThreadParams& params) {
    Record(EventKind::SetActionMax, params.EventValue);
}

void RecordingOwner::ThreadSetActionPosition(TSThreadParams& params) {
    Record(EventKind::SetActionPosition, params.EventValue);
}

void RecordingOwner::ThreadShowTitle(TSThreadParams& params) {
    Record(EventKind::ShowTitle, 0, params.EventText);
}

void RecordingOwner::ThreadShowAction(TSThreadParams& params) {
    Record(EventKind::ShowAction, 0, params.EventText);
}

void RecordingOwner::ThreadAskYesNo(TSThreadParams& params) {
    bool answer = true;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!Answers.empty()) {
            answer = Answers.front();
            Answers.pop_front();
        }
    }
    params.EventAnswer = answer ? 1 : 0;
    Record(EventKind::AskYesNo, answer ? 1 : 0, params.EventText);
}

void RecordingOwner::ThreadReportEnd(TSThreadParams& params, bool terminated) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        busyPorts_ = params.BusyPorts;
    }
    Record(EventKind::ReportEnd, params.ResultCode, params.EventText, terminated);
}

void RecordingOwner::ThreadLookupVariant(TSThreadParams& params) {
    const bool found = Lookup && Lookup(params);
    if (!found) {
        std::memset(params.DeviceParamsA, 0, sizeof(params.DeviceParamsA));
        std::memset(params.DeviceParamsB, 0, sizeof(params.DeviceParamsB));
    }
    params.EventAnswer = found ? 1 : 0;
    Record(EventKind::LookupVariant, params.VariantId, found ? "found" : "");
}

void RecordingOwner::ThreadReportDevice(TSThreadParams& params) {
    std::lock_guard<std::mutex> lock(mutex_);
    deviceReports_.push_back(params.Device);
}

std::vector<TSDeviceReport> RecordingOwner::DeviceReports() {
    std::lock_guard<std::mutex> lock(mutex_);
    return deviceReports_;
}

void RecordingOwner::UpdateThreadEnded() {
    Record(EventKind::Ended);
    std::lock_guard<std::mutex> lock(mutex_);
    isEnded_ = true;
    ended_.notify_all();
}

void RecordingOwner::WaitEnded() {
    std::unique_lock<std::mutex> lock(mutex_);
    ended_.wait(lock, [this] { return isEnded_; });
}

std::vector<RecordedEvent> RecordingOwner::Events() {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

std::vector<std::int32_t> RecordingOwner::Values(EventKind kind) {
    std::vector<std::int32_t> values;
    for (const auto& event : Events()) {
        if (event.Kind == kind)
            values.push_back(event.Value);
    }
    return values;
}

std::vector<std::string> RecordingOwner::Texts(EventKind kind) {
    std::vector<std::string> texts;
    for (const auto& event : Events()) {
        if (event.Kind == kind)
            texts.push_back(event.Text);
    }
    return texts;
}

const RecordedEvent* RecordingOwner::Last(EventKind kind) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = events_.rbegin(); it != events_.rend(); ++it) {
        if (it->Kind == kind)
            return &*it;
    }
    return nullptr;
}

std::int64_t RecordingOwner::Sum(EventKind kind) {
    std::int64_t sum = 0;
    for (std::int32_t value : Values(kind))
        sum += value;
    return sum;
}

std::vector<TSBusyPort> RecordingOwner::BusyPorts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return busyPorts_;
}

}  // namespace veltrin::testing_support
