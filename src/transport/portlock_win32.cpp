// Port locks as named kernel objects. A mutex in the global namespace is the lock: it exists
// exactly as long as some process holds a handle to it, so creating it anew means the port is
// free, and the system closes the handles of a process that ends in any way. Its ownership is
// never taken, since that would tie the lock to one thread. Beside it a small named memory
// section carries the holder's process id and name for the message of a refused run; sections
// in the global namespace need a privilege ordinary users lack, so that word is seen only within
// one session, while the lock itself is shared by every session.
#include <windows.h>

#include <cstring>
#include <string>

#include "common/widetext_win32.h"
#include "transport/portlock.h"
#include "transport/portlockname.h"

namespace veltrin {

namespace {

constexpr DWORD kHolderWordSize = 256;

std::wstring LockObjectName(const std::string& portName) {
    return L"Global\\veltrin-port-" + WideFromUtf8(PortLockKey(portName));
}

std::wstring HolderSectionName(const std::string& portName) {
    return L"Local\\veltrin-port-holder-" + WideFromUtf8(PortLockKey(portName));
}

std::string ProgramName() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::wstring name(path, length);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos)
        name.erase(dot);
    return Utf8FromWide(name);
}

class NamedObjectLock final : public PortLock {
public:
    NamedObjectLock(HANDLE mutex, HANDLE section) : mutex_(mutex), section_(section) {}
    ~NamedObjectLock() override {
        if (section_ != nullptr)
            CloseHandle(section_);
        CloseHandle(mutex_);
    }
    NamedObjectLock(const NamedObjectLock&) = delete;
    NamedObjectLock& operator=(const NamedObjectLock&) = delete;

private:
    HANDLE mutex_;
    HANDLE section_;
};

// The holder's word, or null when it cannot be left (the lock holds all the same).
HANDLE LeaveHolderWord(const std::string& portName) {
    const HANDLE section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                              kHolderWordSize, HolderSectionName(portName).c_str());
    if (section == nullptr)
        return nullptr;
    void* view = MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, kHolderWordSize);
    if (view == nullptr) {
        CloseHandle(section);
        return nullptr;
    }
    const std::string word = HolderWord(static_cast<long>(GetCurrentProcessId()), ProgramName())
                                 .substr(0, kHolderWordSize - 1);
    std::memset(view, 0, kHolderWordSize);
    std::memcpy(view, word.data(), word.size());
    UnmapViewOfFile(view);
    return section;
}

PortLockHolder ReadHolder(const std::string& portName) {
    PortLockHolder holder;
    const HANDLE section =
        OpenFileMappingW(FILE_MAP_READ, FALSE, HolderSectionName(portName).c_str());
    if (section == nullptr)
        return holder;
    const void* view = MapViewOfFile(section, FILE_MAP_READ, 0, 0, kHolderWordSize);
    if (view != nullptr) {
        const char* bytes = static_cast<const char*>(view);
        std::string word(bytes, strnlen(bytes, kHolderWordSize));
        UnmapViewOfFile(view);
        long processId = 0;
        std::string program;
        if (ParseHolderWord(word, processId, program)) {
            holder.ProcessId = processId;
            holder.Program = program;
        }
    }
    CloseHandle(section);
    return holder;
}

}  // namespace

int PortInUseError() {
    return ERROR_BUSY;
}

int AcquirePortLock(const std::string& portName, std::unique_ptr<PortLock>& lock,
                    PortLockHolder& holder) {
    lock.reset();
    holder = PortLockHolder{};
    const std::wstring name = LockObjectName(portName);
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    const DWORD error = GetLastError();
    if (mutex == nullptr) {
        // Another user's run holds it: its object refuses us.
        if (error == ERROR_ACCESS_DENIED) {
            holder = ReadHolder(portName);
            return ERROR_BUSY;
        }
        // Anything else under the lock's name (an event, a section of that name) is no lock,
        // and never a sign that the port is free.
        holder.LockFault =
            Utf8FromWide(name) + (error == ERROR_INVALID_HANDLE
                                      ? " is an object of another kind, not a lock: end the "
                                        "program that made it"
                                      : " cannot be made (error " + std::to_string(error) + ")");
        return ERROR_BUSY;
    }
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        holder = ReadHolder(portName);
        return ERROR_BUSY;
    }
    const HANDLE section = LeaveHolderWord(portName);
    try {
        lock = std::make_unique<NamedObjectLock>(mutex, section);
    } catch (...) {
        if (section != nullptr)
            CloseHandle(section);
        CloseHandle(mutex);
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    return 0;
}

}  // namespace veltrin
