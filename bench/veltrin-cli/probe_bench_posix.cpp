// Wall time of `veltrin-cli probe` over six silent pseudo-terminals and one simulated pipette at
// 230400 baud, beside `probe` of one silent port alone (the worker's 3 attempts of a 3000 ms
// acknowledge wait). The ports are asked all at once, so seven ports should cost about what the
// one silent port costs. Prints figures; asserts nothing.
#include <chrono>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "commands/clirun.h"
#include "pipettesimulator.h"
#include "pseudoterminal.h"

namespace {

using namespace veltrin;

struct ProbeFigures {
    double Seconds = 0;
    int Status = -1;
    std::string Out;
};

ProbeFigures TimeProbe(const std::vector<std::string>& ports) {
    std::vector<std::string> args = {"probe"};
    args.insert(args.end(), ports.begin(), ports.end());
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    CliIo io{out, err, in, false, false};
    ProbeFigures figures;
    const auto start = std::chrono::steady_clock::now();
    figures.Status = RunCli(args, io);
    figures.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    figures.Out = out.str() + err.str();
    return figures;
}

}  // namespace

int main() {
    constexpr int kSilentPorts = 6;
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
    ports.push_back(sim.PortName());

    const ProbeFigures one = TimeProbe({ports.front()});
    const ProbeFigures all = TimeProbe(ports);
    std::printf("veltrin-cli probe: %d silent pseudo-terminals and one pipette at 230400 baud\n",
                kSilentPorts);
    std::printf("  one silent port alone        %7.3f s (exit %d)\n", one.Seconds, one.Status);
    std::printf("  six silent ports and pipette %7.3f s (exit %d)\n", all.Seconds, all.Status);
    std::printf("  all / one silent port        %7.3f   (target <= 1.2)\n",
                all.Seconds / one.Seconds);
    std::printf("%s", all.Out.c_str());
    return all.Status == 0 ? 0 : 1;
}
