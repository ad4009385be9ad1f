// Offline update folders (file:// URLs) and the deadline of a fetch, without any server: the
// same cases on every system.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "download/bodysink.h"
#include "download/httpsclient.h"
#include "download/indexnames.h"
#include "download/updatedownload.h"
#include "fileurl_test_system.h"
#include "support/tempdirectory.h"

namespace veltrin {
namespace {

// "file:///tmp/x" here, "file:///C:/x" on Windows.
std::string FileUrl(const std::filesystem::path& path) {
    const std::string text = path.generic_string();
    return (text.front() == '/' ? "file://" : "file:///") + text;
}

TEST(FileUrlTest, NetworkPathsAreRefusedBeforeAnythingIsOpened) {
    test::TempDirectory dir;
    ASSERT_TRUE(test::WriteFileText(dir.File("files.txt"), "x"));
    HttpsClient client;
    std::string body;
    ASSERT_EQ(client.GetText(FileUrl(dir.Path() / "files.txt"), body), HTTPS_OK)
        << client.LastError();

    const char* const refused[] = {
        "file:////host/share/files.txt",
        "file://///host/share/files.txt",
        "file://localhost//host/share/files.txt",
        "file:///\\\\host\\share\\files.txt",
        "file:///\\/host/share/files.txt",
        "file:///%5C%5Chost/share/files.txt",
        "file:///%2F%2Fhost/share/files.txt",
        "file:///\\\\?\\C:\\files.txt",
        "file:///\\\\.\\pipe\\files",
        "file:///%5C%5C.%5CCOM1",
        // an empty base before the index name's two slashes
        "file:////Quorvan_OTG.hex",
    };
    for (const char* url : refused) {
        EXPECT_EQ(client.GetText(url, body), HTTPS_ERR_URL) << url;
        EXPECT_NE(client.LastError().find("network path"), std::string::npos)
            << url << ": " << client.LastError();
    }
}

TEST(FileUrlTest, PipesAndDevicesFailAtOnceAndFoldersAreNoFiles) {
    test::TempDirectory dir;
    HttpsClient client;
    // Read the usual way, the FIFO would hang this test and /dev/zero fill the body to its cap.
    for (const std::string& url : test::NonRegularFileUrls(dir)) {
        std::string body;
        EXPECT_EQ(client.GetText(url, body), HTTPS_ERR_TRANSFER) << url;
        EXPECT_NE(client.LastError().find("regular file"), std::string::npos)
            << url << ": " << client.LastError();
    }
    std::string body;
    EXPECT_EQ(client.GetText(FileUrl(dir.Path()), body), HTTPS_ERR_TRANSFER);
    EXPECT_NE(client.LastError().find("folder"), std::string::npos) << client.LastError();
}

TEST(IndexNameTest, OnlyPlainFileNamesAreJoinedToTheBase) {
    const struct {
        const char* Name;
        bool Plain;
    } cases[] = {
        {"Quorvan_OTG_01.02.03.hex", true},
        {"Quorvan_OTG 01 \xC3\xA4 100%.hex", true},
        {"Quorvan_OTG/../../../x.hex", false},
        {"Quorvan_OTG..hex", false},
        {"..", false},
        {"", false},
        {"Quorvan_OTG.hex?x=.hex", false},
        {"Quorvan_OTG#.hex", false},
        {"Quorvan_OTG\\x.hex", false},
        {"C:Quorvan_OTG.hex", false},
        {"Quorvan_OTG\n.hex", false},
        {"Quorvan_OTG\x1b[2J.hex", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsPlainFileName(c.Name), c.Plain) << c.Name;
    }
}

// Through a file:// base a name that climbs would read any .hex on the machine.
TEST(IndexNameTest, NameThatLeavesTheFolderIsTreatedAsMissing) {
    test::TempDirectory dir;
    const auto folder = dir.Path() / "a" / "b" / "c" / "pipette-update";
    // The folder the name first steps into exists, so the climb resolves on every system.
    std::filesystem::create_directories(folder / "Quorvan_OTG");
    ASSERT_TRUE(test::WriteFileText((dir.Path() / "a" / "secret.hex").string(), ":00000001FF\n"));
    ASSERT_TRUE(test::WriteFileText((folder / "files.txt").string(),
                                    "Quorvan_OTG/../../../../secret.hex\n"));
    HttpsClient client;
    UpdateData data;
    ClQuorvanVariants variants;
    UpdateDownloadReport report;
    DownloadUpdateData(client, FileUrl(folder), data, variants, {}, &report);
    ASSERT_EQ(report.IndexResult, HTTPS_OK) << report.IndexError;
    EXPECT_EQ(report.QuorvanOtg.Name, "Quorvan_OTG/../../../../secret.hex");
    EXPECT_EQ(report.QuorvanOtg.Url, "");
    EXPECT_EQ(report.QuorvanOtg.Result, HTTPS_ERR_URL);
    EXPECT_EQ(data.HexQuorvanOtg, "");
    EXPECT_EQ(data.FileNameQuorvanOtg, "");
}

bool AppendNothing(void*, const char*, std::size_t) {
    return true;
}

TEST(BodySinkTest, RefusesAfterTheDeadlineOrBeyondTheLimit) {
    const auto now = BodySink::Clock::now();
    struct Case {
        const char* Title;
        std::uint64_t Limit;
        BodySink::Clock::time_point Deadline;
        bool Taken;
        int Refusal;
    };
    const Case cases[] = {
        {"in time", 4, now + std::chrono::hours(1), true, HTTPS_OK},
        {"deadline passed", 4, now, false, HTTPS_ERR_TIMEOUT},
        {"over the limit", 3, now + std::chrono::hours(1), false, HTTPS_ERR_TOO_LARGE},
    };
    for (const Case& c : cases) {
        BodySink sink(c.Limit, nullptr, AppendNothing, c.Deadline);
        EXPECT_EQ(sink.Append("abcd", 4), c.Taken) << c.Title;
        EXPECT_EQ(sink.Refusal(), c.Refusal) << c.Title;
        // A refusal is final.
        EXPECT_EQ(sink.Append("", 0), c.Taken) << c.Title;
    }
}

}  // namespace
}  // namespace veltrin
