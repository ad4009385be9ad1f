// Runs a Windows program under Wine against a device on this side of a Wine COM port: a
// scripted line peer or the pipette simulator on a pseudo-terminal, which the COM port's link
// is pointed at before the program starts. Checks the program's exit code and, after an
// update, that the device holds the firmware. Exit 0 when everything held.
//
//   wine-com-harness --link DIR/com5 --peer Nak -- wine-com-run.sh test.exe --gtest_filter=...
//   wine-com-harness --link DIR/com6 --sim 10 --publish DIR/data --check-firmware quorvan
//                    -- wine-com-run.sh veltrin-cli.exe update --port COM6 --yes --server URL
//   wine-com-harness --link DIR/com8 --sim 10 --publish DIR/data --sign garbled-signature
//                    --trusted-key DIR/maker.pub --expect-refused -- wine-com-run.sh ...
//   wine-com-harness --link DIR/com6 --sim 10 --publish DIR/data --end-session refused
//                    --history H --expect-outcome success -- wine-com-run.sh veltrin-cli.exe ...
//   wine-com-harness ... --end-session forced --session-end-program session-end.exe
//                    --window-class CLASS --history H --expect-outcome cancelled -- ...
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "childprocess.h"
#include "firmwareinsim.h"
#include "linepeers.h"
#include "pipettesimulator.h"
#include "sampledata.h"
#include "support/ptypair.h"
#include "support/scriptedpeer.h"
#include "support/signedfolder.h"
#include "support/tempdirectory.h"

