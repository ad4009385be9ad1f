#pragma once

// The world of veltrin-cli update tests: a loopback HTTPS server holding generated update data,
// and runs of the command in-process against a simulated pipette on a pseudo-terminal.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "commands/clirun.h"
#include "pipettesimulator.h"
#include "sampledata.h"
#include "support/httpstestserver.h"
#include "support/tempdirectory.h"
#include "support/testcertificates.h"

namespace veltrin::test {

inline constexpr char kVersion[] = "04.05.06";

struct CliResult {
    int Status = -1;
    std::string Out;  // standard output followed by standard error
    std::string StdOut;
    std::string Err;
};

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CliUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = dir_.Path() / "pipette-update";
        std::filesystem::create_directories(folder_);
        ASSERT_TRUE(MakeTestCertificates(dir_.Path().string(), certs_));
        server_ = std::make_unique<HttpsTestServer>(certs_);
        ASSERT_TRUE(server_->ServeDirectory("/pipette-update", folder_.string()));
    }

    void Publish(bool withQuorvan = true) {
        sample::SampleSetOptions options;
        options.Firmware.Version = kVersion;
        options.WithQuorvan = withQuorvan;
        ASSERT_EQ(sample::WriteSampleSet(folder_.string(), options), "");
    }

    static SimOptions DeviceOptions(int type) {
        SimOptions options;
        options.DeviceType = type;
        options.RestartSilenceMs = 50;
        return options;
    }

    CliResult RunUpdate(PipetteSimulator& sim, bool yes, const std::string& answers = "",
                        const std::vector<std::string>& extra = {},
                        const std::string& historyFile = "",
                        const std::atomic<bool>* interrupted = nullptr,
                        const std::string& port = "") {
        std::vector<std::string> args = {
            "update",          "--server", server_->Origin() + "/pipette-update", "--ca-file",
            certs_.CaCertFile, "--port",   port.empty() ? sim.PortName() : port};
        if (yes) {
            args.push_back("--yes");
        }
        args.insert(args.end(), extra.begin(), extra.end());
        std::ostringstream out;
        std::ostringstream err;
        std::istringstream in(answers);
        CliIo io{out, err, in, false, false};
        CliEnvironment environment;
        environment.HistoryFile = historyFile;
        environment.Interrupted = interrupted;
        // The countdowns' seconds shrink to 15 ms (still longer in sum than the restart
        // silence); the short pauses between blocks vanish.
        environment.Sleeper = [](std::uint32_t ms) {
            if (ms >= 500) {
                SleepMilliseconds(15);
            }
        };
        CliResult result;
        result.Status = RunCli(args, io, environment);
        result.Out = out.str() + err.str();
        result.StdOut = out.str();
        result.Err = err.str();
        return result;
    }

    TempDirectory dir_;
    std::filesystem::path folder_;
    TestCertificateFiles certs_;
    std::unique_ptr<HttpsTestServer> server_;
};

}  // namespace veltrin::test
