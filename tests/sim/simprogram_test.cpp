// The pipette-sim program as a person or a script runs it.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "rawclient.h"

using namespace veltrin::test;

extern char** environ;

namespace {

// Runs pipette-sim with its stdout on a pipe.
class Program {
public:
    explicit Program(std::vector<std::string> args) {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        args.insert(args.begin(), PIPETTE_SIM_PATH);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, PIPETTE_SIM_PATH, &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        out_ = ::fdopen(fds[0], "r");
    }
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ != nullptr)
            std::fclose(out_);
    }
    std::string ReadLine() {
        char line[256] = {};
        if (out_ == nullptr || std::fgets(line, sizeof line, out_) == nullptr)
            return {};
        std::string text(line);
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        return text;
    }
    void Signal(int signal) { ::kill(pid_, signal); }
    int Wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    std::FILE* out_ = nullptr;
};

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(SimProgramTest, ServesThePortLogsAndDumpsOnTermination) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("pipette-sim-test-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    // Before the program starts: it opens its log at once.
    std::filesystem::create_directories(dir);
    Program program({"--type", "10", "--log", (dir / "log.txt").string(), "--dump",
                     (dir / "dump").string(), "--fault", "nak:at=2"});
    const std::string port = program.ReadLine();
    ASSERT_EQ(port.rfind("pts/", 0), 0u) << port;

    {
        RawClient client("/dev/" + port);
        ASSERT_TRUE(client.IsOpen());
        const RawClient::Reply id = client.Exchange(Request(0x0001, {}, 0xFF));
        ASSERT_TRUE(id.FrameOk);
        EXPECT_EQ(Uint16At(id.Message, 10), 10);
        EXPECT_EQ(client.Exchange(Request(0x0002)).First, 0x15);
        std::vector<std::uint8_t> block = {0, 0, 0x00, 0x00, 0x40, 0x00, 4, 0, 1, 0, 1, 2, 3, 4};
        EXPECT_TRUE(client.Exchange(Request(0x0202, block)).FrameOk);
    }
    // SIGUSR1 unplugs, SIGUSR2 plugs in again under a new name printed as the next line.
    program.Signal(SIGUSR1);
    program.Signal(SIGUSR2);
    const std::string again = program.ReadLine();
    EXPECT_EQ(again.rfind("pts/", 0), 0u) << again;
    EXPECT_NE(again, port);

    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(), 0);

    const std::string log = ReadAll(dir / "log.txt");
    EXPECT_NE(log.find("#1 ReadDeviceId len=10 status=0x0000 mode=1 answered"), std::string::npos)
        << log;
    EXPECT_NE(log.find("#2 ReadDeviceMode len=10 status=0x0000 mode=1 nak"), std::string::npos);
    EXPECT_NE(ReadAll(dir / "dump" / "state.txt").find("device-type: 10"), std::string::npos);
    EXPECT_EQ(ReadAll(dir / "dump" / "memory-ext-flash.txt"),
              "0x00400000 4 memory-ext-flash-00400000.bin\n");
    EXPECT_EQ(ReadAll(dir / "dump" / "memory-ext-flash-00400000.bin"), "\x01\x02\x03\x04");
    EXPECT_EQ(ReadAll(dir / "dump" / "boot-record.bin").size(), 64u);
    EXPECT_EQ(ReadAll(dir / "dump" / "requests.txt").size(), log.size());
    std::filesystem::remove_all(dir);
}

TEST(SimProgramTest, BadArgumentsExitWithUsage) {
    Program program({"--fault", "explode"});
    EXPECT_EQ(program.ReadLine(), "");
    EXPECT_EQ(program.Wait(), 2);
}

}  // namespace
