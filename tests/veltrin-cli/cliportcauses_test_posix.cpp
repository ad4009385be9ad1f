// "No device found" says why, port by port: a missing port, one this user may not open, one
// another program holds, a silent one and one with a device of a type that is not updated.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "cliupdatefixture.h"
#include "engine/updateresult.h"

namespace veltrin {
namespace {

using test::CliResult;
using test::Contains;

constexpr char kNoDevice[] = "No device found - one device must be connected!";

// A second process that opens the port for itself, as a terminal program does, until told.
class PortHolderProcess {
public:
    bool Start(const std::string& port) {
        int ready[2];
        if (pipe(ready) != 0 || pipe(release_) != 0)
            return false;
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            close(release_[1]);
            const int fd = open(("/dev/" + port).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            const bool held =
                fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 && ioctl(fd, TIOCEXCL) == 0;
            const char word = held ? 'y' : 'n';
            if (write(ready[1], &word, 1) != 1)
                _exit(1);
            char c = 0;
            // Holds the port until the parent closes its end; end of file and a byte both end it.
            _exit(read(release_[0], &c, 1) < 0 ? 1 : 0);
        }
        close(ready[1]);
        close(release_[0]);
        char word = 0;
        const bool ok = pid_ > 0 && read(ready[0], &word, 1) == 1 && word == 'y';
        close(ready[0]);
        return ok;
    }
    long ProcessId() const { return pid_; }
    ~PortHolderProcess() {
        close(release_[1]);
        if (pid_ > 0)
            waitpid(pid_, nullptr, 0);
    }

private:
    pid_t pid_ = -1;
    int release_[2] = {-1, -1};
};

class CliPortCausesTest : public test::CliUpdateTest {
protected:
    // The whole program as the unprivileged user "nobody", to its end.
    CliResult RunAsNobody(const std::string& port) {
        // nobody must read the update data and its CA file.
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_.Path()))
            chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644);
        chmod(dir_.Path().c_str(), 0755);
        const std::string output = "/tmp/veltrin-cli-nobody-" + std::to_string(getpid());
        std::string command = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
        for (const std::string& arg :
             {std::string(VELTRIN_CLI_PATH), std::string("update"), std::string("--server"),
              server_->Origin() + "/pipette-update", std::string("--ca-file"), certs_.CaCertFile,
              std::string("--port"), port, std::string("--history-file"), output + ".history",
              std::string("--yes")}) {
            command += "'" + arg + "' ";
        }
        command += "< /dev/null > '" + output + "' 2>&1";
        CliResult result;
        const int status = std::system(command.c_str());
        if (status != -1 && WIFEXITED(status))
            result.Status = WEXITSTATUS(status);
        std::ifstream in(output);
        std::stringstream text;
        text << in.rdbuf();
        result.Out = text.str();
        std::filesystem::remove(output);
        std::filesystem::remove(output + ".history");
        return result;
    }
};

enum class Setup { Missing, NoPermission, Held, Silent, Unsupported };

struct CauseCase {
    const char* Name;
    Setup How;
    const char* Line;  // what follows "<port>: "
};

TEST_F(CliPortCausesTest, EachPortAskedGetsItsOwnReason) {
    Publish();
    const CauseCase cases[] = {
        {"mistyped port", Setup::Missing, "no such port"},
        {"no permission", Setup::NoPermission, "permission denied for /dev/"},
        {"held by another program", Setup::Held, "held by another program ("},
        {"silent", Setup::Silent, "no answer ("},
        {"unsupported type", Setup::Unsupported,
         "a device of an unsupported type (device type 5, "},
    };
    for (const CauseCase& c : cases) {
        if (c.How == Setup::NoPermission && geteuid() != 0) {
            std::cout << "skipped without root: " << c.Name << '\n';
            continue;
        }
        SimOptions options = DeviceOptions(c.How == Setup::Unsupported ? 5 : 9);
        if (c.How == Setup::Silent) {
            SimFault silence;
            silence.Kind = SimFaultKind::Silence;
            silence.Repeat = 0;
            options.Faults = {silence};
        }
        PipetteSimulator sim(options);
        ASSERT_EQ(sim.Start(), 0) << c.Name;
        const std::string port = c.How == Setup::Missing ? "ttyNOPE97" : sim.PortName();
        PortHolderProcess holder;
        if (c.How == Setup::Held) {
            ASSERT_TRUE(holder.Start(port)) << c.Name;
        }

        const CliResult result = c.How == Setup::NoPermission
                                     ? RunAsNobody(port)
                                     : RunUpdate(sim, true, "", {}, "", nullptr, port);
        EXPECT_EQ(result.Status, kUpdateNoDevice) << c.Name << result.Out;
        EXPECT_TRUE(Contains(result.Out, kNoDevice)) << c.Name << result.Out;
        EXPECT_TRUE(Contains(result.Out, "\n" + port + ": " + c.Line)) << c.Name << result.Out;
        EXPECT_FALSE(Contains(result.Out, "group 'root'")) << c.Name << result.Out;
        if (c.How == Setup::Held) {
            EXPECT_TRUE(Contains(result.Out, "process " + std::to_string(holder.ProcessId())))
                << result.Out;
        }
        if (c.How == Setup::NoPermission) {
            // A pseudo-terminal's group may not read it: joining it would not help.
            EXPECT_TRUE(Contains(result.Out, "an administrator must grant it")) << result.Out;
        }
    }
}

}  // namespace
}  // namespace veltrin
