#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "common/systemcodepage.h"
#include "diagnostics/clprotocol.h"
#include "diagnostics/localtimetext.h"

using namespace veltrin;
namespace fs = std::filesystem;

namespace {

class ClProtocolTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               (std::string("veltrin-trace-") + info->name() + "-" +
                std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = dir_ / "Protokoll.txt";
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Read as text, so the system's line end (CR LF on Windows) reads as '\n'.
    std::string Content() const {
        std::ifstream in(file_);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    fs::path dir_;
    fs::path file_;
};

std::chrono::system_clock::time_point At(std::int64_t millisecondsSinceEpoch) {
    return std::chrono::system_clock::time_point(std::chrono::milliseconds(millisecondsSinceEpoch));
}

}  // namespace

TEST_F(ClProtocolTest, WritesLinesSeparatorsAndBlankLinesInOrder) {
    ClProtocol trace;
    trace.SetFileName(file_.string());
    trace.WriteBlankLine();
    trace.WriteSeparator();
    trace.WriteLine(
        "den Akkustatus auslesen und \xC3\xBC"
        "berpr\xC3\xBC"
        "fen");
    trace.WriteSeparator();
    trace.WriteLine("");
    const std::string hashes(120, '#');
    // People read the file with the system's tools: in its code page, not in UTF-8.
    EXPECT_EQ(Content(), SystemCodePageFromUtf8("\n" + hashes +
                                                "\nden Akkustatus auslesen und \xC3\xBC"
                                                "berpr\xC3\xBC"
                                                "fen\n" +
                                                hashes + "\n\n"));
}

TEST_F(ClProtocolTest, FileIsCompleteAfterEachCallAndAppendsToExistingFile) {
    {
        std::ofstream out(file_, std::ios::binary);
        out << "earlier run\n";
    }
    ClProtocol trace;
    trace.SetFileName(file_.string());
    trace.WriteLine("one");
    EXPECT_EQ(Content(), "earlier run\none\n");
    trace.WriteLine("two");
    EXPECT_EQ(Content(), "earlier run\none\ntwo\n");
}

TEST_F(ClProtocolTest, TimedLineHasStampOnlyWhenTextIsNotEmpty) {
    ClProtocol trace;
    trace.SetFileName(file_.string());
    trace.SetClock([] { return At(1700000000123); });
    trace.WriteTimedLine("");
    trace.WriteTimedLine("ok");
    EXPECT_EQ(Content(), "\n" + trace.TimeStamp() + "ok\n");
}

TEST_F(ClProtocolTest, TimeStampIsTimeOfDayDashThreeDigitMilliseconds) {
    ClProtocol trace;
    struct Case {
        std::int64_t at;
        const char* millis;
    };
    for (const Case& c : {Case{1700000000000, "000"}, Case{1700000000007, "007"},
                          Case{1700000000045, "045"}, Case{1700000000999, "999"}}) {
        const std::int64_t at = c.at;
        trace.SetClock([at] { return At(at); });
        const std::string expected =
            LocalTimeOfDayText(static_cast<std::time_t>(c.at / 1000)) + "-" + c.millis + ": ";
        EXPECT_EQ(trace.TimeStamp(), expected);
    }
    // The tests run where the long time format is HH:MM:SS: the C locale on Linux, a German
    // one under Wine (see CMakeLists.txt).
    EXPECT_TRUE(std::regex_match(trace.TimeStamp(), std::regex("\\d\\d:\\d\\d:\\d\\d-999: ")));
}

TEST_F(ClProtocolTest, FileNameIsTrimmed) {
    ClProtocol trace;
    trace.SetFileName(" \t" + file_.string() + " \r\n");
    trace.WriteLine("x");
    EXPECT_EQ(Content(), "x\n");
    trace.Reset();
    EXPECT_FALSE(fs::exists(file_));
}

TEST_F(ClProtocolTest, BlankFileNameWritesAndDeletesNothing) {
    const fs::path previous = fs::current_path();
    fs::current_path(dir_);
    // A bait named " " where the system allows that name (Windows drops trailing blanks).
    { std::ofstream out(dir_ / " "); }
    const auto before = std::distance(fs::directory_iterator(dir_), fs::directory_iterator());
    for (const char* name : {"", "   ", "\t\r\n"}) {
        ClProtocol trace;
        trace.SetFileName(name);
        trace.WriteLine("x");
        trace.WriteTimedLine("x");
        trace.WriteBlankLine();
        trace.WriteSeparator();
        trace.Reset();
    }
    fs::current_path(previous);
    // No file appeared, and the bait was neither written nor deleted.
    ASSERT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), before);
    if (before == 1) {
        EXPECT_EQ(fs::file_size(dir_ / " "), 0u);
    }
}

TEST_F(ClProtocolTest, ResetDeletesTheFileAndLeavesNoneBehind) {
    ClProtocol trace;
    trace.SetFileName(file_.string());
    trace.Reset();  // missing file: nothing happens
    EXPECT_FALSE(fs::exists(file_));
    trace.WriteLine("x");
    ASSERT_TRUE(fs::exists(file_));
    trace.Reset();
    EXPECT_FALSE(fs::exists(file_));
}

TEST_F(ClProtocolTest, ResetLeavesADirectoryOfThatNameAlone) {
    fs::create_directory(file_);
    ClProtocol trace;
    trace.SetFileName(file_.string());
    trace.Reset();
    EXPECT_TRUE(fs::is_directory(file_));
}

TEST_F(ClProtocolTest, UnopenableFileIsIgnored) {
    ClProtocol trace;
    trace.SetFileName((dir_ / "missing-folder" / "Protokoll.txt").string());
    trace.WriteLine("x");
    trace.WriteSeparator();
    trace.Reset();
    EXPECT_FALSE(fs::exists(dir_ / "missing-folder"));
}
