#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace veltrin {

// Files written into a folder all together or not at all. Each goes first into a new temporary
// file beside its target; Commit renames them over their targets, so a link planted at a
// target's name is replaced, never written through. What is staged and not committed is
// removed when the object goes. Never throws.
class StagedFolder {
public:
    explicit StagedFolder(std::filesystem::path folder);
    ~StagedFolder();
    StagedFolder(const StagedFolder&) = delete;
    StagedFolder& operator=(const StagedFolder&) = delete;

    // name must be a plain file name. Empty on success, else why it could not be written.
    std::string Stage(const std::string& name, const void* data, std::size_t size);
    // Empty when every staged file took its place; else why the first one did not.
    std::string Commit();
    std::filesystem::path Target(const std::string& name) const;

private:
    void RemoveStaged();

    std::filesystem::path folder_;
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> staged_;  // temp, target
};

}  // namespace veltrin
