#pragma once

#include <cstdio>

namespace veltrin {

// Creates an anonymous temporary file for binary reading and writing that the system removes
// when it is closed (also when the program ends without closing it). Null when no such file can
// be made. One implementation per operating system.
std::FILE* OpenAnonymousTempFile();

}  // namespace veltrin
