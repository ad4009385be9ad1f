#pragma once

#include <filesystem>
#include <string>

#include "download/bodysink.h"

namespace veltrin {

// Reads a regular file into sink. A folder, a pipe, a socket or a device is refused before any
// byte is read (and, where the type shows without opening it, before it is opened): a FIFO
// would block the reader until some writer comes, and opening a serial device can already
// toggle its lines. HTTPS_OK, HTTPS_ERR_TRANSFER with why filled, or the sink's refusal.
// Never throws.
int ReadRegularFile(const std::filesystem::path& path, BodySink& sink, std::string& why);

}  // namespace veltrin
