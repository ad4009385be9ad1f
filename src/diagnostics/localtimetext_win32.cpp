#include <windows.h>

#include <ctime>

#include "diagnostics/localtimetext.h"

namespace veltrin {

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
    char text[64] = {};
    // No format and no flags: the user's long time format.
    const int length = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, text, sizeof(text));
    if (length <= 1)
        return std::string();
    return std::string(text, static_cast<std::size_t>(length - 1));
}

}  // namespace veltrin
