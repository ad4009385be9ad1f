#include <cstring>
#include <exception>
#include <future>
#include <mutex>
#include <utility>
#include <vector>

#include "diagnostics/clprotocol.h"
#include "engine/clthreadimpl.h"
#include "engine/updateresult.h"

namespace veltrin {

namespace {

// Worker threads whose run has ended; joined before the next worker starts and at program end.
std::mutex finishedMutex;
std::vector<std::thread> finishedThreads;

}  // namespace

ClTread* ClTread::Start(UpdateThreadOwner& owner, Dispatcher& dispatcher,
                        UpdateThreadSettings settings) {
    JoinFinishedWorkers();
    ClTreadImpl* worker = nullptr;
    try {
        worker = new ClTreadImpl(owner, dispatcher, std::move(settings));
        if (!worker->HasConnection()) {
            delete worker;
            return nullptr;
        }
        worker->Run();
    } catch (...) {
        // No memory for the worker, or the system refused another thread (EAGAIN when the
        // process or user is at its thread limit): there is no run, and nothing will ever
        // free the worker but us. The owner learns it from the null result.
        delete worker;
        return nullptr;
    }
    return worker;
}

void ClTread::JoinFinishedWorkers() {
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(finishedMutex);
        threads.swap(finishedThreads);
    }
    for (auto& thread : threads) {
        if (thread.joinable())
            thread.join();
    }
}

ClTreadImpl::ClTreadImpl(UpdateThreadOwner& owner, Dispatcher& dispatcher,
                         UpdateThreadSettings settings)
    : owner_(owner), dispatcher_(dispatcher), settings_(std::move(settings)) {
    textConvert_ = std::make_unique<ClToolsTextConvert>();
    hexReader_ = std::make_unique<ClIntelHex>();
    if (settings_.MakeCommandSet)
        connection_ = settings_.MakeCommandSet();
    if (connection_ && settings_.Sleeper)
        connection_->SetSleeper(settings_.Sleeper);
    trace_ = std::make_unique<ClProtocol>();
    trace_->SetFileName(settings_.TraceFileName);
    trace_->Reset();
    TraceEnabled = settings_.Trace;
}

ClTreadImpl::~ClTreadImpl() = default;

void ClTreadImpl::Terminate() {
    terminated_.store(true);
}

bool ClTreadImpl::Terminated() const {
    return terminated_.load();
}

void ClTreadImpl::Run() {
    // The thread waits until thread_ is stored, so the termination handler never races with
    // this assignment.
    std::promise<void> stored;
    std::shared_future<void> go = stored.get_future().share();
    auto body = [this, go] {
        go.wait();
        ExecuteGuarded();
        // Nothing of this worker may be touched after Post: the handler frees it.
        dispatcher_.Post([this] {
            ReleaseWorkerObjects();
            {
                std::lock_guard<std::mutex> lock(finishedMutex);
                finishedThreads.push_back(std::move(thread_));
            }
            owner_.UpdateThreadEnded();
            delete this;
        });
    };
    thread_ = settings_.LaunchThread ? settings_.LaunchThread(body) : std::thread(body);
    stored.set_value();
}

void ClTreadImpl::ExecuteGuarded() {
    try {
        Execute();
    } catch (...) {
        // Execute reports its own end; this only catches what escaped the end event itself.
    }
}

void ClTreadImpl::ReleaseWorkerObjects() {
    textConvert_.reset();
    hexReader_.reset();
    connection_.reset();
    trace_.reset();
}

void ClTreadImpl::Sleep(std::uint32_t milliseconds) {
    if (settings_.Sleeper) {
        settings_.Sleeper(milliseconds);
    } else {
        SleepMilliseconds(milliseconds);
    }
}

template <typename Handler>
void ClTreadImpl::Deliver(Handler handler) {
    dispatcher_.RunAndWait([this, &handler] { handler(owner_, params_); });
}

void ClTreadImpl::FetchParams() {
    Deliver([](UpdateThreadOwner& owner, TSThreadParams& p) { owner.ThreadFetchParams(p); });
}

