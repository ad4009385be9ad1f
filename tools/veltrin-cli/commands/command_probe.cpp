// probe: what answers on each port, and what an update with --yes would do there.

#include <algorithm>
#include <iomanip>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "commands/commands.h"
#include "commands/devicesurvey.h"
#include "commands/probeconnection.h"
#include "commands/updateverdict.h"
#include "common/printabletext.h"
#include "common/texttrim.h"
#include "engine/devicetext.h"
#include "engine/parallelprobe.h"
#include "events/jsonevents.h"
#include "owners/ownerhandlers.h"
#include "protocol/clconnectpipetten.h"
#include "protocol/devicetypes.h"
#include "report/endtexts.h"
#include "transport/portaccess.h"
#include "transport/portname.h"
#include "wiring/realtransports.h"

namespace veltrin {

namespace {

// The update data as update fetches it (server, CA file, trusted keys, checks), without its
// download lines: the table says what it gives.
struct ProbeUpdateData {
    UpdateData Data;
    UpdateDownloadReport Report;
    bool Usable = false;

    void Fetch(const CliArguments& arguments, std::ostream& err) {
        std::ostringstream quiet;
        std::istringstream noInput;
        CliIo io{quiet, err, noInput, false, false};
        ClQuorvanVariants variants;
        Usable = FetchUpdateData(arguments, io, Data, variants, Report);
    }
};

std::string OrDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

// A device text as the update reports it; null where it was not read.
Json DeviceTextJson(const PortProbe& probe,
                    const std::array<std::uint8_t, kVersionTextSize>& text) {
    return probe.TextsRead ? Json(DeviceFieldText(text.data(), text.size())) : Json(nullptr);
}

void PrintProbeAsJson(const std::string& name, const PortProbe& probe, const UpdateVerdict& verdict,
                      const std::string& release, CliIo& io) {
    const bool answered = probe.Opened && probe.ResultCode == 0;
    const std::string cause = PortCauseFor(name, probe);
    const std::string problem = probe.InUse ? cause : probe.Opened ? "" : PortAccessProblem(name);
    WriteJsonLine(
        io.Out, {{"port", name},
                 {"probed_port", ProbeConnectParamsFor(name).PortName},
                 {"opened", probe.Opened},
                 {"result_code", probe.ResultCode},
                 {"result_text", probe.ResultText},
                 {"device_type", answered ? Json(probe.Type) : Json(nullptr)},
                 {"device_type_text", answered ? Json(DeviceTypeText(probe.Type)) : Json(nullptr)},
                 {"access_problem", problem.empty() ? Json(nullptr) : Json(problem)},
                 {"cause", cause.empty() ? Json(nullptr) : Json(cause)},
                 {"version_text_0", DeviceTextJson(probe, probe.VersionText0)},
                 {"version_text_1", DeviceTextJson(probe, probe.VersionText1)},
                 {"info_text", DeviceTextJson(probe, probe.InfoText)},
                 {"release_version", release.empty() ? Json(nullptr) : Json(release)},
                 {"update_action", verdict.Word},
                 {"update_text", verdict.Text}});
}

void PrintTable(const std::vector<std::vector<std::string>>& rows, CliIo& io) {
    std::vector<std::size_t> width(rows.front().size(), 0);
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i)
            width[i] = std::max(width[i], row[i].size());
    }
    for (const auto& row : rows) {
        for (std::size_t i = 0; i + 1 < row.size(); ++i)
            io.Out << std::left << std::setw(static_cast<int>(width[i])) << row[i] << "  ";
        io.Out << std::right << row.back() << '\n';
    }
}

std::vector<std::string> TableRow(const std::string& name, const PortProbe& probe,
                                  const UpdateVerdict& verdict) {
    const bool answered = probe.Opened && probe.ResultCode == 0;
    const std::string device =
        answered ? std::to_string(probe.Type) + " " + DeviceTypeText(probe.Type) : "";
    const auto text = [&probe](const std::array<std::uint8_t, kVersionTextSize>& bytes) {
        return PrintableText(OrDash(probe.TextsRead ? FirstDeviceField(bytes) : ""));
    };
    const std::string info =
        probe.TextsRead ? TrimText(DeviceFieldText(probe.InfoText.data(), probe.InfoText.size()))
                        : "";
    return {PrintableText(name),         OrDash(device),
            text(probe.VersionText0),    text(probe.VersionText1),
            PrintableText(OrDash(info)), PrintableText(verdict.Text)};
}

