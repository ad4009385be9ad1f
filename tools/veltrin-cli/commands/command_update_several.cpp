// update of several devices at once: one worker per port, each with its own connection,
// temporary file and trace file, all reporting to the main thread; a summary table at the end.

#include <algorithm>
#include <functional>
#include <iomanip>
#include <memory>
#include <string>
#include <vector>

#include "args/tracefilename.h"
#include "commands/commands.h"
#include "commands/devicesurvey.h"
#include "commands/probeconnection.h"
#include "commands/updaterun.h"
#include "commands/variantlookup.h"
#include "common/printabletext.h"
#include "common/texttrim.h"
#include "engine/clthread.h"
#include "engine/devicefamily.h"
#include "engine/updateresult.h"
#include "events/jsonevents.h"
#include "history/historyrecorder.h"
#include "output/endadvice.h"
#include "output/multiprogressview.h"
#include "owners/deviceowner.h"
#include "owners/jsoneventsowner.h"
#include "owners/mainthreaddispatcher.h"
#include "owners/ownerhandlers.h"
#include "owners/runowner.h"
#include "protocol/clconnectpipetten.h"
#include "protocol/devicetypes.h"
#include "wiring/realtransports.h"

namespace veltrin {

namespace {

constexpr char kNoSupportedPipette[] = "No supported pipette answers on any port.";

// Every worker deletes its trace file when it starts; several at once need one file each.
// Without --trace there is none, so no file of the working folder is touched.
std::string TraceFileFor(const CliArguments& arguments, const std::string& port) {
    return arguments.TraceFile.empty() ? "" : TraceFileForPort(arguments.TraceFile, port);
}

// The ports to update: those given, or every system port where a supported pipette answered.
std::vector<DeviceSurvey> DevicesToUpdate(const CliArguments& arguments) {
    std::vector<std::string> ports;
    if (arguments.AllPorts) {
        const std::unique_ptr<ClConnectPipetten> realDevice = MakeRealCommandSet();
        ClConnectPipetten& device = *realDevice;
        device.SelectTransport(kSerialTransport);
        device.GetPortList(ports);
    } else {
        for (const auto& port : arguments.Ports)
            ports.push_back(TrimText(port));
    }
    std::vector<DeviceSurvey> surveys = SurveyPortsAtOnce(ports);
    if (!arguments.AllPorts)
        return surveys;
    std::vector<DeviceSurvey> supported;
    for (auto& survey : surveys) {
        if (IsSupportedType(survey.Type))
            supported.push_back(std::move(survey));
    }
    return supported;
}

std::string OrDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

// One device of the run: its worker's owner (a progress line, or the JSON events of a single
// run tagged with the port), its history record, and what the summary says about it.
struct DeviceRun {
    DeviceSurvey Survey;
    std::unique_ptr<UpdateHistoryRecorder> History;
    std::unique_ptr<UpdateEventStream> Events;
    std::unique_ptr<JsonEventsOwner> JsonOwner;  // with --json
    std::unique_ptr<DeviceOwner> LineOwner;      // otherwise
    ClTread* Worker = nullptr;

