#include "transport/ircommparameters.h"

namespace veltrin {

namespace {
constexpr std::uint8_t kServiceTypeIdentifier = 0x00;
constexpr std::uint8_t kNineWireBit = 0x04;
}  // namespace

bool SupportsNineWire(const std::uint8_t* sequence, std::size_t length) {
    if (sequence == nullptr)
        return false;
    std::size_t at = 0;
    while (at + 2 < length) {
        const std::uint8_t identifier = sequence[at];
        const std::uint8_t valueLength = sequence[at + 1];
        if (identifier == kServiceTypeIdentifier && valueLength > 0 &&
            (sequence[at + 2] & kNineWireBit) != 0) {
            return true;
        }
        at += 2 + static_cast<std::size_t>(valueLength);
    }
    return false;
}

}  // namespace veltrin
