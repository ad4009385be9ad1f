#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <vector>

#include "data/anonymoustempfile.h"

namespace veltrin {

namespace {

// The user's temp folder, with its trailing backslash; empty when the system has none.
std::vector<wchar_t> TempFolder() {
    std::vector<wchar_t> folder(MAX_PATH + 1);
    DWORD length = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
    if (length > folder.size()) {
        folder.resize(length);
        length = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
    }
    if (length == 0 || length >= folder.size())
        return {};
    folder.resize(length + 1);
    return folder;
}

// Hands the handle to the C runtime as a stream; on failure the handle is closed, which also
// removes the file.
std::FILE* StreamForHandle(HANDLE handle) {
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (descriptor == -1) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, "w+b");
    if (file == nullptr)
        _close(descriptor);
    return file;
}

}  // namespace

// The C runtime's tmpfile() creates its file in the root of the current drive, which a normal
// user may not write. This file lives in the user's temp folder instead; nobody else may open
// it, and it vanishes with its last handle.
std::FILE* OpenAnonymousTempFile() {
    const std::vector<wchar_t> folder = TempFolder();
    if (folder.empty())
        return nullptr;
    // GetTempFileNameW creates the file under a name that no other file had, so the name
    // cannot be taken over between choosing it and opening it.
    wchar_t name[MAX_PATH] = {};
    if (GetTempFileNameW(folder.data(), L"vlt", 0, name) == 0)
        return nullptr;
    const HANDLE handle =
        CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DeleteFileW(name);
        return nullptr;
    }
    return StreamForHandle(handle);
}

}  // namespace veltrin