    // Either view owns the run the same way.
    RunOwner& Owner() const {
        return JsonOwner ? static_cast<RunOwner&>(*JsonOwner) : *LineOwner;
    }
    bool Ended() const { return Owner().Ended(); }
    LeftAlone DeviceLeftAlone() const { return Owner().DeviceLeftAlone(); }
    bool Succeeded() const {
        return JsonOwner ? JsonOwner->Reported() && JsonOwner->ExitStatus() == 0
                         : LineOwner->Succeeded();
    }
};

void PrintSummary(CliIo& io, const std::vector<DeviceRun>& runs) {
    struct Row {
        std::string Port, Device, Info, Versions, Result;
    };
    std::vector<Row> rows = {{"PORT", "DEVICE", "INFO", "VERSION", "RESULT"}};
    for (const auto& run : runs) {
        const DeviceSurvey& survey = run.Survey;
        const std::string before = OrDash(survey.Version);
        const std::string after = run.Succeeded() ? run.LineOwner->InstalledVersion()
                                  : run.LineOwner->LeftInBootloader() ? "in bootloader"
                                                                      : before;
        rows.push_back(
            {PrintableText(survey.Port), survey.Type == 0 ? "-" : DeviceTypeText(survey.Type),
             PrintableText(OrDash(survey.Info)), PrintableText(before + " -> " + OrDash(after)),
             PrintableText(run.LineOwner->ResultText())});
    }
    std::size_t width[4] = {};
    for (const auto& row : rows) {
        width[0] = std::max(width[0], row.Port.size());
        width[1] = std::max(width[1], row.Device.size());
        width[2] = std::max(width[2], row.Info.size());
        width[3] = std::max(width[3], row.Versions.size());
    }
    io.Out << '\n';
    for (const auto& row : rows) {
        io.Out << std::left << std::setw(static_cast<int>(width[0])) << row.Port << "  "
               << std::setw(static_cast<int>(width[1])) << row.Device << "  "
               << std::setw(static_cast<int>(width[2])) << row.Info << "  "
               << std::setw(static_cast<int>(width[3])) << row.Versions << "  " << row.Result
               << std::right << '\n';
    }
    for (const auto& run : runs) {
        if (const std::string advice = run.LineOwner->EndAdvice(); !advice.empty())
            io.Out << run.Survey.Port << ": " << advice << '\n';
    }
    // Where a port gave no device: what stood in the way there, as a single update says it.
    for (const auto& run : runs) {
        for (const std::string& line : run.LineOwner->FindingLines())
            io.Out << line << '\n';
    }
    io.Out.flush();
}

// Under --json the summary is one event per device, tagged with its port like its other events.
void EmitSummary(const UpdateData& data, std::vector<DeviceRun>& runs) {
    for (auto& run : runs) {
        const DeviceSurvey& survey = run.Survey;
        const int status = run.JsonOwner->ExitStatus();
        run.Events->SetPort(survey.Port);
        const LeftAlone why = run.DeviceLeftAlone();
        run.Events->Emit(
            "summary",
            {{"device_type", survey.Type},
             {"outcome", why != LeftAlone::No       ? LeftAloneWord(why)
                         : status == 0              ? "success"
                         : status == kExitCancelled ? "cancelled"
                                                    : "failed"},
             {"device_type_text", survey.Type == 0 ? "" : DeviceTypeText(survey.Type)},
             {"info_text", survey.Info},
             {"version_before", survey.Version},
             {"version_after", status == 0 ? ReleaseVersionFor(data, survey.Type) : survey.Version},
             {"exit_status", status}});
    }
}

}  // namespace

int RunSeveralDeviceUpdate(const CliArguments& arguments, CliIo& io,
                           const CliEnvironment& environment) {
    if (!arguments.AllPorts && !arguments.Yes) {
        io.Err << "veltrin-cli: several devices at once need --yes: their questions cannot be "
                  "asked one by one\n";
        return kExitUsage;
    }
    // The per-port trace files go beside FILE: a folder that takes FILE takes them.
    if (!TraceFileUsable(arguments, io))
        return kExitUsage;
    // The download's events belong to no device yet.
    std::unique_ptr<UpdateEventStream> downloadEvents;
    if (arguments.Json)
        downloadEvents = std::make_unique<UpdateEventStream>(io.Out, std::string());
    UpdateData data;
    ClQuorvanVariants variants;
    UpdateDownloadReport report;
    if (!FetchUpdateDataForRun(arguments, io, data, variants, report, downloadEvents.get()))
        return kExitNoUpdateData;

    std::vector<DeviceSurvey> devices = DevicesToUpdate(arguments);
    if (devices.empty()) {
        if (downloadEvents) {
            EmitEndWithoutRun(*downloadEvents, kUpdateNoDevice, kNoSupportedPipette);
        } else {
            io.Out << kNoSupportedPipette << '\n';
        }
        return kUpdateNoDevice;
    }
    if (devices.size() > 1 && !arguments.Yes) {
        io.Err << "veltrin-cli: " << devices.size()
               << " pipettes found; updating several at once needs --yes\n";
        return kExitUsage;
    }

    std::vector<std::string> ports;
    for (const auto& device : devices)
        ports.push_back(device.Port);
    MultiProgressView view(io.Out, io.OutIsTerminal, ports);
    MainThreadDispatcher dispatcher;
    const VariantLookupFunction lookup = MakeVariantLookup(variants);
    const std::string historyFile =
        arguments.HistoryFile.empty() ? environment.HistoryFile : arguments.HistoryFile;
    std::vector<DeviceRun> runs(devices.size());
    if (!arguments.Json)
        io.Out << '\n';
    for (std::size_t i = 0; i < devices.size(); ++i) {
        DeviceRun& run = runs[i];
        run.Survey = std::move(devices[i]);
        // One recorder per device: each run appends its own record under the file's lock.
        run.History = std::make_unique<UpdateHistoryRecorder>("veltrin-cli", historyFile);
        run.History->NoteUpdateData(data);
        if (arguments.Json) {
            run.Events = std::make_unique<UpdateEventStream>(io.Out, ports[i]);
            run.JsonOwner = std::make_unique<JsonEventsOwner>(
                data, lookup, io, ConsentFrom(arguments), *run.Events, run.History.get());
        } else {
            run.LineOwner = std::make_unique<DeviceOwner>(
                i, ports[i], data, lookup, view, io, ConsentFrom(arguments), run.History.get());
        }
        UpdateThreadSettings settings =
            WorkerSettings(environment, TraceFileFor(arguments, ports[i]));
        settings.OverridePorts = true;
        settings.Ports = {ports[i]};
        run.Worker = ClTread::Start(run.Owner(), dispatcher, settings);
        if (run.Worker == nullptr) {
            // The system refused this device a thread: it has no run, and nothing would ever
            // end its wait.
            if (run.LineOwner)
                view.ShowEnd(i, "the update could not be started", false);
            run.Owner().UpdateThreadEnded();
        }
    }

    std::vector<RunningWorker> workers;
    for (auto& run : runs)
        workers.push_back({run.Worker, run.Events.get(), [&run] { return run.Ended(); }});
    std::function<void()> announceCancel;
    if (!arguments.Json) {
        announceCancel = [&] {
            view.Message(io.Out, "Cancelling every device at its next safe point ...");
        };
    }
    RunWorkersToTheirEnd(dispatcher, environment, workers, announceCancel);

    if (arguments.Json) {
        EmitSummary(data, runs);
    } else {
        PrintSummary(io, runs);
        io.Out << RefusedVariantsNote(data, report);
    }
    // A device left alone is neither a failure nor one that was written.
    bool anyWritten = false;
    for (const auto& run : runs) {
        if (!run.Succeeded() && run.DeviceLeftAlone() == LeftAlone::No)
            return kExitSomeDevicesFailed;
        anyWritten = anyWritten || run.Succeeded();
    }
    return anyWritten ? 0 : kExitLeftAlone;
}

}  // namespace veltrin