void ClTreadImpl::SetTotalMax(std::int32_t n) {
    params_.EventValue = n;
    Deliver([](UpdateThreadOwner& owner, TSThreadParams& p) { owner.ThreadSetTotalMax(p); });
}

void ClTreadImpl::SetTotalPosition(std::int32_t n) {
    params_.EventValue = n;
    Deliver([](UpdateThreadOwner& owner, TSThreadParams& p) { owner.ThreadSetTotalPosition(p); });
}

void ClTreadImpl::StepTotal(std::int32_t n) {
    params_.EventValue = n;
    Deliver([](UpdateThreadOwner& owner, TSThreadParams& p) { owner.ThreadStepTotal(p); });
}

void ClTreadImpl::SetActionMax(std::int32_t n) {
    params_.EventValue = n;
    Deliver([](UpdateThreadOwner& owner, TSThreadParams& p) { owner.ThreadSetActionMax(p); });
}

void ClTreadImpl::SetActionPosition(std::int32_t n) {
    params_.EventValue = n;
    Deliver([](UpdateThreadOwner& owner, TSThreadParams& p) { owner.ThreadSetActionPosition(p); });
}

void ClTreadImpl::ShowTitle(const std::string& text) {
    params_.EventText = text;
    Deliver([](UpdateThreadOwner& owner, TSThreadParams& p) { owner.ThreadShowTitle(p); });
}

void ClTreadImpl::ShowAction(const std::string& text) {
    params_.EventText = text;
    Deliver([](UpdateThreadOwner& owner, TSThreadParams& p) { owner.ThreadShowAction(p); });
}

bool ClTreadImpl::AskYesNo(const std::string& text) {
    params_.EventText = text;
    params_.EventAnswer = 0;
    Deliver([](UpdateThreadOwner& owner, TSThreadParams& p) { owner.ThreadAskYesNo(p); });
    return params_.EventAnswer != 0;
}

void ClTreadImpl::ReportEnd(std::int32_t code, const std::string& text) {
    params_.ResultCode = code;
    params_.EventText = text;
    const bool terminated = Terminated();
    Deliver([terminated](UpdateThreadOwner& owner, TSThreadParams& p) {
        owner.ThreadReportEnd(p, terminated);
    });
}

void ClTreadImpl::ReportDevice() {
    Deliver([](UpdateThreadOwner& owner, TSThreadParams& p) { owner.ThreadReportDevice(p); });
}

void ClTreadImpl::ReportVariant(std::int32_t variantId) {
    params_.Device.HasVariantId = true;
    params_.Device.VariantId = variantId;
    ReportDevice();
}

bool ClTreadImpl::LookupVariant(std::int32_t variantId, std::uint8_t configImage[kConfigImageSize],
                                std::uint8_t paramImage[kParamImageSize]) {
    params_.VariantId = variantId;
    params_.EventAnswer = 0;
    Deliver([](UpdateThreadOwner& owner, TSThreadParams& p) { owner.ThreadLookupVariant(p); });
    const bool found = params_.EventAnswer != 0;
    if (found) {
        std::memcpy(configImage, params_.DeviceParamsA, kConfigImageSize);
        std::memcpy(paramImage, params_.DeviceParamsB, kParamImageSize);
    } else {
        ClearDeviceRecordImages(configImage, paramImage);
    }
    return found;
}

void ClTreadImpl::Trace(const std::string& text) {
    if (TraceEnabled && trace_)
        trace_->WriteLine(text);
}

void ClTreadImpl::TraceTimed(const std::string& text) {
    if (TraceEnabled && trace_)
        trace_->WriteTimedLine(text);
}

void ClTreadImpl::TraceBlankLine() {
    if (TraceEnabled && trace_)
        trace_->WriteBlankLine();
}

void ClTreadImpl::TraceSeparator() {
    if (TraceEnabled && trace_)
        trace_->WriteSeparator();
}

void ClTreadImpl::AnnounceStep(const std::string& text) {
    TraceBlankLine();
    TraceSeparator();
    Trace(text);
    TraceSeparator();
}

}  // namespace veltrin
