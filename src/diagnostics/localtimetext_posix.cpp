#include <ctime>

#include "diagnostics/localtimetext.h"

namespace veltrin {

std::string LocalTimeOfDayText(std::time_t moment) {
    std::tm local{};
    if (localtime_r(&moment, &local) == nullptr)
        return std::string();
    char text[64] = {};
    // %X is the locale's time representation: "14:03:27" in the C locale.
    const std::size_t length = std::strftime(text, sizeof(text), "%X", &local);
    return std::string(text, length);
}

}  // namespace veltrin
