// The device search over eight silent pseudo-terminals and one simulated pipette at 230400 baud,
// probing the ports one after the other and all at once, beside what one silent port costs by
// itself (the worker's 3 attempts of a 3000 ms acknowledge wait). Prints figures; asserts nothing.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/clthread.h"
#include "engine/parallelprobe.h"
#include "engine/workerconnectparams.h"
#include "pipettesimulator.h"
#include "pseudoterminal.h"
#include "recordingowner.h"
#include "threaddispatcher.h"
#include "wiring/realtransports.h"

namespace {

using namespace veltrin;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct SearchFigures {
    double Seconds = 0;
    int Code = -1;
};

// A whole worker run that ends right after its search: there is no firmware for the pipette
// found, so the run stops with "no data" before it touches the device again.
SearchFigures TimeSearch(const std::vector<std::string>& ports, bool atOnce) {
    testing_support::ThreadDispatcher dispatcher;
    testing_support::RecordingOwner owner;
    UpdateThreadSettings settings;
    settings.MakeCommandSet = MakeRealCommandSet;
    settings.OverridePorts = true;
    settings.Ports = ports;
    settings.ProbeAtOnce = atOnce;
    settings.TraceFileName = "";
    const auto start = Clock::now();
    ClTread::Start(owner, dispatcher, settings);
    owner.WaitEnded();
    SearchFigures figures;
    figures.Seconds = SecondsSince(start);
    ClTread::JoinFinishedWorkers();
    figures.Code = owner.Last(testing_support::EventKind::ReportEnd)->Value;
    return figures;
}

}  // namespace

int main() {
    constexpr int kSilentPorts = 8;
    std::vector<std::unique_ptr<SimPseudoTerminal>> silent;
    std::vector<std::string> ports;
    for (int i = 0; i < kSilentPorts; ++i) {
        silent.push_back(std::make_unique<SimPseudoTerminal>());
        if (silent.back()->Open() != 0) {
            std::fprintf(stderr, "no pseudo-terminal\n");
            return 1;
        }
        ports.push_back(silent.back()->PortName());
    }
    SimOptions options;
    options.DeviceType = 9;
    options.BaudRate = 230400;
    PipetteSimulator sim(options);
    if (sim.Start() != 0) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    // The pipette last: one after the other, it is only reached after every silent port.
    ports.push_back(sim.PortName());

    auto start = Clock::now();
    const int silentType =
        ProbePortOnOwnConnection(MakeRealCommandSet, ports.front(), WorkerConnectParams(), {}).Type;
    const double oneSilent = SecondsSince(start);
    const SearchFigures inTurn = TimeSearch(ports, false);
    const SearchFigures atOnce = TimeSearch(ports, true);

    std::printf("Device search: %d silent pseudo-terminals and one pipette at 230400 baud\n",
                kSilentPorts);
    std::printf("  one silent port alone          %7.3f s (type %d)\n", oneSilent, silentType);
    std::printf("  one after the other            %7.3f s (result %d)\n", inTurn.Seconds,
                inTurn.Code);
    std::printf("  all at once                    %7.3f s (result %d)\n", atOnce.Seconds,
                atOnce.Code);
    std::printf("  at once / one silent port      %7.3f   (target <= 1.2)\n",
                atOnce.Seconds / oneSilent);
    std::printf("  one after the other / at once  %7.3f\n", inTurn.Seconds / atOnce.Seconds);
    return inTurn.Code == atOnce.Code ? 0 : 1;
}
