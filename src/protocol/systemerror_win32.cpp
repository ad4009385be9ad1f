#include <windows.h>

#include <cstring>

#include "protocol/systemerror.h"

namespace veltrin {

void SystemErrorText(char* buffer, std::uint32_t size, int number) {
    if (buffer == nullptr || size == 0)
        return;
    buffer[0] = '\0';
    char text[512] = {};
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(number), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text,
                       sizeof(text), nullptr);
    if (length == 0)
        return;
    std::strncat(buffer, text, size - 1);
}

int OutOfMemoryError() {
    return ERROR_NOT_ENOUGH_MEMORY;
}

}  // namespace veltrin
