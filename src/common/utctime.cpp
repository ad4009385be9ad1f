#include "common/utctime.h"

#include <chrono>

namespace veltrin {

namespace {

bool IsDigits(const std::string& text, std::size_t from, std::size_t count) {
    if (from + count > text.size())
        return false;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

int Number(const std::string& text, std::size_t from, std::size_t count) {
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

// "YYYY-MM-DD" at the text's start, a day the calendar has.
bool IsDate(const std::string& text) {
    if (!IsDigits(text, 0, 4) || text.size() < 10 || text[4] != '-' || !IsDigits(text, 5, 2) ||
        text[7] != '-' || !IsDigits(text, 8, 2)) {
        return false;
    }
    const std::chrono::year_month_day date{
        std::chrono::year(Number(text, 0, 4)),
        std::chrono::month(static_cast<unsigned>(Number(text, 5, 2))),
        std::chrono::day(static_cast<unsigned>(Number(text, 8, 2)))};
    return date.ok();
}

// "hh:mm" at from, and ":ss" after it when withSeconds.
bool IsClock(const std::string& text, std::size_t from, bool withSeconds) {
    if (!IsDigits(text, from, 2) || text.size() < from + 5 || text[from + 2] != ':' ||
        !IsDigits(text, from + 3, 2) || Number(text, from, 2) > 23 ||
        Number(text, from + 3, 2) > 59) {
        return false;
    }
    return !withSeconds || (text.size() >= from + 8 && text[from + 5] == ':' &&
                            IsDigits(text, from + 6, 2) && Number(text, from + 6, 2) <= 59);
}

}  // namespace

bool IsUtcTimeText(const std::string& text) {
    return text.size() == 20 && IsDate(text) && text[10] == 'T' && IsClock(text, 11, true) &&
           text[19] == 'Z';
}

bool ParseUtcDate(const std::string& text, DateBound bound, std::string& utcTime) {
    std::string value = text;
    if (!value.empty() && (value.back() == 'Z' || value.back() == 'z'))
        value.pop_back();
    if (!IsDate(value))
        return false;
    const bool end = bound == DateBound::End;
    std::string clock = end ? "23:59:59" : "00:00:00";
    if (value.size() != 10) {
        const bool withSeconds = value.size() == 19;
        if ((value.size() != 16 && !withSeconds) ||
            (value[10] != 'T' && value[10] != 't' && value[10] != ' ') ||
            !IsClock(value, 11, withSeconds)) {
            return false;
        }
        clock = value.substr(11, 5) + (withSeconds ? value.substr(16, 3) : end ? ":59" : ":00");
    }
    utcTime = value.substr(0, 10) + "T" + clock + "Z";
    return true;
}

}  // namespace veltrin
