#pragma once

#include <filesystem>
#include <string>

namespace veltrin {

// File names travel through the program as UTF-8 texts. A path made from a plain std::string
// is read in the ANSI code page on Windows, where a folder such as "Prüfstand" or a name in
// another script would be lost; these keep every character on every system.
std::filesystem::path PathFromUtf8(const std::string& name);
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace veltrin
