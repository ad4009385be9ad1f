#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "history/historyfile.h"

namespace veltrin {

namespace {

std::string Utf8(const wchar_t* text, int length) {
    if (length <= 0)
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
    return result;
}

std::wstring Wide(const std::string& text) {
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, result.data(), size);
    return result;
}

std::string SystemText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = Utf8(buffer, static_cast<int>(length));
    if (buffer != nullptr)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text.empty() ? "error " + std::to_string(error) : text;
}

// The handle and its lock are released on every way out.
class LockedFile {
public:
    explicit LockedFile(HANDLE handle) : handle_(handle) {}
    ~LockedFile() {
        if (locked_) {
            OVERLAPPED whole = {};
            UnlockFileEx(handle_, 0, MAXDWORD, MAXDWORD, &whole);
        }
        CloseHandle(handle_);
    }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    bool Lock() {
        // The whole possible range, so every writer contends for the same bytes; blocks until
        // the other writer is done.
        OVERLAPPED whole = {};
        locked_ = LockFileEx(handle_, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) != 0;
        return locked_;
    }
    HANDLE Handle() const { return handle_; }

private:
    HANDLE handle_;
    bool locked_ = false;
};

bool EndsInPartialLine(HANDLE handle) {
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(handle, &size) || size.QuadPart == 0)
        return false;
    OVERLAPPED at = {};
    const std::uint64_t offset = static_cast<std::uint64_t>(size.QuadPart - 1);
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    char last = '\n';
    DWORD read = 0;
    return ReadFile(handle, &last, 1, &read, &at) && read == 1 && last != '\n';
}

}  // namespace

std::string DefaultHistoryFile() {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (local == nullptr || local[0] == L'\0')
        return {};
    const std::filesystem::path file = std::filesystem::path(local) / L"Veltrin" / L"history.jsonl";
    const std::wstring wide = file.wstring();
    return Utf8(wide.c_str(), static_cast<int>(wide.size()));
}

std::string NoHistoryLocationText() {
    return std::string(HistoryResultText(HISTORY_ERR_NO_LOCATION)) + ": %LOCALAPPDATA% is not set";
}

std::string ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &length))
        return {};
    return Utf8(name, static_cast<int>(length));
}

std::string AccountName() {
    wchar_t name[257] = {};  // UNLEN + 1
    DWORD length = 257;
    if (!GetUserNameW(name, &length) || length == 0)
        return {};
    return Utf8(name, static_cast<int>(length - 1));  // length counts the terminating zero
}

int AppendHistoryLine(const std::string& fileName, const std::string& line,
                      std::string& systemError) {
    systemError.clear();
    if (fileName.empty())
        return HISTORY_ERR_NO_LOCATION;
    const std::filesystem::path path(Wide(fileName));
    if (path.has_parent_path()) {
        std::error_code code;
        std::filesystem::create_directories(path.parent_path(), code);
        if (code) {
            systemError = code.message();
            return HISTORY_ERR_FOLDER;
        }
    }

    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write lands at the end of the file.
    // Sharing everything lets the window and command-line runs open it at the same time; the
    // lock below orders their records.
    const HANDLE handle =
        CreateFileW(path.c_str(), GENERIC_READ | FILE_APPEND_DATA,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        systemError = SystemText(GetLastError());
        return HISTORY_ERR_OPEN;
    }
    LockedFile file(handle);
    if (!file.Lock()) {
        systemError = SystemText(GetLastError());
        return HISTORY_ERR_LOCK;
    }

    std::string text;
    text.reserve(line.size() + 2);
    if (EndsInPartialLine(handle))
        text += '\n';
    text += line;
    text += '\n';
    const char* data = text.data();
    std::size_t left = text.size();
    while (left != 0) {
        const DWORD chunk = left > 0x10000000u ? 0x10000000u : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(handle, data, chunk, &written, nullptr) || written == 0) {
            systemError = SystemText(GetLastError());
            return HISTORY_ERR_WRITE;
        }
        data += written;
        left -= written;
    }
    if (!FlushFileBuffers(handle)) {
        systemError = SystemText(GetLastError());
        return HISTORY_ERR_FLUSH;
    }
    return HISTORY_OK;
}

}  // namespace veltrin
