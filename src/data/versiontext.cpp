#include <cstring>

#include "data/firmwarelayout.h"

namespace veltrin {

namespace {

bool IsDigit(std::uint8_t c) {
    return c >= '0' && c <= '9';
}

// A version block's three zero-terminated text fields: offset of each field and of its end.
constexpr std::size_t kFieldStart[3] = {0, 9, 22};
constexpr std::size_t kFieldEnd[3] = {8, 21, 30};

}  // namespace

bool IsVersionText(const std::uint8_t* buffer) {
    if (buffer == nullptr)
        return false;
    return IsDigit(buffer[0]) && IsDigit(buffer[1]) && buffer[2] == '.' && IsDigit(buffer[3]) &&
           IsDigit(buffer[4]) && buffer[5] == '.' && IsDigit(buffer[6]) && IsDigit(buffer[7]);
}

int CompareVersions(std::uint8_t* first, std::uint8_t* second) {
    if (!IsVersionText(first) || !IsVersionText(second))
        return VERSION_MALFORMED;
    first[8] = 0;
    second[8] = 0;
    // dd.dd.dd has a fixed shape, so character order is the order of the three numbers.
    for (int i = 0; i <= 8; ++i) {
        if (second[i] < first[i])
            return VERSION_NEWER;
        if (first[i] < second[i])
            return VERSION_OLDER;
    }
    return VERSION_EQUAL;
}

bool VersionBlocksMatch(std::uint8_t* first, std::uint8_t* second) {
    for (std::size_t end : kFieldEnd) {
        first[end] = 0;
        second[end] = 0;
    }
    for (std::size_t field = 0; field < 3; ++field) {
        const char* a = reinterpret_cast<const char*>(first + kFieldStart[field]);
        const char* b = reinterpret_cast<const char*>(second + kFieldStart[field]);
        if (std::strcmp(a, b) != 0)
            return false;
    }
    return true;
}

}  // namespace veltrin
