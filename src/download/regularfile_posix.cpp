#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <system_error>

#include "download/httpsclient.h"
#include "download/regularfile.h"

namespace veltrin {

namespace {

std::string SystemText(int error) {
    return std::generic_category().message(error);
}

// Refuses anything but a regular file; why says what it is instead.
bool IsRegular(const struct stat& info, std::string& why) {
    if (S_ISREG(info.st_mode)) {
        return true;
    }
    why = S_ISDIR(info.st_mode) ? "The file is a folder"
                                : "The file is no regular file (a pipe, socket or device)";
    return false;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

int ReadRegularFile(const std::filesystem::path& path, BodySink& sink, std::string& why) {
    struct stat info = {};
    if (stat(path.c_str(), &info) != 0) {
        why = "The file cannot be opened: " + SystemText(errno);
        return HTTPS_ERR_TRANSFER;
    }
    if (!IsRegular(info, why)) {
        return HTTPS_ERR_TRANSFER;
    }
    // Non-blocking, and checked again on the open file: it may have been swapped for a FIFO
    // since the look above, and opening a FIFO for reading would otherwise wait for a writer.
    const FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.Get() < 0) {
        why = "The file cannot be opened: " + SystemText(errno);
        return HTTPS_ERR_TRANSFER;
    }
    if (fstat(file.Get(), &info) != 0) {
        why = "The file cannot be opened: " + SystemText(errno);
        return HTTPS_ERR_TRANSFER;
    }
    if (!IsRegular(info, why)) {
        return HTTPS_ERR_TRANSFER;
    }
    std::array<char, 64 * 1024> buffer;
    for (;;) {
        const ssize_t got = read(file.Get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            why = "The file could not be read: " + SystemText(errno);
            return HTTPS_ERR_TRANSFER;
        }
        if (got == 0) {
            return HTTPS_OK;
        }
        if (!sink.Append(buffer.data(), static_cast<std::size_t>(got))) {
            return sink.Refusal();
        }
    }
}

}  // namespace veltrin
