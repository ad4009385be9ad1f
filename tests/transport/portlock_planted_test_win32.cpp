// Another kind of kernel object under a port's lock name (here an event) makes the port unusable,
// never free, and the refusal names the object.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "transport/portlock.h"
#include "transport/portlockname.h"

namespace veltrin {
namespace {

TEST(PortLockPlantedTest, AnObjectOfAnotherKindMakesThePortInUseAndIsNamed) {
    const std::string port = "COM" + std::to_string(200 + GetCurrentProcessId() % 50);
    const std::wstring name = L"Global\\veltrin-port-" + std::wstring(port.begin(), port.end());
    const HANDLE planted = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    ASSERT_NE(planted, nullptr);

    std::unique_ptr<PortLock> lock;
    PortLockHolder holder;
    EXPECT_EQ(AcquirePortLock(port, lock, holder), PortInUseError());
    EXPECT_EQ(lock, nullptr);
    EXPECT_EQ(holder.LockFault.find("Global\\veltrin-port-" + PortLockKey(port)), 0u)
        << holder.LockFault;

    CloseHandle(planted);
    EXPECT_EQ(AcquirePortLock(port, lock, holder), 0) << holder.LockFault;
}

}  // namespace
}  // namespace veltrin
