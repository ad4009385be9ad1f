#include "common/systemcodepage.h"

namespace veltrin {

// Linux desktops run UTF-8 locales: the text is already in the system's encoding.
std::string SystemCodePageFromUtf8(const std::string& text) {
    return text;
}

}  // namespace veltrin
