#include "download/stagedfolder.h"

#include <cstdio>
#include <random>

#include "common/utf8path.h"
#include "download/newfile.h"

namespace veltrin {

namespace {

constexpr int kNameTries = 16;

std::string RandomSuffix(std::mt19937_64& random) {
    char text[20];
    std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(random()));
    return text;
}

}  // namespace

StagedFolder::StagedFolder(std::filesystem::path folder) : folder_(std::move(folder)) {}

StagedFolder::~StagedFolder() {
    RemoveStaged();
}

std::filesystem::path StagedFolder::Target(const std::string& name) const {
    return folder_ / PathFromUtf8(name);
}

std::string StagedFolder::Stage(const std::string& name, const void* data, std::size_t size) {
    try {
        std::random_device seed;
        std::mt19937_64 random((static_cast<std::uint64_t>(seed()) << 32) ^ seed());
        for (int attempt = 0; attempt < kNameTries; ++attempt) {
            const std::filesystem::path temporary =
                folder_ / PathFromUtf8("." + name + "." + RandomSuffix(random) + ".part");
            std::string why;
            const int result = WriteNewFile(temporary, data, size, why);
            if (result == NEW_FILE_OK) {
                staged_.emplace_back(temporary, Target(name));
                return {};
            }
            if (result != NEW_FILE_EXISTS) {
                return why;
            }
        }
        return "no free temporary name";
    } catch (const std::exception& exception) {
        return exception.what();
    }
}

std::string StagedFolder::Commit() {
    std::string problem;
    for (const auto& [temporary, target] : staged_) {
        if (problem.empty()) {
            problem = ReplaceByRename(temporary, target);
        }
    }
    RemoveStaged();
    return problem;
}

void StagedFolder::RemoveStaged() {
    for (const auto& staged : staged_) {
        std::error_code ignored;
        std::filesystem::remove(staged.first, ignored);  // gone already when it was renamed
    }
    staged_.clear();
}

}  // namespace veltrin
