#include <windows.h>

#include <cctype>
#include <string>

#include "lockholderprocess.h"

namespace veltrin {

std::string FullPortSpelling(const std::string& port) {
    std::string lower = port;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return "\\\\.\\" + lower;
}

}  // namespace veltrin

namespace veltrin::test {

bool LockHolderProcess::Start(const std::string& port) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=PortLockHolderChild.*";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    SetEnvironmentVariableA(kLockHolderVariable, port.c_str());
    const BOOL created = CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &info);
    SetEnvironmentVariableA(kLockHolderVariable, nullptr);
    CloseHandle(writeEnd);
    if (!created) {
        CloseHandle(readEnd);
        return false;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = static_cast<long>(info.dwProcessId);
    output_ = 0;
    std::string line;
    char c = 0;
    DWORD got = 0;
    bool held = false;
    while (!held && ReadFile(readEnd, &c, 1, &got, nullptr) && got == 1) {
        if (c == '\r')
            continue;
        if (c != '\n') {
            line += c;
            continue;
        }
        held = line.rfind("held", 0) == 0;
        line.clear();
    }
    CloseHandle(readEnd);
    return held;
}

void LockHolderProcess::Kill() {
    if (process_ != nullptr) {
        TerminateProcess(static_cast<HANDLE>(process_), 9);
        WaitForSingleObject(static_cast<HANDLE>(process_), 30000);
        CloseHandle(static_cast<HANDLE>(process_));
        process_ = nullptr;
    }
    processId_ = 0;
}

}  // namespace veltrin::test
