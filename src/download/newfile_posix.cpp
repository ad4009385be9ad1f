#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "download/newfile.h"

namespace veltrin {

namespace {

std::string SystemText(int error) {
    return std::generic_category().message(error);
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

int WriteNewFile(const std::filesystem::path& path, const void* data, std::size_t size,
                 std::string& why) {
    const int fd =
        open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) {
        if (errno == EEXIST) {
            return NEW_FILE_EXISTS;
        }
        why = SystemText(errno);
        return NEW_FILE_FAILED;
    }
    const bool written = WriteAll(fd, static_cast<const char*>(data), size) && fsync(fd) == 0;
    const int writeError = errno;
    if (close(fd) != 0 || !written) {
        why = SystemText(written ? errno : writeError);
        unlink(path.c_str());
        return NEW_FILE_FAILED;
    }
    return NEW_FILE_OK;
}

std::string ReplaceByRename(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        return SystemText(errno);
    }
    return {};
}

}  // namespace veltrin
