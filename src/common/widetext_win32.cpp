#include <windows.h>

#include <climits>

#include "common/widetext_win32.h"

namespace veltrin {

std::wstring WideFromUtf8(const std::string& text) {
    if (text.empty() || text.size() > INT_MAX)
        return std::wstring();
    const int inputLength = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), inputLength, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), inputLength, wide.data(), length);
    return wide;
}

std::string Utf8FromWide(const wchar_t* text, std::size_t length) {
    if (text == nullptr || length == 0 || length > INT_MAX)
        return std::string();
    const int inputLength = static_cast<int>(length);
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text, inputLength, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, inputLength, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

std::string Utf8FromWide(const std::wstring& text) {
    return Utf8FromWide(text.data(), text.size());
}

}  // namespace veltrin
