// A lock file is in a folder every user may write to: whatever another user plants under a
// port's lock name makes the port unusable (never free), and the refusal says what is wrong.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "support/tempdirectory.h"
#include "transport/portlock.h"
#include "transport/portlockfolder_posix.h"
#include "transport/portlockname.h"

namespace veltrin {
namespace {

namespace fs = std::filesystem;
using test::TempDirectory;

std::string SystemLockFolder() {
    return SharedLockFolder({"/run/lock", "/var/lock", "/tmp"});
}

std::string Read(const std::string& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct PlantCase {
    const char* Name;
    std::function<void(const std::string& lock, const std::string& other)> Plant;
    const char* Fault;
};

TEST(PortLockPlantedTest, APlantedObjectMakesThePortInUseAndIsNamed) {
    const std::string folder = SystemLockFolder();
    ASSERT_FALSE(folder.empty());
    const auto mode000 = [](const std::string& lock, const std::string&) {
        std::ofstream(lock).put('x');
        chmod(lock.c_str(), 0);
        // As another user's file: root could open any file, so it must not be ours.
        if (geteuid() == 0) {
            ASSERT_EQ(chown(lock.c_str(), 65534, 65534), 0);
        }
    };
    const PlantCase cases[] = {
        {"fifo", [](const std::string& lock, const std::string&) { mkfifo(lock.c_str(), 0666); },
         "is not a regular file: remove it"},
        {"symbolic link",
         [](const std::string& lock, const std::string& other) {
             std::ofstream(other) << "victim";
             ASSERT_EQ(symlink(other.c_str(), lock.c_str()), 0);
         },
         "is a symbolic link, not a lock file: remove it"},
        {"folder", [](const std::string& lock, const std::string&) { mkdir(lock.c_str(), 0777); },
         "is a folder, not a lock file: remove it"},
        {"mode 000", mode000, "remove it"},
        {"hard link",
         [](const std::string& lock, const std::string& other) {
             std::ofstream(other) << "victim";
             ASSERT_EQ(link(other.c_str(), lock.c_str()), 0);
         },
         "has a second name (a hard link): remove it"},
    };
    const std::string stamp =
        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007);
    for (const PlantCase& c : cases) {
        const std::string port = "ttyPLANT" + stamp + std::to_string(&c - cases);
        const std::string lock = folder + "/veltrin-port-" + PortLockKey(port) + ".lock";
        const std::string other = folder + "/veltrin-planted-" + stamp + ".victim";
        c.Plant(lock, other);

        std::unique_ptr<PortLock> held;
        PortLockHolder holder;
        EXPECT_EQ(AcquirePortLock(port, held, holder), PortInUseError()) << c.Name;
        EXPECT_EQ(held, nullptr) << c.Name;
        EXPECT_EQ(holder.LockFault.find(lock + " "), 0u) << c.Name << ": " << holder.LockFault;
        EXPECT_NE(holder.LockFault.find(c.Fault), std::string::npos)
            << c.Name << ": " << holder.LockFault;
        if (fs::exists(other)) {
            EXPECT_EQ(Read(other), "victim") << c.Name << ": written through";
        }

        std::error_code ignored;
        fs::remove(lock, ignored);
        fs::remove(other, ignored);
        // Once the object is gone the port is free again.
        EXPECT_EQ(AcquirePortLock(port, held, holder), 0) << c.Name;
        held.reset();
        fs::remove(lock, ignored);
    }
}

TEST(PortLockPlantedTest, TheLockFolderIsOneEveryUserShares) {
    TempDirectory dir;
    const auto folder = [&](const char* name, mode_t mode) {
        const std::string path = dir.File(name);
        fs::create_directory(path);
        chmod(path.c_str(), mode);
        return path;
    };
    const std::string personal = folder("personal", 0700);
    const std::string open = folder("open-not-sticky", 0777);
    const std::string shared = folder("shared", 01777);
    const std::string file = dir.File("file");
    std::ofstream(file) << "x";
    const std::string link = dir.File("link-to-shared");
    fs::create_directory_symlink(shared, link);
    struct Case {
        std::vector<std::string> Candidates;
        std::string Chosen;
    };
    const Case cases[] = {
        {{personal, shared}, shared},
        {{open, file, link}, link},
        {{dir.File("missing"), "relative", shared}, shared},
        {{personal, open, file}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SharedLockFolder(c.Candidates), c.Chosen) << c.Candidates.front();
}

}  // namespace
}  // namespace veltrin
