#include <windows.h>

#include <climits>

#include "common/systemcodepage.h"
#include "common/widetext_win32.h"

namespace veltrin {

std::string SystemCodePageFromUtf8(const std::string& text) {
    const std::wstring wide = WideFromUtf8(text);
    if (wide.empty() || wide.size() > INT_MAX)
        return std::string();
    const int inputLength = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), inputLength, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string converted(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), inputLength, converted.data(), size, nullptr,
                        nullptr);
    return converted;
}

}  // namespace veltrin
