#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/clthread.h"
#include "windowlogic/mainwindowservices.h"

// A worker that does nothing by itself; the test plays the engine's part on the UI thread.
class FakeWorker : public veltrin::ClTread {
public:
    ~FakeWorker() override = default;
    void Terminate() override { ++TerminateCalls; }
    bool Terminated() const override { return TerminateCalls > 0; }
    int TerminateCalls = 0;
};

// A worker on its own thread that runs a script of events through the dispatcher, the way the
// engine does: every event waits for its handler on the UI thread; at the end the worker posts
// its end notification and frees itself there.
class ScriptedWorker : public veltrin::ClTread {
public:
    using Script = std::function<void(ScriptedWorker&)>;

    static ScriptedWorker* Start(veltrin::UpdateThreadOwner& owner, veltrin::Dispatcher& dispatcher,
                                 Script script) {
        auto* worker = new ScriptedWorker(owner, dispatcher);
        worker->thread_ = std::thread([worker, script = std::move(script)] {
            script(*worker);
            worker->dispatcher_.Post([worker] {
                worker->owner_.UpdateThreadEnded();
                worker->thread_.join();
                delete worker;
            });
        });
        return worker;
    }

    void Terminate() override { terminated_ = true; }
    bool Terminated() const override { return terminated_; }

    // Events, as the engine raises them.
    void Run(void (veltrin::UpdateThreadOwner::*handler)(veltrin::TSThreadParams&)) {
        dispatcher_.RunAndWait([this, handler] { (owner_.*handler)(Params); });
    }
    void Value(void (veltrin::UpdateThreadOwner::*handler)(veltrin::TSThreadParams&), int value) {
        Params.EventValue = value;
        Run(handler);
    }
    void Text(void (veltrin::UpdateThreadOwner::*handler)(veltrin::TSThreadParams&),
              const std::string& text) {
        Params.EventText = text;
        Run(handler);
    }
    bool Ask(const std::string& question) {
        Text(&veltrin::UpdateThreadOwner::ThreadAskYesNo, question);
        return Params.EventAnswer != 0;
    }
    bool Lookup(int variantId) {
        Params.VariantId = variantId;
        Run(&veltrin::UpdateThreadOwner::ThreadLookupVariant);
        return Params.EventAnswer != 0;
    }
    void ReportEnd(int code, const std::string& text) {
        Params.ResultCode = code;
        Params.EventText = text;
        dispatcher_.RunAndWait([this] { owner_.ThreadReportEnd(Params, terminated_); });
    }

    veltrin::TSThreadParams Params;

private:
    ScriptedWorker(veltrin::UpdateThreadOwner& owner, veltrin::Dispatcher& dispatcher)
        : owner_(owner), dispatcher_(dispatcher) {}
    ~ScriptedWorker() override = default;

    veltrin::UpdateThreadOwner& owner_;
    veltrin::Dispatcher& dispatcher_;
    std::atomic<bool> terminated_{false};
    std::thread thread_;
};

// The window's outside world for tests: scripted download results and fake workers.
struct FakeWorld {
    // One entry per download, in order; when none is left a download finds nothing.
    std::deque<veltrin::UpdateData> Downloads;
    int DownloadCalls = 0;
    // Runs inside each download after it announced "loading ..." on both labels.
    std::function<void()> DuringDownload;
    // Fills the variant table inside each download.
    std::function<void(veltrin::ClQuorvanVariants&)> LoadVariants;

    bool RefuseWorkers = false;
    // Null: FakeWorkers that the test drives. Set: each run is a ScriptedWorker with it.
    ScriptedWorker::Script WorkerScript;
    std::vector<std::unique_ptr<FakeWorker>> Workers;
    int StartCalls = 0;
    int JoinCalls = 0;

    FakeWorker* LastWorker() const { return Workers.empty() ? nullptr : Workers.back().get(); }

    veltrin::MainWindowServices Services() {
        veltrin::MainWindowServices services;
        services.Download = [this](veltrin::UpdateData& data, veltrin::ClQuorvanVariants& variants,
                                   const veltrin::DownloadLabelFunction& label) {
            ++DownloadCalls;
            label(veltrin::FirmwareFamily::QuorvanOtg, "loading ...");
            label(veltrin::FirmwareFamily::TarnovelleK7, "loading ...");
            if (DuringDownload) {
                DuringDownload();
            }
            variants.Clear();
            if (LoadVariants) {
                LoadVariants(variants);
            }
            if (!Downloads.empty()) {
                data = Downloads.front();
                Downloads.pop_front();
            }
        };
        services.StartWorker = [this](veltrin::UpdateThreadOwner& owner,
                                      veltrin::Dispatcher& dispatcher) -> veltrin::ClTread* {
            ++StartCalls;
            if (RefuseWorkers) {
                return nullptr;
            }
            if (WorkerScript) {
                return ScriptedWorker::Start(owner, dispatcher, WorkerScript);
            }
            Workers.push_back(std::make_unique<FakeWorker>());
            return Workers.back().get();
        };
        services.JoinWorkers = [this] { ++JoinCalls; };
        return services;
    }
};

inline veltrin::UpdateData Data(const std::string& versionQuorvan,
                                const std::string& versionTarnovelle) {
    veltrin::UpdateData data;
    if (!versionQuorvan.empty()) {
        data.HexQuorvanOtg = ":00000001FF\n";
        data.VersionQuorvanOtg = versionQuorvan;
    }
    if (!versionTarnovelle.empty()) {
        data.HexTarnovelleK7 = ":00000001FF\n";
        data.VersionTarnovelleK7 = versionTarnovelle;
    }
    return data;
}
