// pipette-sim: a simulated pipette on a pseudo-terminal for people and for test scripts.
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "pipettesimulator.h"
#include "programsignals.h"
#include "simcommandline.h"
#include "simdump.h"

using namespace veltrin;

int main(int argc, char** argv) {
    SimProgramSettings settings = DefaultProgramSettings();
    std::string error;
    if (!ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), settings, error)) {
        std::fprintf(stderr, "pipette-sim: %s\n\n%s", error.c_str(), UsageText().c_str());
        return 2;
    }
    if (settings.Help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }

    std::FILE* log = nullptr;
    if (!settings.LogFile.empty()) {
        log = std::fopen(settings.LogFile.c_str(), "a");
        if (log == nullptr) {
            std::perror(("pipette-sim: " + settings.LogFile).c_str());
            return 1;
        }
    }

    BlockProgramSignals();
    std::mutex outputMutex;
    PipetteSimulator sim(settings.Options);
    if (log != nullptr) {
        sim.SetRequestListener([&](const SimRequest& request) {
            std::lock_guard<std::mutex> lock(outputMutex);
            std::fprintf(log, "%s\n", FormatRequestLine(request).c_str());
            std::fflush(log);
        });
    }
    // The port name goes to stdout as soon as it exists (the first line is the first port);
    // scripts read it from there, so flush every line.
    sim.SetPortListener([&](const std::string& portName) {
        std::lock_guard<std::mutex> lock(outputMutex);
        if (portName.empty()) {
            std::fputs("pipette-sim: unplugged\n", stderr);
        } else {
            std::printf("%s\n", portName.c_str());
            std::fflush(stdout);
        }
    });

    const int started = sim.Start();
    if (started != 0) {
        std::fprintf(stderr, "pipette-sim: cannot create a pseudo-terminal (error %d)\n", started);
        return 1;
    }

    for (;;) {
        const ProgramSignal signal = WaitForProgramSignal();
        if (signal == ProgramSignal::Stop)
            break;
        if (signal == ProgramSignal::Unplug)
            sim.Unplug();
        if (signal == ProgramSignal::Plug && sim.Plug() != 0) {
            std::fputs("pipette-sim: cannot create a pseudo-terminal\n", stderr);
        }
    }
    sim.Stop();

    int result = 0;
    if (!settings.DumpDir.empty()) {
        const int dumped = WriteDump(settings.DumpDir, sim, error);
        if (dumped != 0) {
            std::fprintf(stderr, "pipette-sim: cannot write %s (error %d)\n", error.c_str(),
                         dumped);
            result = 1;
        }
    }
    if (log != nullptr)
        std::fclose(log);
    return result;
}
