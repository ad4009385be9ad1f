#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace veltrin {

enum NewFileResult {
    NEW_FILE_OK = 0,
    NEW_FILE_EXISTS = 1,  // something (a file, a folder, a link) already has that name
    NEW_FILE_FAILED = 2,
};

// Creates the file at path and writes size bytes into it. Never opens what is already there,
// so a link planted at path is never written through. On NEW_FILE_FAILED nothing is left
// behind and why says what failed. Never throws.
int WriteNewFile(const std::filesystem::path& path, const void* data, std::size_t size,
                 std::string& why);

// Renames from to to, replacing whatever to names (a link there is replaced, not followed).
// Empty on success, else why not. Never throws.
std::string ReplaceByRename(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace veltrin