namespace veltrin::winserial {
namespace {

struct Arguments {
    std::string Link;
    std::string Peer;
    int SimType = 0;
    std::string Publish;
    std::optional<FirmwareFamily> Family;
    int TimeoutSeconds = 240;
    // The published folder signed by a key made for the run, then spoilt as the case says;
    // the key the program is told to trust goes to TrustedKey.
    std::string Sign;
    std::string TrustedKey;
    // The program must refuse the update data: exit status 101, and not one request reaches
    // the device.
    bool ExpectRefused = false;
    // A history file whose last record must say that the update data was verified.
    std::string ExpectVerified;
    // The end of the Windows session in the middle of the first block written: "refused" asks
    // with Wine's wineboot, which the program must refuse; "forced" ends the session anyway with
    // SessionEndProgram for the program's windows of WindowClass.
    std::string EndSession;
    std::string SessionEndProgram;
    std::string WindowClass;
    // A history file whose last record must have this outcome.
    std::string History;
    std::string ExpectOutcome;
    std::vector<std::string> Command;
};

constexpr int kExitNoUpdateData = 101;

bool Parse(int argc, char** argv, Arguments& args) {
    int i = 1;
    for (; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--") {
            ++i;
            break;
        }
        if (option == "--expect-refused") {
            args.ExpectRefused = true;
            continue;
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
        } else if (option == "--sign") {
            args.Sign = value;
        } else if (option == "--trusted-key") {
            args.TrustedKey = value;
        } else if (option == "--expect-verified") {
            args.ExpectVerified = value;
        } else if (option == "--end-session") {
            args.EndSession = value;
        } else if (option == "--session-end-program") {
            args.SessionEndProgram = value;
        } else if (option == "--window-class") {
            args.WindowClass = value;
        } else if (option == "--history") {
            args.History = value;
        } else if (option == "--expect-outcome") {
            args.ExpectOutcome = value;
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
           (!args.Family || args.SimType != 0) &&
           (args.Sign.empty() || (!args.Publish.empty() && !args.TrustedKey.empty())) &&
           (args.EndSession.empty() || args.EndSession == "refused" ||
            (args.EndSession == "forced" && !args.SessionEndProgram.empty() &&
             !args.WindowClass.empty())) &&
           args.History.empty() == args.ExpectOutcome.empty();
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

constexpr int kAnyStatus = -1000;

bool RunCommand(const Arguments& args, int expectedStatus = 0) {
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
    if (expectedStatus != kAnyStatus && child.ExitStatus != expectedStatus) {
        std::fprintf(stderr, "the Windows program ended with %d, not %d\n", child.ExitStatus,
                     expectedStatus);
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

// Signs the published folder with a fresh key and spoils it as the case says. Empty on success.
std::string SignPublished(const Arguments& args) {
    const test::SigningKeyPair maker = test::MakeSigningKeyPair();
    const test::SigningKeyPair stranger = test::MakeSigningKeyPair();
    std::vector<std::string> names = test::SampleFolderNames(args.Publish);
    const std::filesystem::path folder(args.Publish);
    const std::string firmware = names.size() > 1 ? names[1] : "";
    if (args.Sign == "unlisted")
        std::erase(names, firmware);
    std::string problem = test::SignUpdateFolder(args.Publish, names, maker);
    bool ok = problem.empty() && !firmware.empty();
    if (args.Sign == "changed-byte") {
        ok = ok && test::ChangeOneByte((folder / firmware).string());
    } else if (args.Sign == "no-signature") {
        ok = ok && std::filesystem::remove(folder / "SHA256SUMS.sig");
    } else if (args.Sign == "garbled-signature") {
        ok = ok && test::ChangeOneByte((folder / "SHA256SUMS.sig").string());
    } else if (args.Sign != "signed" && args.Sign != "unlisted" && args.Sign != "untrusted-key") {
        return "unknown signing case " + args.Sign;
    }
    const auto& trusted = args.Sign == "untrusted-key" ? stranger : maker;
    ok = ok && test::WriteFileText(args.TrustedKey, trusted.PublicPem);
    return ok ? std::string() : problem.empty() ? "cannot spoil the folder" : problem;
}

// Empty when the history file's last line says the update data was verified by a key.
std::string CheckVerifiedHistory(const std::string& fileName) {
    std::ifstream file(fileName);
    std::string line, last;
    while (std::getline(file, line))
        last = line;
    if (last.find("\"update_data_verified\":true") == std::string::npos ||
        last.find("\"update_data_key\":\"\"") != std::string::npos) {
        return "the history does not say the update data was verified: " + last;
    }
    return {};
}

// Empty when the history file's last record has this outcome.
std::string CheckOutcome(const std::string& fileName, const std::string& outcome) {
    std::ifstream file(fileName);
    std::string line, last;
    while (std::getline(file, line))
        last = line;
    if (last.find("\"outcome\":\"" + outcome + "\"") == std::string::npos)
        return "the history's last record is not " + outcome + ": " + last;
    return {};
}

// Ends the session once, in the middle of the first block written: the device holds that
// block's answer (within the host's answer time-out) until the session's end has been asked
// for, so the program is writing all along. Refused: wineboot asks and must be refused. Forced:
// the answer goes out as soon as session-end.exe has sent WM_ENDSESSION, so that the run can
// reach its next check point and end through its record while the program's handler waits.
class SessionEnder {
public:
    explicit SessionEnder(const Arguments& args) : args_(args) {}
    ~SessionEnder() { JoinForced(); }
    SessionEnder(const SessionEnder&) = delete;
    SessionEnder& operator=(const SessionEnder&) = delete;

    void OnWrite() {
        if (started_.exchange(true))
            return;
        const std::string& run = args_.Command[0];
        if (args_.EndSession == "refused") {
            Keep(RunChild({run, "wineboot", "--end-session"}, std::chrono::seconds(60)));
            return;
        }
        std::unique_lock<std::mutex> lock(mutex_);
        forced_ = std::thread([this, run] {
            Keep(RunChild({run, args_.SessionEndProgram, args_.WindowClass},
                          std::chrono::seconds(120), [this](const std::string& line) {
                              if (line == "sent")
                                  Note(sent_);
                          }));
        });
        changed_.wait_for(lock, std::chrono::seconds(60), [this] { return sent_ || ended_; });
    }

    // Empty when the session's end went as asked for.
    std::string Problem() {
        JoinForced();
        std::lock_guard<std::mutex> lock(mutex_);
        if (!started_)
            return "the run wrote no block, so the session was never ended during it";
        if (!result_.Started || result_.TimedOut)
            return "the session's end did not run or did not end";
        // wineboot ends with 1 when a program refused the end of the session.
        if (args_.EndSession == "refused" && result_.ExitStatus != 1)
            return "wineboot --end-session was not refused: " + std::to_string(result_.ExitStatus);
        if (args_.EndSession == "forced" && result_.ExitStatus != 0)
            return "the forced end of the session went wrong (see above)";
        return {};
    }

private:
    void JoinForced() {
        std::thread forced;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            forced = std::move(forced_);
        }
        if (forced.joinable())
            forced.join();
    }

    void Note(bool& flag) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            flag = true;
        }
        changed_.notify_all();
    }

    void Keep(const ChildResult& result) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            result_ = result;
        }
        Note(ended_);
    }

