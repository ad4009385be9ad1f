#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/utf8path.h"

using namespace veltrin;
namespace fs = std::filesystem;

namespace {

// Names a person may give a folder on a lab PC: German, Greek (outside the Western European
// code page), CJK and a character outside the basic plane.
const std::string kNames[] = {
    "Pr\xC3\xBC"
    "fstand",
    "\xCE\xA9mega-\xE4\xB8\xAD",
    "note-\xF0\x9D\x84\x9E",
};

class Utf8PathTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("veltrin-utf8path-" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path root_;
};

}  // namespace

// Also the round trip: each name found in the folder is one of those created.
TEST_F(Utf8PathTest, FilesAreCreatedAndFoundUnderTheirUtf8Names) {
    for (const std::string& name : kNames) {
        const fs::path folder = root_ / PathFromUtf8(name);
        ASSERT_TRUE(fs::create_directory(folder)) << name;
        std::ofstream(folder / PathFromUtf8(name + ".hex")) << ":00000001FF\n";
    }
    int found = 0;
    for (const auto& folder : fs::directory_iterator(root_)) {
        const std::string name = Utf8FromPath(folder.path().filename());
        EXPECT_TRUE(fs::exists(folder.path() / PathFromUtf8(name + ".hex"))) << name;
        EXPECT_NE(std::find(std::begin(kNames), std::end(kNames), name), std::end(kNames)) << name;
        ++found;
    }
    EXPECT_EQ(found, 3);
}

TEST_F(Utf8PathTest, BrokenUtf8NeverThrows) {
    // A name from a downloaded index may be anything. Windows cannot convert it and gets an empty
    // path; POSIX systems keep the bytes.
    const std::string broken = "bad-\xFF\xC3";
    fs::path path;
    EXPECT_NO_THROW(path = PathFromUtf8(broken));
    const std::string back = Utf8FromPath(path);
    EXPECT_TRUE(back.empty() || back == broken) << back;
}
