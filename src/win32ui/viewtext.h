#pragma once

#include <string>

#include "common/widetext_win32.h"

namespace veltrin::win32ui {

// The one conversion of the window logic's texts (UTF-8, as every text of the program) for the
// Win32 "W" calls.
inline std::wstring ViewText(const std::string& text) {
    return WideFromUtf8(text);
}

}  // namespace veltrin::win32ui
