#pragma once

#include <filesystem>
#include <string>

namespace veltrin::test {

// A fresh directory under the system's temporary folder, removed with everything in it when
// the object goes.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Writes the bytes of text into the file, replacing it. False when that fails.
bool WriteFileText(const std::string& fileName, const std::string& text);

}  // namespace veltrin::test
