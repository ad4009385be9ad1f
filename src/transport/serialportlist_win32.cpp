// Port list from the registry, where each serial driver enters the ports it has created.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "transport/naturalorder.h"
#include "transport/serialport.h"

namespace veltrin {

namespace {

std::string Narrow(const wchar_t* text, std::size_t length) {
    if (length == 0)
        return std::string();
    const int size = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0,
                                         nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), narrow.data(), size, nullptr,
                        nullptr);
    return narrow;
}

}  // namespace

std::vector<std::string> ListSerialPorts() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return names;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        DWORD valueNameLength = 256;
        wchar_t data[256];
        DWORD dataBytes = sizeof(data);
        DWORD type = 0;
        const LONG status = RegEnumValueW(key, index, valueName, &valueNameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataBytes);
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
            names.push_back(Narrow(data, length));
    }
    RegCloseKey(key);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return NaturalLess(a, b); });
    return names;
}

}  // namespace veltrin
