#pragma once

#include <string>

namespace veltrin {

// The program's own texts are UTF-8. Files that people open with the system's plain-text tools
// (the trace file) are written in the system's 8-bit code page instead: the ANSI code page on
// Windows, where a German "Prüfe" in UTF-8 would show as "PrÃ¼fe"; UTF-8 itself elsewhere.
// Characters the code page lacks become '?'. One implementation per operating system.
std::string SystemCodePageFromUtf8(const std::string& text);

}  // namespace veltrin