// Below the table: what this user lacks to open a port, and what the update data holds.
void PrintNotes(const std::vector<std::string>& ports, const std::vector<const PortProbe*>& probes,
                const ProbeUpdateData& update, CliIo& io) {
    for (std::size_t i = 0; i < ports.size(); ++i) {
        if (probes[i]->InUse || probes[i]->Opened)
            continue;
        if (const std::string problem = PortAccessProblem(ports[i]); !problem.empty())
            io.Out << PrintableText(ports[i]) << ": " << problem << '\n';
    }
    if (!update.Usable) {
        io.Out << "Update data unavailable.\n" << NoUpdateDataCause(update.Report);
        return;
    }
    io.Out << "Update data: " << kFamilyLabelQuorvanOtg << ' '
           << OrDash(ReleaseVersionFor(update.Data, DEVICE_QUORVAN_USB_OTG_PLUS)) << ", "
           << kFamilyLabelTarnovelleK7 << ' '
           << OrDash(ReleaseVersionFor(update.Data, DEVICE_CORVENT_USB_K7)) << '\n';
}

}  // namespace

int RunProbeCommand(const CliArguments& arguments, CliIo& io) {
    std::vector<std::string> ports = arguments.Ports;
    if (ports.empty()) {
        const std::unique_ptr<ClConnectPipetten> device = MakeRealCommandSet();
        device->SelectTransport(kSerialTransport);
        device->GetPortList(ports);
    }
    if (ports.empty()) {
        if (!arguments.Json) {
            io.Out << "No serial ports found.\n";
        }
        return kExitFailure;
    }
    // All at once, as the update searches: a silent port costs seconds, and no more than once.
    // A port named twice (two spellings, or a link) is asked once: two probes of one port at
    // the same time would find it in use by each other.
    std::vector<std::string> distinct;
    std::vector<std::size_t> probeOf;
    std::map<std::string, std::size_t> byIdentity;
    for (auto& port : ports) {
        port = TrimText(port);
        const auto [entry, added] = byIdentity.emplace(PortIdentity(port), distinct.size());
        if (added)
            distinct.push_back(port);
        probeOf.push_back(entry->second);
    }
    // The update data is fetched while the ports are asked; either may take seconds.
    ProbeUpdateData update;
    std::thread fetch;
    try {
        fetch = std::thread([&] { update.Fetch(arguments, io.Err); });
    } catch (...) {
        update.Fetch(arguments, io.Err);  // no thread to be had: one after the other
    }
    const std::vector<PortProbe> probes =
        ProbePortsAtOnce(MakeRealCommandSet, distinct, ProbeConnectParams(), SleepFunction(),
                         nullptr, ProbeReads::DeviceTexts);
    if (fetch.joinable())
        fetch.join();

    std::vector<std::vector<std::string>> rows = {
        {"PORT", "DEVICE", "APPLICATION", "BOOTLOADER", "INFO", "UPDATE"}};
    std::vector<const PortProbe*> shown;
    bool anyDevice = false;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const PortProbe& probe = probes[probeOf[i]];
        shown.push_back(&probe);
        const UpdateVerdict verdict =
            VerdictFor(ports[i], probe, update.Usable ? &update.Data : nullptr);
        if (arguments.Json) {
            PrintProbeAsJson(ports[i], probe, verdict, ReleaseVersionFor(update.Data, probe.Type),
                             io);
        } else {
            rows.push_back(TableRow(ports[i], probe, verdict));
        }
        anyDevice = anyDevice || (probe.Opened && probe.ResultCode == 0);
    }
    if (!arguments.Json) {
        PrintTable(rows, io);
        PrintNotes(ports, shown, update, io);
    }
    return anyDevice ? 0 : kExitFailure;
}

}  // namespace veltrin
