// Port list from the registry, where each serial driver enters the ports it has created.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <string>
#include <vector>

#include "transport/serialport.h"

namespace veltrin {

namespace {

std::string Narrow(const wchar_t* text, std::size_t length) {
    if (length == 0)
        return std::string();
    const int size = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), narrow.data(), size, nullptr,
                        nullptr);
    return narrow;
}

}  // namespace

// In the order the registry gives the values; drivers enter their ports as they create them.
std::vector<std::string> ListSerialPorts() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return names;
    }
    // Buffers as large as the key's longest value name and data, so no port is skipped for a
    // long value name (each driver chooses its own, such as \Device\VCP0).
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return names;
    }
    std::vector<wchar_t> valueName(static_cast<std::size_t>(longestName) + 1);
    std::vector<wchar_t> data(static_cast<std::size_t>(longestData) / sizeof(wchar_t) + 1);
    for (DWORD index = 0;; ++index) {
        DWORD valueNameLength = static_cast<DWORD>(valueName.size());
        DWORD dataBytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        DWORD type = 0;
        const LONG status = RegEnumValueW(key, index, valueName.data(), &valueNameLength, nullptr,
                                          &type, reinterpret_cast<BYTE*>(data.data()), &dataBytes);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS || type != REG_SZ)
            continue;
        // Registry strings need not end with a NUL; never read past what was returned.
        const std::size_t count = dataBytes / sizeof(wchar_t);
        std::size_t length = 0;
        while (length < count && data[length] != L'\0')
            ++length;
        if (length > 0)
            names.push_back(Narrow(data.data(), length));
    }
    RegCloseKey(key);
    return names;
}

}  // namespace veltrin
