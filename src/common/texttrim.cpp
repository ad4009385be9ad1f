#include "common/texttrim.h"

namespace veltrin {

namespace {
bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
}  // namespace

std::string TrimText(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsTrimmed(text[begin]))
        ++begin;
    while (end > begin && IsTrimmed(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

bool IsBlankText(std::string_view text) {
    for (char c : text) {
        if (!IsTrimmed(c))
            return false;
    }
    return true;
}

}  // namespace veltrin
