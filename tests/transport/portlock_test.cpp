// The port lock between update runs: one holder at a time under any spelling of the port, the
// holder named to the one refused, and a holder that is killed leaves the port free.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "lockholderprocess.h"
#include "transport/portlock.h"
#include "transport/portlockname.h"
#include "transport/portname.h"

namespace veltrin {

// The system's own full spelling of a bare port name (lockholderprocess_*.cpp).
std::string FullPortSpelling(const std::string& port);

namespace {

// A name no real port has; the test's own start time keeps concurrent runs of it apart.
std::string TestPortName() {
    static const std::string name =
        "ttyLOCKTEST" +
        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007);
    return name;
}

TEST(PortLockTest, OneRunAtATimeUnderEverySpelling) {
    const std::string port = TestPortName();
    std::unique_ptr<PortLock> first;
    PortLockHolder holder;
    ASSERT_EQ(AcquirePortLock(port, first, holder), 0);
    ASSERT_NE(first, nullptr);

    // Also this process cannot claim it twice: two workers of one program are two runs.
    for (const std::string& spelling : {port, " " + port + " ", FullPortSpelling(port)}) {
        std::unique_ptr<PortLock> second;
        EXPECT_EQ(AcquirePortLock(spelling, second, holder), PortInUseError()) << spelling;
        EXPECT_EQ(second, nullptr) << spelling;
        EXPECT_NE(holder.ProcessId, 0) << spelling;
    }
    first.reset();
    std::unique_ptr<PortLock> again;
    EXPECT_EQ(AcquirePortLock(FullPortSpelling(port), again, holder), 0);
}

TEST(PortLockTest, AnotherProcessIsNamedAndItsDeathFreesThePort) {
    const std::string port = TestPortName() + "K";
    test::LockHolderProcess child;
    ASSERT_TRUE(child.Start(port));

    std::unique_ptr<PortLock> lock;
    PortLockHolder holder;
    EXPECT_EQ(AcquirePortLock(port, lock, holder), PortInUseError());
    EXPECT_EQ(holder.ProcessId, child.ProcessId());
    EXPECT_NE(holder.Program.find("test_portlock"), std::string::npos) << holder.Program;
    EXPECT_EQ(PortLockHolderText(holder),
              holder.Program + ", process " + std::to_string(child.ProcessId()));

    child.Kill();
    EXPECT_EQ(AcquirePortLock(port, lock, holder), 0);
    EXPECT_NE(lock, nullptr);
}

TEST(PortLockTest, LockNamesKeepPortsApartAndInsideTheirFolder) {
    EXPECT_NE(PortLockKey("pts/7").find("%2F7"), std::string::npos) << PortLockKey("pts/7");
    EXPECT_NE(PortLockKey("pts/7"), PortLockKey("pts_7"));
    EXPECT_EQ(PortLockKey("../../etc/passwd").find('/'), std::string::npos);
}

TEST(PortLockTest, HolderWordsAreReadBackOnlyWhole) {
    struct Case {
        const char* Word;
        bool Parsed;
        long ProcessId;
        const char* Program;
    };
    const Case cases[] = {
        {"1234 veltrin-cli\n", true, 1234, "veltrin-cli"},
        {"77 \n", true, 77, ""},
        {"1234 veltrin-cli", false, 0, ""},  // the holder is still writing
        {"", false, 0, ""},
        {"0 x\n", false, 0, ""},
        {"-5 x\n", false, 0, ""},
        {"12x4 y\n", false, 0, ""},
        {"99999999999999999999 z\n", false, 0, ""},
        {"5 a\033[2Jb\n", true, 5, "a[2Jb"},  // no terminal control from a lock file
    };
    for (const auto& c : cases) {
        long processId = -1;
        std::string program = "stale";
        EXPECT_EQ(ParseHolderWord(c.Word, processId, program), c.Parsed) << c.Word;
        EXPECT_EQ(processId, c.ProcessId) << c.Word;
        EXPECT_EQ(program, c.Program) << c.Word;
    }
    EXPECT_EQ(PortLockHolderText({}), "another program");
    EXPECT_EQ(PortLockHolderText({42, "", ""}), "process 42");
}

// Not a test of its own: the second process of the test above (see LockHolderProcess).
TEST(PortLockHolderChild, HoldsThePortUntilKilled) {
    const char* port = std::getenv(test::kLockHolderVariable);
    if (port == nullptr)
        GTEST_SKIP() << "only as the lock holder of another test";
    std::unique_ptr<PortLock> lock;
    PortLockHolder holder;
    ASSERT_EQ(AcquirePortLock(port, lock, holder), 0);
    std::printf("held\n");
    std::fflush(stdout);
    // Killed by the parent long before; the limit only keeps a lost child from staying forever.
    std::this_thread::sleep_for(std::chrono::seconds(60));
}

}  // namespace
}  // namespace veltrin
