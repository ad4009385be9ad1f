// clang-format off
#include <windows.h>
// clang-format on

#include <system_error>

#include "download/newfile.h"

namespace veltrin {

namespace {

std::string SystemText(DWORD error) {
    return std::system_category().message(static_cast<int>(error));
}

}  // namespace

int WriteNewFile(const std::filesystem::path& path, const void* data, std::size_t size,
                 std::string& why) {
    // CREATE_NEW fails on any existing name, a link included; the open reparse point flag
    // keeps a name that turns into a link meanwhile from being followed.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
            return NEW_FILE_EXISTS;
        }
        why = SystemText(error);
        return NEW_FILE_FAILED;
    }
    const char* next = static_cast<const char*>(data);
    bool written = true;
    DWORD error = ERROR_SUCCESS;
    while (size > 0 && written) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD done = 0;
        written = WriteFile(file, next, chunk, &done, nullptr) && done > 0;
        next += done;
        size -= done;
    }
    written = written && FlushFileBuffers(file);
    if (!written) {
        error = GetLastError();
    }
    if (!CloseHandle(file) || !written) {
        why = SystemText(written ? GetLastError() : error);
        DeleteFileW(path.c_str());
        return NEW_FILE_FAILED;
    }
    return NEW_FILE_OK;
}

std::string ReplaceByRename(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (!MoveFileExW(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return SystemText(GetLastError());
    }
    return {};
}

}  // namespace veltrin