    const Arguments& args_;
    std::atomic<bool> started_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
    bool sent_ = false;
    bool ended_ = false;
    ChildResult result_;
    std::thread forced_;
};

int WithSimulator(const Arguments& args) {
    sample::SampleSetOptions published;
    // A signed folder holds one firmware only, so that refusing it leaves the program nothing
    // to go on with before it opens the port.
    published.WithTarnovelle = args.Sign.empty();
    if (!args.Publish.empty()) {
        std::error_code error;
        std::filesystem::create_directories(args.Publish, error);
        const std::string problem = sample::WriteSampleSet(args.Publish, published);
        if (error || !problem.empty()) {
            std::fprintf(stderr, "cannot publish update data in %s: %s\n", args.Publish.c_str(),
                         problem.c_str());
            return 1;
        }
        if (const std::string signing = args.Sign.empty() ? "" : SignPublished(args);
            !signing.empty()) {
            std::fprintf(stderr, "cannot sign %s: %s\n", args.Publish.c_str(), signing.c_str());
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
    SessionEnder ender(args);
    if (!args.EndSession.empty())
        sim.SetWriteHold([&ender] { ender.OnWrite(); });
    if (!args.History.empty()) {
        std::error_code ignored;
        std::filesystem::remove(args.History, ignored);
    }
    if (!args.ExpectVerified.empty()) {
        std::error_code ignored;
        std::filesystem::remove(args.ExpectVerified, ignored);  // only this run's record counts
    }
    // A forced end may end the process before or after its own exit: only its record counts.
    const int status = args.ExpectRefused            ? kExitNoUpdateData
                       : args.EndSession == "forced" ? kAnyStatus
                                                     : 0;
    bool ok = RunCommand(args, status);
    sim.SetWriteHold(nullptr);
    if (!args.EndSession.empty()) {
        if (const std::string problem = ender.Problem(); !problem.empty()) {
            std::fprintf(stderr, "%s\n", problem.c_str());
            ok = false;
        }
    }
    if (ok && !args.History.empty()) {
        if (const std::string problem = CheckOutcome(args.History, args.ExpectOutcome);
            !problem.empty()) {
            std::fprintf(stderr, "%s\n", problem.c_str());
            ok = false;
        }
    }
    if (ok && args.ExpectRefused && !sim.Requests().empty()) {
        std::fprintf(stderr, "refused update data, yet %zu requests reached the device\n",
                     sim.Requests().size());
        ok = false;
    }
    if (ok && !args.ExpectVerified.empty()) {
        if (const std::string problem = CheckVerifiedHistory(args.ExpectVerified);
            !problem.empty()) {
            std::fprintf(stderr, "%s\n", problem.c_str());
            ok = false;
        }
    }
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
        std::fprintf(
            stderr,
            "usage: wine-com-harness --link PATH (--peer NAME | --sim TYPE [--publish "
            "DIR [--sign CASE --trusted-key FILE]] [--check-firmware quorvan|tarnovelle]\n"
            "       [--expect-refused] [--expect-verified HISTORY] [--end-session refused|forced\n"
            "       [--session-end-program EXE --window-class CLASS]] [--history H\n"
            "       --expect-outcome WORD]) [--timeout S] -- "
            "COMMAND...\n");
        return 64;
    }
    return args.Peer.empty() ? WithSimulator(args) : WithLinePeer(args);
}
