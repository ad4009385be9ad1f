#include <windows.h>

#include <ctime>

#include "common/widetext_win32.h"
#include "diagnostics/localtimetext.h"

namespace veltrin {

// UTF-8 like the rest of the trace line, which is converted to the code page as a whole: the
// "A" call's separators or day-period markers would otherwise be converted twice.
std::string LocalTimeOfDayText(std::time_t moment) {
    std::tm local{};
    if (localtime_s(&local, &moment) != 0)
        return std::string();
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(local.tm_year + 1900);
    time.wMonth = static_cast<WORD>(local.tm_mon + 1);
    time.wDay = static_cast<WORD>(local.tm_mday);
    time.wHour = static_cast<WORD>(local.tm_hour);
    time.wMinute = static_cast<WORD>(local.tm_min);
    time.wSecond = static_cast<WORD>(local.tm_sec);
    wchar_t text[64] = {};
    // No format and no flags: the user's long time format.
    const int length = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, text,
                                      static_cast<int>(sizeof(text) / sizeof(text[0])));
    if (length <= 1)
        return std::string();
    return Utf8FromWide(text, static_cast<std::size_t>(length - 1));
}

}  // namespace veltrin
