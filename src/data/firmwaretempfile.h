#pragma once

#include <cstdio>
#include <string>

namespace veltrin {

// A firmware text in an anonymous temporary file, opened for binary reading and writing, that
// the system removes when it is closed. Get() is null when the file could not be created or the
// text could not be written whole: a short write must never pass for a complete image.
class FirmwareTempFile {
public:
    explicit FirmwareTempFile(const std::string& text);
    ~FirmwareTempFile();
    FirmwareTempFile(const FirmwareTempFile&) = delete;
    FirmwareTempFile& operator=(const FirmwareTempFile&) = delete;

    std::FILE* Get() const { return file_; }
    // Closes (and so removes) the file early; Get() is null afterwards.
    void Close();

private:
    std::FILE* file_ = nullptr;
};

}  // namespace veltrin
