// Port locks as lock files under the system's lock folder, held with flock. The kernel drops a
// flock when the last descriptor of the open file goes, so a process that dies releases its
// ports whatever killed it. The files themselves stay: removing a lock file that another run may
// be opening at that moment would let two runs lock two different files of one name.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "transport/portlock.h"
#include "transport/portlockname.h"

namespace veltrin {

namespace {

// /run/lock is kept world-writable for exactly this; the others for systems without it.
std::string LockFolder() {
    const char* candidates[] = {"/run/lock", "/var/lock", std::getenv("TMPDIR"), "/tmp"};
    for (const char* folder : candidates) {
        struct stat info {};
        if (folder != nullptr && *folder == '/' && stat(folder, &info) == 0 &&
            S_ISDIR(info.st_mode) && access(folder, W_OK | X_OK) == 0) {
            return folder;
        }
    }
    return {};
}

std::string ProgramName() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0)
        return {};
    const std::string full(path, static_cast<std::size_t>(length));
    return full.substr(full.find_last_of('/') + 1);
}

class FileLock final : public PortLock {
public:
    FileLock(int fd, bool writable) : fd_(fd), writable_(writable) {}
    ~FileLock() override {
        // Empty before the lock goes, so no later reader takes this process for the holder.
        if (writable_ && ftruncate(fd_, 0) != 0) {
            // Nothing more to do: the lock goes with the descriptor all the same.
        }
        close(fd_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_;
    bool writable_;
};

PortLockHolder ReadHolder(int fd) {
    PortLockHolder holder;
    char buffer[256];
    const ssize_t length = pread(fd, buffer, sizeof(buffer), 0);
    long processId = 0;
    std::string program;
    if (length > 0 &&
        ParseHolderWord(std::string(buffer, static_cast<std::size_t>(length)), processId,
                        program) &&
        (kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM)) {
        holder.ProcessId = processId;
        holder.Program = program;
    }
    return holder;
}

// The folder is writable by everyone: never follow a planted link, never block on a planted
// fifo, never write through a second name of someone else's file.
int OpenLockFile(const std::string& path, bool& writable) {
    constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    writable = true;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | kFlags, 0666);
    if (fd < 0 && errno == EACCES) {
        // Another user's lock file: flock works on a descriptor opened for reading too.
        writable = false;
        fd = open(path.c_str(), O_RDONLY | kFlags);
    }
    if (fd < 0)
        return -errno;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1) {
        close(fd);
        return -EPERM;
    }
    // Others must be able to open it for writing after us (the mode is cut by our umask).
    if (writable && info.st_uid == geteuid())
        static_cast<void>(fchmod(fd, 0666));
    return fd;
}

}  // namespace

int PortInUseError() {
    return EBUSY;
}

int AcquirePortLock(const std::string& portName, std::unique_ptr<PortLock>& lock,
                    PortLockHolder& holder) {
    lock.reset();
    holder = PortLockHolder{};
    const std::string folder = LockFolder();
    if (folder.empty())
        return ENOENT;
    const std::string path = folder + "/veltrin-port-" + PortLockKey(portName) + ".lock";
    bool writable = false;
    const int fd = OpenLockFile(path, writable);
    if (fd < 0)
        return -fd;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK)
            holder = ReadHolder(fd);
        close(fd);
        return error == EWOULDBLOCK ? EBUSY : error;
    }
    if (writable) {
        const std::string word = HolderWord(static_cast<long>(getpid()), ProgramName());
        if (ftruncate(fd, 0) != 0 ||
            pwrite(fd, word.data(), word.size(), 0) != static_cast<ssize_t>(word.size())) {
            // The lock holds all the same; only the word for others is missing.
            if (ftruncate(fd, 0) != 0) {
                // An empty or partial word reads as "holder unknown".
            }
        }
    }
    try {
        lock = std::make_unique<FileLock>(fd, writable);
    } catch (...) {
        close(fd);
        return ENOMEM;
    }
    return 0;
}

}  // namespace veltrin
