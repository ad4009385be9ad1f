#pragma once

#include <string>
#include <string_view>

namespace veltrin {

// Removes leading and trailing characters with codes 0 to 32 (blanks and control characters).
// Every layer that shows or compares outside text uses this one rule.
std::string TrimText(std::string_view text);

// True when the text is empty after trimming.
bool IsBlankText(std::string_view text);

}  // namespace veltrin
