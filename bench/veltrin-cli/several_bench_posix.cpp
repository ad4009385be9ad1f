// Wall time of `veltrin-cli update` for one simulated dispensing pipette at 230400 baud and for
// four at once (--port A --port B --port C --port D --yes), with real pauses, from an offline
// update folder (file://). Four lines share nothing but the host, so four at once should cost
// about what one costs. Prints figures; asserts nothing.
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "commands/clirun.h"
#include "pipettesimulator.h"
#include "sampledata.h"

namespace {

using namespace veltrin;
using Clock = std::chrono::steady_clock;

struct RunFigures {
    double Seconds = 0;
    int Status = -1;
    std::uint64_t BlocksWritten = 0;
};

RunFigures TimeUpdate(const std::string& server, int devices) {
    std::vector<std::unique_ptr<PipetteSimulator>> sims;
    std::vector<std::string> args = {"update", "--server", server};
    for (int i = 0; i < devices; ++i) {
        SimOptions options;
        options.DeviceType = 7;
        options.BaudRate = 230400;
        sims.push_back(std::make_unique<PipetteSimulator>(options));
        if (sims.back()->Start() != 0)
            return {};
        args.push_back("--port");
        args.push_back(sims.back()->PortName());
    }
    args.push_back("--yes");
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    CliIo io{out, err, in, false, false};
    RunFigures figures;
    const auto start = Clock::now();
    figures.Status = RunCli(args, io);
    figures.Seconds = std::chrono::duration<double>(Clock::now() - start).count();
    for (const auto& sim : sims)
        figures.BlocksWritten += sim->WrittenBlocks().size();
    if (figures.Status != 0)
        std::fprintf(stderr, "%s%s\n", out.str().c_str(), err.str().c_str());
    return figures;
}

}  // namespace

int main() {
    std::string base = (std::filesystem::temp_directory_path() / "veltrin-bench-XXXXXX").string();
    if (mkdtemp(base.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path folder = std::filesystem::path(base) / "pipette-update";
    std::filesystem::create_directories(folder);
    sample::SampleSetOptions options;
    options.UseSizeClass = false;
    options.Firmware.Sizes.Bootloader = 16 * 1024;
    options.Firmware.Sizes.Fonts = 16 * 1024;
    options.Firmware.Sizes.Texts = 16 * 1024;
    options.Firmware.Sizes.Application = 64 * 1024;
    options.Firmware.Sizes.Sounds = 16 * 1024;
    const std::string written = sample::WriteSampleSet(folder.string(), options);
    if (!written.empty()) {
        std::fprintf(stderr, "sample data: %s\n", written.c_str());
        return 1;
    }
    const std::string server = "file://" + folder.string();

    const RunFigures one = TimeUpdate(server, 1);
    const RunFigures four = TimeUpdate(server, 4);
    std::filesystem::remove_all(base);

    std::printf("veltrin-cli update of dispensing pipettes at 230400 baud, real pauses\n");
    std::printf("  (bootloader, fonts, texts 16 KiB each, application 64 KiB)\n");
    std::printf("  one pipette         %7.3f s (exit %d, %llu blocks written)\n", one.Seconds,
                one.Status, static_cast<unsigned long long>(one.BlocksWritten));
    std::printf("  four at once        %7.3f s (exit %d, %llu blocks written)\n", four.Seconds,
                four.Status, static_cast<unsigned long long>(four.BlocksWritten));
    std::printf("  four / one          %7.3f   (target <= 1.15)\n", four.Seconds / one.Seconds);
    return one.Status == 0 && four.Status == 0 ? 0 : 1;
}
