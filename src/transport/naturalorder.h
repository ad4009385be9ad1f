#pragma once

#include <string_view>

namespace veltrin {

// Orders names the way people count: runs of digits compare by their value, everything else
// byte by byte, so ttyACM2 comes before ttyACM10. Names equal under that rule ("a01", "a1")
// fall back to plain byte order, which keeps the order total and stable.
bool NaturalLess(std::string_view a, std::string_view b);

}  // namespace veltrin
