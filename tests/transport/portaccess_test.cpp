#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "support/ptypair.h"
#include "transport/portaccess.h"

using namespace veltrin;
using veltrin::testsupport::PtyPair;

TEST(PortAccessTest, NothingToSayForMissingOrUsablePorts) {
    EXPECT_EQ(PortAccessProblem("ttyNOPE9"), "");
    PtyPair pty;
    EXPECT_EQ(PortAccessProblem(pty.PortName()), "");
}

// A user outside the device's group is told to join it only where that group may open the port;
// otherwise (a root-only device, a group that may not read) that an administrator must grant
// access. Needs root to give the pseudo-terminal an owner and to become an unprivileged user.
TEST(PortAccessTest, AUserWithoutAccessIsToldTheFixThatWorks) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to switch to an unprivileged user";
    struct Case {
        const char* Name;
        gid_t Group;
        mode_t Mode;
        const char* Expected;  // what the advice says after the path
    };
    const Case cases[] = {
        {"dialout may open it", 20, 0660, "add your user to the group 'dialout'"},
        {"root's group", 0, 0660, "an administrator must grant it"},
        {"group may only write", 5, 0620, "an administrator must grant it"},
        {"group may only read", 20, 0640, "an administrator must grant it"},
    };
    for (const Case& c : cases) {
        PtyPair pty;
        const std::string port = pty.PortName();
        const std::string path = "/dev/" + port;
        ASSERT_EQ(chown(path.c_str(), 0, c.Group), 0) << c.Name;
        ASSERT_EQ(chmod(path.c_str(), c.Mode), 0) << c.Name;
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeEnds[0]);
            if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
                _exit(2);
            const std::string problem = PortAccessProblem(port);
            _exit(write(pipeEnds[1], problem.data(), problem.size()) ==
                          static_cast<ssize_t>(problem.size())
                      ? 0
                      : 1);
        }
        close(pipeEnds[1]);
        std::string problem;
        char buffer[512];
        for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof(buffer))) > 0;)
            problem.append(buffer, static_cast<std::size_t>(n));
        close(pipeEnds[0]);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.Name;
        EXPECT_EQ(problem.find("permission denied for " + path + ": "), 0u) << c.Name << problem;
        EXPECT_NE(problem.find(c.Expected), std::string::npos) << c.Name << ": " << problem;
        EXPECT_EQ(problem.find("group 'root'"), std::string::npos) << c.Name << ": " << problem;
    }
}
