// Runs a Windows program under Wine against a device on this side of a Wine COM port: a
// scripted line peer or the pipette simulator on a pseudo-terminal, which the COM port's link
// is pointed at before the program starts. Checks the program's exit code and, after an
// update, that the device holds the firmware. Exit 0 when everything held.
//
//   wine-com-harness --link DIR/com5 --peer Nak -- wine-com-run.sh test.exe --gtest_filter=...
//   wine-com-harness --link DIR/com6 --sim 10 --publish DIR/data --check-firmware quorvan
//                    -- wine-com-run.sh veltrin-cli.exe update --port COM6 --yes --server URL
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "childprocess.h"
#include "firmwareinsim.h"
#include "linepeers.h"
#include "pipettesimulator.h"
#include "sampledata.h"
#include "support/ptypair.h"
#include "support/scriptedpeer.h"

namespace veltrin::winserial {
namespace {

struct Arguments {
    std::string Link;
    std::string Peer;
    int SimType = 0;
    std::string Publish;
    std::optional<FirmwareFamily> Family;
    int TimeoutSeconds = 240;
    std::vector<std::string> Command;
};

bool Parse(int argc, char** argv, Arguments& args) {
    int i = 1;
    for (; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--") {
            ++i;
            break;
        }
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        if (option == "--link") {
            args.Link = value;
        } else if (option == "--peer") {
            args.Peer = value;
        } else if (option == "--sim") {
            args.SimType = std::atoi(value.c_str());
        } else if (option == "--publish") {
            args.Publish = value;
        } else if (option == "--check-firmware") {
            if (value == "quorvan")
                args.Family = FirmwareFamily::QuorvanOtg;
            else if (value == "tarnovelle")
                args.Family = FirmwareFamily::TarnovelleK7;
            else
                return false;
        } else if (option == "--timeout") {
            args.TimeoutSeconds = std::atoi(value.c_str());
        } else {
            return false;
        }
    }
    for (; i < argc; ++i)
        args.Command.emplace_back(argv[i]);
    const bool onePeer = args.Peer.empty() != (args.SimType == 0);
    return !args.Link.empty() && onePeer && !args.Command.empty() && args.TimeoutSeconds > 0 &&
           (!args.Family || args.SimType != 0);
}

// Replaces the link in one step, so Wine never finds it missing or half made.
bool PointLink(const std::string& link, const std::string& portName) {
    const std::string target = "/dev/" + portName;
    const std::string temporary = link + ".new";
    std::error_code error;
    std::filesystem::remove(temporary, error);
    std::filesystem::create_symlink(target, temporary, error);
    if (!error)
        std::filesystem::rename(temporary, link, error);
    if (error) {
        std::fprintf(stderr, "cannot point %s at %s: %s\n", link.c_str(), target.c_str(),
                     error.message().c_str());
        return false;
    }
    return true;
}

bool RunCommand(const Arguments& args) {
    const ChildResult child = RunChild(args.Command, std::chrono::seconds(args.TimeoutSeconds));
    if (!child.Started) {
        std::fprintf(stderr, "cannot start %s\n", args.Command[0].c_str());
        return false;
    }
    if (child.TimedOut) {
        std::fprintf(stderr, "%s did not end within %d s\n", args.Command[0].c_str(),
                     args.TimeoutSeconds);
        return false;
    }
    if (child.ExitStatus != 0) {
        std::fprintf(stderr, "the Windows program ended with %d\n", child.ExitStatus);
        return false;
    }
    return true;
}

int WithLinePeer(const Arguments& args) {
    testsupport::PtyPair pty;
    if (!pty.Ok()) {
        std::fprintf(stderr, "no pseudo-terminal: %s\n", pty.Error().c_str());
        return 1;
    }
    // Generous steps: a Wine program may take seconds to start on a loaded machine.
    testsupport::ScriptedPeer peer(pty, std::chrono::seconds(60));
    if (!ScriptLinePeer(args.Peer, peer)) {
        std::fprintf(stderr, "unknown peer %s\n", args.Peer.c_str());
        return 64;
    }
    if (!PointLink(args.Link, pty.PortName()))
        return 1;
    peer.Start();
    const bool ran = RunCommand(args);
    // A failed program may leave steps waiting; Stop ends them instead of waiting them out.
    if (ran)
        peer.Finish();
    else
        peer.Stop();
    for (const std::string& failure : peer.Failures())
        std::fprintf(stderr, "device side: %s\n", failure.c_str());
    return ran && peer.Failures().empty() ? 0 : 1;
}

int WithSimulator(const Arguments& args) {
    sample::SampleSetOptions published;
    if (!args.Publish.empty()) {
        std::error_code error;
        std::filesystem::create_directories(args.Publish, error);
        const std::string problem = sample::WriteSampleSet(args.Publish, published);
        if (error || !problem.empty()) {
            std::fprintf(stderr, "cannot publish update data in %s: %s\n", args.Publish.c_str(),
                         problem.c_str());
            return 1;
        }
    }
    SimOptions options;
    options.DeviceType = args.SimType;
    PipetteSimulator sim(options);
    if (const int error = sim.Start(); error != 0) {
        std::fprintf(stderr, "the simulator does not start: %s\n", std::strerror(error));
        return 1;
    }
    if (!PointLink(args.Link, sim.PortName()))
        return 1;
    bool ok = RunCommand(args);
    if (ok && args.Family) {
        const std::string problem = CheckFirmwareInDevice(sim, *args.Family, published);
        if (!problem.empty()) {
            std::fprintf(stderr, "after the update: %s\n", problem.c_str());
            ok = false;
        }
    }
    sim.Stop();
    return ok ? 0 : 1;
}

}  // namespace
}  // namespace veltrin::winserial

int main(int argc, char** argv) {
    using namespace veltrin::winserial;
    Arguments args;
    if (!Parse(argc, argv, args)) {
        std::fprintf(stderr,
                     "usage: wine-com-harness --link PATH (--peer NAME | --sim TYPE [--publish "
                     "DIR] [--check-firmware quorvan|tarnovelle]) [--timeout S] -- COMMAND...\n");
        return 64;
    }
    return args.Peer.empty() ? WithSimulator(args) : WithLinePeer(args);
}
