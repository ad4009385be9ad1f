// The download of full-size update data (both firmware images filling their whole layouts, and
// the variant file) from a loopback HTTPS server: the fetch alone, and the whole download with
// the variant load and both firmware checks. Prints wall times (best and median of several
// runs) and the throughput of the fetch.
//
//   bench_download [--runs N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "download/updatedownload.h"
#include "sampledata.h"
#include "support/httpstestserver.h"
#include "support/tempdirectory.h"
#include "support/testcertificates.h"

using namespace veltrin;

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
    double Best = 0;
    double Median = 0;
};

Figures Summarise(std::vector<double> seconds) {
    std::sort(seconds.begin(), seconds.end());
    return {seconds.front(), seconds[seconds.size() / 2]};
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0) {
            runs = std::max(1, std::atoi(argv[i + 1]));
        }
    }

    test::TempDirectory dir;
    test::TestCertificateFiles certs;
    if (!test::MakeTestCertificates(dir.Path().string(), certs)) {
        std::fprintf(stderr, "no test certificates\n");
        return 1;
    }
    const auto folder = dir.Path() / "pipette-update";
    std::filesystem::create_directories(folder);
    sample::SampleSetOptions options;
    options.Size = sample::SizeClass::Full;
    const std::string written = sample::WriteSampleSet(folder.string(), options);
    if (!written.empty()) {
        std::fprintf(stderr, "%s\n", written.c_str());
        return 1;
    }
    test::HttpsTestServer server(certs);
    server.ServeDirectory("/pipette-update", folder.string());
    const std::string base = server.Origin() + "/pipette-update";
    HttpsClientOptions clientOptions;
    clientOptions.CaFile = certs.CaCertFile;

    const std::string bigName =
        sample::FirmwareFileName(FirmwareFamily::QuorvanOtg, options.Firmware.Version);
    std::vector<double> fetchSeconds;
    std::vector<double> downloadSeconds;
    std::size_t fetchedBytes = 0;
    std::size_t totalBytes = 0;
    bool ok = true;
    for (int run = 0; run < runs; ++run) {
        HttpsClient client(clientOptions);
        std::string body;
        // The first request opens the connection; the second shows the transfer alone.
        ok = client.GetText(base + "/" + kIndexFileName, body) == HTTPS_OK;
        auto start = Clock::now();
        ok = ok && client.GetText(base + "//" + bigName, body) == HTTPS_OK;
        fetchSeconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        fetchedBytes = body.size();

        UpdateData data;
        ClQuorvanVariants variants;
        start = Clock::now();
        DownloadUpdateData(client, base, data, variants);
        downloadSeconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        ok = ok && !data.VersionQuorvanOtg.empty() && !data.VersionTarnovelleK7.empty() &&
             variants.GetCount() > 0;
        totalBytes = data.HexQuorvanOtg.size() + data.HexTarnovelleK7.size();
    }
    if (!ok) {
        std::fprintf(stderr, "download failed\n");
        return 1;
    }
    const Figures fetch = Summarise(fetchSeconds);
    const Figures download = Summarise(downloadSeconds);
    std::printf("runs: %d\n", runs);
    std::printf("fetch of %s (%.1f MB): best %.3f s, median %.3f s, %.0f MB/s\n", bigName.c_str(),
                fetchedBytes / 1e6, fetch.Best, fetch.Median, fetchedBytes / 1e6 / fetch.Best);
    std::printf(
        "whole download (%.1f MB of HEX, variant load, both checks): best %.3f s, "
        "median %.3f s\n",
        totalBytes / 1e6, download.Best, download.Median);
    return 0;
}
