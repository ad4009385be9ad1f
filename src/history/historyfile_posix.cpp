#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "history/historyfile.h"

namespace veltrin {

namespace {

std::string ErrnoText(int error) {
    return std::system_category().message(error);
}

// The descriptor and its lock are released on every way out.
class LockedFile {
public:
    explicit LockedFile(int fd) : fd_(fd) {}
    ~LockedFile() {
        if (fd_ >= 0) {
            flock(fd_, LOCK_UN);
            close(fd_);
        }
    }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    int Fd() const { return fd_; }

private:
    int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t size, int& error) {
    while (size != 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// True when the file is not empty and its last byte is not a line break.
bool EndsInPartialLine(int fd) {
    struct stat status {};
    if (fstat(fd, &status) != 0 || status.st_size == 0)
        return false;
    char last = '\n';
    return pread(fd, &last, 1, status.st_size - 1) == 1 && last != '\n';
}

}  // namespace

std::string DefaultHistoryFile() {
    std::filesystem::path folder;
    const char* state = std::getenv("XDG_STATE_HOME");
    // The base directory rules ignore a relative path.
    if (state != nullptr && state[0] == '/') {
        folder = state;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == '\0')
            return {};
        folder = std::filesystem::path(home) / ".local" / "state";
    }
    return (folder / "veltrin" / "history.jsonl").string();
}

std::string NoHistoryLocationText() {
    return std::string(HistoryResultText(HISTORY_ERR_NO_LOCATION)) +
           ": neither XDG_STATE_HOME nor HOME is set";
}

std::string ComputerName() {
    char name[256] = {};
    if (gethostname(name, sizeof(name) - 1) != 0)
        return {};
    return name;
}

std::string AccountName() {
    // The effective user: the one whose rights opened the port.
    const passwd* entry = getpwuid(geteuid());
    if (entry == nullptr || entry->pw_name == nullptr)
        return {};
    return entry->pw_name;
}

int AppendHistoryLine(const std::string& fileName, const std::string& line,
                      std::string& systemError) {
    systemError.clear();
    if (fileName.empty())
        return HISTORY_ERR_NO_LOCATION;
    const std::filesystem::path path(fileName);
    if (path.has_parent_path()) {
        std::error_code code;
        std::filesystem::create_directories(path.parent_path(), code);
        if (code) {
            systemError = code.message();
            return HISTORY_ERR_FOLDER;
        }
    }

    // O_APPEND puts every write at the end, also against writers that take no lock.
    const int fd = open(fileName.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        systemError = ErrnoText(errno);
        return HISTORY_ERR_OPEN;
    }
    LockedFile file(fd);
    // flock, not fcntl: its lock belongs to the open file, so two threads of one process
    // exclude each other as two processes do.
    while (flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            systemError = ErrnoText(errno);
            return HISTORY_ERR_LOCK;
        }
    }

    std::string text;
    text.reserve(line.size() + 2);
    if (EndsInPartialLine(fd))
        text += '\n';
    text += line;
    text += '\n';
    int error = 0;
    if (!WriteAll(fd, text.data(), text.size(), error)) {
        systemError = ErrnoText(error);
        return HISTORY_ERR_WRITE;
    }
    if (fsync(fd) != 0) {
        systemError = ErrnoText(errno);
        return HISTORY_ERR_FLUSH;
    }
    return HISTORY_OK;
}

}  // namespace veltrin
