// clang-format off
#include <windows.h>
// clang-format on

#include <algorithm>
#include <array>
#include <cwctype>
#include <system_error>

#include "download/httpsclient.h"
#include "download/regularfile.h"

namespace veltrin {

namespace {

std::string SystemText(DWORD error) {
    return std::system_category().message(static_cast<int>(error));
}

// "COM1", "nul.txt", "LPT3.hex": Windows opens the device of that name in any folder, so such
// a name is refused before anything is opened.
bool IsDeviceName(const std::filesystem::path& path) {
    std::wstring stem = path.filename().wstring();
    stem = stem.substr(0, stem.find(L'.'));
    while (!stem.empty() && (stem.back() == L' ' || stem.back() == L':')) {
        stem.pop_back();
    }
    std::transform(stem.begin(), stem.end(), stem.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    static const wchar_t* const kNames[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    if (std::find(std::begin(kNames), std::end(kNames), stem) != std::end(kNames)) {
        return true;
    }
    return stem.size() == 4 &&
           (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
           stem[3] >= L'0' && stem[3] <= L'9';
}

// A path that leads to a named pipe must not let the pipe's server act as this user.
constexpr DWORD kOpenFlags = FILE_FLAG_SEQUENTIAL_SCAN | SECURITY_SQOS_PRESENT | SECURITY_ANONYMOUS;

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

int ReadRegularFile(const std::filesystem::path& path, BodySink& sink, std::string& why) {
    if (IsDeviceName(path)) {
        why = "The file is no regular file (a device)";
        return HTTPS_ERR_TRANSFER;
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        why = "The file is a folder";
        return HTTPS_ERR_TRANSFER;
    }
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, kOpenFlags, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        why = "The file cannot be opened: " + SystemText(GetLastError());
        return HTTPS_ERR_TRANSFER;
    }
    // A pipe or a character device would block the reader or talk to hardware.
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) {
        why = "The file is no regular file (a pipe or a device)";
        return HTTPS_ERR_TRANSFER;
    }
    std::array<char, 64 * 1024> buffer;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got,
                      nullptr)) {
            why = "The file could not be read: " + SystemText(GetLastError());
            return HTTPS_ERR_TRANSFER;
        }
        if (got == 0) {
            return HTTPS_OK;
        }
        if (!sink.Append(buffer.data(), got)) {
            return sink.Refusal();
        }
    }
}

}  // namespace veltrin
