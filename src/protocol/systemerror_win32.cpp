#include <windows.h>

#include <cstring>
#include <string>

#include "common/widetext_win32.h"
#include "protocol/systemerror.h"

namespace veltrin {

namespace {

// The length of the longest prefix of a UTF-8 text that fits in limit bytes without cutting a
// character in two.
std::size_t Utf8PrefixLength(const std::string& text, std::size_t limit) {
    if (text.size() <= limit)
        return text.size();
    std::size_t length = limit;
    // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    return length;
}

}  // namespace

// The wide call, converted to UTF-8 like every other text of the program: the "A" call would
// give the ANSI code page, which the rest of the program would take for UTF-8.
void SystemErrorText(char* buffer, std::uint32_t size, int number) {
    if (buffer == nullptr || size == 0)
        return;
    buffer[0] = '\0';
    wchar_t text[512] = {};
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(number), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text,
        sizeof(text) / sizeof(text[0]), nullptr);
    if (length == 0)
        return;
    const std::string utf8 = Utf8FromWide(text, length);
    const std::size_t copied = Utf8PrefixLength(utf8, size - 1);
    std::memcpy(buffer, utf8.data(), copied);
    buffer[copied] = '\0';
}

int OutOfMemoryError() {
    return ERROR_NOT_ENOUGH_MEMORY;
}

}  // namespace veltrin
