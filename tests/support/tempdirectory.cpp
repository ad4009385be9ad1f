#include "support/tempdirectory.h"

#include <fstream>
#include <random>

namespace veltrin::test {

TempDirectory::TempDirectory() {
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate = base / ("veltrin-test-" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = candidate;
            return;
        }
    }
    path_ = base;  // unusable; later writes fail and the test reports them
}

TempDirectory::~TempDirectory() {
    if (path_ != std::filesystem::temp_directory_path()) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
}

bool WriteFileText(const std::string& fileName, const std::string& text) {
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(file);
}

}  // namespace veltrin::test
