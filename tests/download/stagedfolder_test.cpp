#include "download/stagedfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/tempdirectory.h"

namespace veltrin {
namespace {

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::size_t EntryCount(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

TEST(StagedFolderTest, CommitReplacesWhatIsThereAndUncommittedFilesLeaveNoTrace) {
    test::TempDirectory dir;
    ASSERT_TRUE(test::WriteFileText(dir.File("a.txt"), "old"));
    {
        StagedFolder folder(dir.Path());
        EXPECT_EQ(folder.Stage("a.txt", "new", 3), "");
        EXPECT_EQ(folder.Stage("b.txt", "", 0), "");
        EXPECT_EQ(ReadText(dir.Path() / "a.txt"), "old");  // nothing in place before Commit
        EXPECT_EQ(folder.Commit(), "");
    }
    EXPECT_EQ(ReadText(dir.Path() / "a.txt"), "new");
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.Path() / "b.txt"));
    {
        StagedFolder folder(dir.Path());
        EXPECT_EQ(folder.Stage("c.txt", "x", 1), "");
    }
    EXPECT_EQ(EntryCount(dir.Path()), 2u);
}

TEST(StagedFolderTest, FolderThatCannotBeWrittenSaysWhy) {
    test::TempDirectory dir;
    StagedFolder folder(dir.Path() / "missing");
    EXPECT_NE(folder.Stage("a.txt", "x", 1), "");
}

}  // namespace
}  // namespace veltrin
