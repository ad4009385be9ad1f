// The shutdown inhibitor against a real D-Bus daemon with python3-dbusmock's login manager.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/logindbus.h"
#include "support/tempdirectory.h"
#include "transport/runinhibitor.h"

namespace veltrin {
namespace {

TEST(RunInhibitor, BlocksShutdownSleepAndThePowerKeysUntilReleased) {
    test::TempDirectory dir;
    test::LogindBus bus(dir.Path().string(), true);
    ASSERT_EQ(bus.Error(), "");

    std::unique_ptr<RunInhibitor> inhibitor;
    std::string problem;
    ASSERT_EQ(AcquireRunInhibitor(inhibitor, problem), 0) << problem;
    ASSERT_NE(inhibitor, nullptr);
    EXPECT_EQ(problem, "");
    std::vector<test::ListedInhibitor> held;
    ASSERT_TRUE(bus.ListInhibitors(held));
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0].What,
              "shutdown:sleep:idle:handle-power-key:handle-suspend-key:handle-hibernate-key:"
              "handle-lid-switch");
    EXPECT_EQ(held[0].Mode, "block");
    EXPECT_EQ(held[0].Why, kRunInhibitReason);
    EXPECT_FALSE(held[0].Who.empty());

    inhibitor.reset();
    EXPECT_TRUE(bus.WaitForInhibitorCount(0)) << "the lock outlived its holder";
}

// Containers, chroots and CI machines: the run goes on, told why it has no inhibitor.
TEST(RunInhibitor, WithoutLoginManagerOrBusNoneIsHeldAndTheProblemIsNamed) {
    test::TempDirectory dir;
    struct Case {
        const char* name;
        bool withBus;
        const char* problemStart;
    };
    for (const Case& c : {Case{"bus without logind", true, "the login manager refused"},
                          Case{"no bus at all", false, "no system bus"}}) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<test::LogindBus> bus;
        if (c.withBus) {
            bus = std::make_unique<test::LogindBus>((dir.Path() / "bus").string(), false);
            ASSERT_EQ(bus->Error(), "");
        } else {
            ::setenv("DBUS_SYSTEM_BUS_ADDRESS",
                     ("unix:path=" + (dir.Path() / "nobody-listens").string()).c_str(), 1);
        }
        std::unique_ptr<RunInhibitor> inhibitor;
        std::string problem;
        EXPECT_NE(AcquireRunInhibitor(inhibitor, problem), 0);
        EXPECT_EQ(inhibitor, nullptr);
        EXPECT_EQ(problem.rfind(c.problemStart, 0), 0u) << problem;
        ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    }
}

}  // namespace
}  // namespace veltrin
