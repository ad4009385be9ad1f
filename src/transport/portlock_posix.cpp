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
#include <cstring>
#include <string>

#include "transport/portlock.h"
#include "transport/portlockfolder_posix.h"
#include "transport/portlockname.h"

namespace veltrin {

namespace {

// A folder every user of the computer shares, so two users' runs meet one lock: writable by all
// and sticky (no user can remove another's file), as /run/lock and /tmp are. The choice must not
// depend on who asks: a per-user folder, or one only some users may write to, would put two
// users' locks for one port in two places.
std::string LockFolder() {
    return SharedLockFolder({"/run/lock", "/var/lock", "/tmp"});
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

// strerrordesc_np, unlike strerror, is safe in the probe threads of a parallel search.
std::string ErrorName(int error) {
    const char* text = strerrordesc_np(error);
    return text != nullptr ? text : "error " + std::to_string(error);
}

// What is wrong with a lock path that could not be opened, as the end of a sentence that names it.
std::string OpenFault(int error) {
    switch (error) {
        case ELOOP:
            return "is a symbolic link, not a lock file: remove it";
        case EISDIR:
            return "is a folder, not a lock file: remove it";
        case ENXIO:
        case EOPNOTSUPP:
            return "is not a regular file: remove it";
        case EACCES:
        case EPERM:
            return "cannot be opened by this user: remove it";
        default:
            return "cannot be opened (" + ErrorName(error) + ")";
    }
}

// The folder is writable by everyone: never follow a planted link, never block on a planted
// fifo, never write through a second name of someone else's file. A lock file that not every
// user can open would keep the others out or let them in unlocked, so it is refused as well.
// Returns the descriptor, or -1 with fault saying what is wrong.
int OpenLockFile(const std::string& path, bool& writable, std::string& fault) {
    constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    writable = true;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | kFlags, 0666);
    if (fd < 0 && errno == EACCES) {
        // Another user's lock file: flock works on a descriptor opened for reading too.
        writable = false;
        fd = open(path.c_str(), O_RDONLY | kFlags);
    }
    if (fd < 0) {
        fault = OpenFault(errno);
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        fault = "is not a regular file: remove it";
    } else if (info.st_nlink != 1) {
        fault = "has a second name (a hard link): remove it";
    } else {
        // Others must be able to open it after us (the mode is cut by our umask).
        if (writable && info.st_uid == geteuid() && (info.st_mode & 0777) != 0666)
            static_cast<void>(fchmod(fd, 0666));
        if (info.st_uid == geteuid() || (info.st_mode & 0444) == 0444)
            return fd;
        fault = "cannot be read by every user: remove it";
    }
    close(fd);
    return -1;
}

// Whether the path still names the file that fd has open: a file removed (by its owner) between
// our open and our flock would be a lock that no later run sees.
bool StillNamed(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return fstat(fd, &opened) == 0 && lstat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
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
    // Any failure from here on means the port cannot be had: a lock that is not taken is never
    // taken for a free port.
    bool writable = false;
    int fd = -1;
    for (int attempt = 0; attempt < 3 && fd < 0; ++attempt) {
        std::string fault;
        fd = OpenLockFile(path, writable, fault);
        if (fd < 0) {
            holder.LockFault = path + " " + fault;
            return EBUSY;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            if (error == EWOULDBLOCK)
                holder = ReadHolder(fd);
            else
                holder.LockFault = path + " cannot be locked (" + ErrorName(error) + ")";
            close(fd);
            return EBUSY;
        }
        if (!StillNamed(fd, path)) {
            close(fd);
            fd = -1;
        }
    }
    if (fd < 0) {
        holder.LockFault = path + " keeps being replaced: find out who replaces it";
        return EBUSY;
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
