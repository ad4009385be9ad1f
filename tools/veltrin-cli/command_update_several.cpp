// update of several devices at once: one worker per port, each with its own connection,
// temporary file and trace file, all reporting to the main thread; a summary table at the end.

#include <iomanip>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "common/texttrim.h"
#include "deviceowner.h"
#include "devicesurvey.h"
#include "engine/clthread.h"
#include "engine/devicefamily.h"
#include "mainthreaddispatcher.h"
#include "multiprogressview.h"
#include "protocol/clconnectpipetten.h"
#include "protocol/devicetypes.h"
#include "probeconnection.h"
#include "variantlookup.h"

namespace veltrin {

namespace {

// Every worker deletes its trace file when it starts; several at once need one file each.
std::string TraceFileFor(const std::string& port) {
    std::string name = "Protokoll-";
    for (const char c : port)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name + ".txt";
}

// The ports to update: those given, or every system port where a supported pipette answered.
std::vector<DeviceSurvey> DevicesToUpdate(const CliArguments& arguments) {
    std::vector<std::string> ports;
    if (arguments.AllPorts) {
        ClConnectPipetten device;
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

void PrintSummary(CliIo& io, const std::vector<DeviceSurvey>& devices,
                  const std::vector<std::unique_ptr<DeviceOwner>>& owners) {
    struct Row {
        std::string Port, Device, Info, Versions, Result;
    };
    std::vector<Row> rows = {{"PORT", "DEVICE", "INFO", "VERSION", "RESULT"}};
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const DeviceSurvey& survey = devices[i];
        const std::string before = OrDash(survey.Version);
        const std::string after = owners[i]->Succeeded() ? owners[i]->InstalledVersion() : before;
        rows.push_back({survey.Port,
                        survey.Type == 0 ? "-" : DeviceTypeText(survey.Type),
                        OrDash(survey.Info), before + " -> " + OrDash(after),
                        owners[i]->ResultText()});
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
    io.Out.flush();
}

}  // namespace

int RunSeveralDeviceUpdate(const CliArguments& arguments, CliIo& io,
                           const CliEnvironment& environment) {
    if (!arguments.AllPorts && !arguments.Yes) {
        io.Err << "veltrin-cli: several devices at once need --yes: their questions cannot be "
                  "asked one by one\n";
        return kExitUsage;
    }
    UpdateData data;
    ClQuorvanVariants variants;
    UpdateDownloadReport report;
    if (!FetchUpdateData(arguments, io, data, variants, report)) {
        io.Out << "No data found for update.\nPlease check your internet connection.\n";
        return kExitNoUpdateData;
    }

    const std::vector<DeviceSurvey> devices = DevicesToUpdate(arguments);
    if (devices.empty()) {
        io.Out << "No supported pipette answers on any port.\n";
        return 2;
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
    std::vector<std::unique_ptr<DeviceOwner>> owners;
    std::vector<ClTread*> workers;
    io.Out << '\n';
    for (std::size_t i = 0; i < devices.size(); ++i) {
        owners.push_back(std::make_unique<DeviceOwner>(i, ports[i], data, lookup, view, io,
                                                       arguments.Yes));
        UpdateThreadSettings settings;
        settings.Sleeper = environment.Sleeper;
        settings.OverridePorts = true;
        settings.Ports = {ports[i]};
        settings.TraceFileName = TraceFileFor(ports[i]);
        workers.push_back(ClTread::Start(*owners[i], dispatcher, settings));
    }

    const auto allEnded = [&owners] {
        for (const auto& owner : owners) {
            if (!owner->Ended())
                return false;
        }
        return true;
    };
    bool cancelled = false;
    dispatcher.RunUntil(allEnded, [&] {
        if (!cancelled && environment.Interrupted != nullptr && environment.Interrupted->load()) {
            cancelled = true;
            io.Out << "\nCancelling every device at its next safe point ...\n";
            // A worker lives until its end has been handled here, so each can still be asked.
            for (std::size_t i = 0; i < workers.size(); ++i) {
                if (!owners[i]->Ended())
                    workers[i]->Terminate();
            }
        }
    });
    ClTread::JoinFinishedWorkers();

    PrintSummary(io, devices, owners);
    for (const auto& owner : owners) {
        if (!owner->Succeeded())
            return kExitSomeDevicesFailed;
    }
    return 0;
}

}  // namespace veltrin
