#include <gtest/gtest.h>
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

// A user outside the device's group is told which group to join. Needs root to become such a
// user; a pseudo-terminal belongs to root and the group "tty" with no access for others.
TEST(PortAccessTest, AUserOutsideTheGroupIsToldTheFix) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to switch to an unprivileged user";
    PtyPair pty;
    const std::string port = pty.PortName();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
        const std::string problem = PortAccessProblem(port);
        const bool ok = problem.find("permission denied for /dev/" + port) == 0 &&
                        problem.find("sudo usermod -aG") != std::string::npos;
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
