#include <windows.h>

#include "common/widetext_win32.h"
#include "transport/portname.h"
#include "transport/portopenfault.h"

namespace veltrin {

// Windows opens a serial port for one program at a time: a held port refuses everyone else.
int DiagnosePortOpen(const std::string& portName, int& systemError) {
    systemError = 0;
    if (portName.empty())
        return kPortOpenFaultMissing;
    const std::wstring path = L"\\\\.\\" + WideFromUtf8(portName);
    const HANDLE port = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (port != INVALID_HANDLE_VALUE) {
        CloseHandle(port);
        return kPortOpenFaultUnknown;
    }
    systemError = static_cast<int>(GetLastError());
    switch (systemError) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_UNIT:
        case ERROR_INVALID_NAME:
            return kPortOpenFaultMissing;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
            return kPortOpenFaultHeld;
        default:
            return kPortOpenFaultUnknown;
    }
}

}  // namespace veltrin
