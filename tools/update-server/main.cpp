// Serves a folder over HTTPS on loopback, the way the update server serves the update data:
// the folder's files appear under <origin>/pipette-update/. A certificate folder without a
// test CA gets a fresh one; clients trust it through its ca.pem.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/httpstestserver.h"
#include "support/testcertificates.h"
#include "tlscaseserver.h"

namespace {

constexpr char kUsage[] =
    "usage: veltrin-update-server --root DIR --cert-dir DIR [--port N]\n"
    "  Serves DIR under https://127.0.0.1:N/pipette-update over TLS with a certificate\n"
    "  from the test CA in --cert-dir (created there when missing; trust its ca.pem).\n"
    "  Port 0 or none: a free port. Runs until it is killed.\n"
    "       veltrin-update-server --tls-cases PKI_DIR --log-dir DIR\n"
    "  Serves each certificate case of PKI_DIR on a port of its own and logs what every\n"
    "  one of them received (for the certificate tests).\n";

struct Arguments {
    std::string Root;
    std::string CertDir;
    std::string TlsCases;
    std::string LogDir;
    int Port = 0;
};

bool ParseArguments(int argc, char** argv, Arguments& arguments) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            return false;
        }
        const std::string value = argv[++i];
        if (option == "--root") {
            arguments.Root = value;
        } else if (option == "--cert-dir") {
            arguments.CertDir = value;
        } else if (option == "--tls-cases") {
            arguments.TlsCases = value;
        } else if (option == "--log-dir") {
            arguments.LogDir = value;
        } else if (option == "--port") {
            char* end = nullptr;
            const long port = std::strtol(value.c_str(), &end, 10);
            if (end == value.c_str() || *end != '\0' || port < 0 || port > 65535) {
                return false;
            }
            arguments.Port = static_cast<int>(port);
        } else {
            return false;
        }
    }
    if (!arguments.TlsCases.empty()) {
        return !arguments.LogDir.empty();
    }
    return !arguments.Root.empty() && !arguments.CertDir.empty();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    Arguments arguments;
    if (!ParseArguments(argc, argv, arguments)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (!arguments.TlsCases.empty()) {
        return veltrin::tools::RunTlsCaseServer(arguments.TlsCases, arguments.LogDir);
    }
    std::error_code error;
    if (!std::filesystem::is_directory(arguments.Root, error)) {
        std::fprintf(stderr, "veltrin-update-server: not a folder: %s\n", arguments.Root.c_str());
        return 1;
    }
    std::filesystem::create_directories(arguments.CertDir, error);
    veltrin::test::TestCertificateFiles certificates;
    if (!veltrin::test::FindTestCertificates(arguments.CertDir, certificates)) {
        std::string why;
        if (!veltrin::test::MakeTestCertificates(arguments.CertDir, certificates, &why)) {
            std::fprintf(stderr, "veltrin-update-server: %s\n", why.c_str());
            return 1;
        }
    }
    // It runs until killed, so a long idle time costs nothing; a client may take well over a
    // second between its handshake and its request (WinHTTP under Wine loads the system's
    // root certificates there the first time).
    constexpr int kIdleSeconds = 30;
    veltrin::test::HttpsTestServer server(certificates, arguments.Port, kIdleSeconds);
    if (!server.IsRunning() || !server.ServeDirectory("/pipette-update", arguments.Root)) {
        std::fprintf(stderr, "veltrin-update-server: cannot serve on port %d\n", arguments.Port);
        return 1;
    }
    std::printf("%s/pipette-update\n", server.Origin().c_str());
    std::printf("CA file: %s\n", certificates.CaCertFile.c_str());
    std::fflush(stdout);
    server.Wait();
    return 0;
}
