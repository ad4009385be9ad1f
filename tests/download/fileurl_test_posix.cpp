#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "download/stagedfolder.h"
#include "support/tempdirectory.h"

#include "fileurl_test_system.h"

namespace veltrin::test {

std::vector<std::string> NonRegularFileUrls(const TempDirectory& dir) {
    const std::string fifo = dir.File("files.txt");
    if (mkfifo(fifo.c_str(), 0600) != 0) {
        return {"file://" + fifo + "-could-not-be-made"};
    }
    return {"file://" + fifo, "file:///dev/null", "file:///dev/zero"};
}

}  // namespace veltrin::test

namespace veltrin {
namespace {

// A link planted at a target's name is replaced; the file it points to stays as it was.
TEST(StagedFolderPosixTest, PlantedLinkIsReplacedNotWrittenThrough) {
    test::TempDirectory dir;
    const std::filesystem::path victim = dir.Path() / "victim";
    ASSERT_TRUE(test::WriteFileText(victim.string(), "keep me"));
    std::filesystem::create_directories(dir.Path() / "out");
    std::filesystem::create_symlink(victim, dir.Path() / "out" / "SHA256SUMS");
    StagedFolder folder(dir.Path() / "out");
    ASSERT_EQ(folder.Stage("SHA256SUMS", "list", 4), "");
    ASSERT_EQ(folder.Commit(), "");
    EXPECT_FALSE(std::filesystem::is_symlink(dir.Path() / "out" / "SHA256SUMS"));
    EXPECT_EQ(std::filesystem::file_size(dir.Path() / "out" / "SHA256SUMS"), 4u);
    EXPECT_EQ(std::filesystem::file_size(victim), 7u);  // untouched
}

}  // namespace
}  // namespace veltrin
