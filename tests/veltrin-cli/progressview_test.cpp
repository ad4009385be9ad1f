#include "output/progressview.h"
#include "output/multiprogressview.h"

#include <gtest/gtest.h>

#include <sstream>

namespace veltrin {
namespace {

TEST(ProgressViewTest, PercentIsClampedAndSafeForAnEmptyMaximum) {
    EXPECT_EQ(ProgressView::Percent(50, 200), 25);
    EXPECT_EQ(ProgressView::Percent(300, 200), 100);
    EXPECT_EQ(ProgressView::Percent(-5, 200), 0);
    EXPECT_EQ(ProgressView::Percent(5, 0), 0);
    EXPECT_EQ(ProgressView::Percent(3'000'000'000LL, 4'000'000'000LL), 75);
}

TEST(ProgressViewTest, PlainOutputHasTitlesActionsAndTenths) {
    std::ostringstream out;
    ProgressView view(out, false);
    view.SetTotalMax(100);
    view.SetTotalPosition(0);
    view.ShowAction("Search available devices ...");
    view.SetTotalPosition(1);
    view.ShowTitle("Update Quorvan/plus ...");
    view.SetTotalMax(1000);
    view.SetTotalPosition(50);
    view.ShowAction("Update module 1/6");
    view.StepTotal(100);                   // 15 %
    view.StepTotal(100);                   // 25 %
    view.StepTotal(10);                    // 26 %: no new line
    view.ShowAction("Update module 1/6");  // unchanged: no new line
    view.SetTotalPosition(0);
    EXPECT_EQ(out.str(),
              "  Search available devices ...\n"
              "Update Quorvan/plus ...\n"
              "  Update module 1/6\n"
              "  overall 10%, module 1/6\n"
              "  overall 20%, module 1/6\n");
}

// The end of a run as the worker reports it: the last module, the application start, the bar
// started over, the countdown of the restart.
void FinishRun(ProgressView& view) {
    view.SetTotalMax(1000);
    view.SetTotalPosition(900);
    view.ShowAction("Update module 6/6");
    view.SetActionMax(100);
    view.SetActionPosition(50);
    view.StepTotal(50);
    view.SetActionPosition(100);
    view.SetActionPosition(0);
    view.ShowAction("Start application ...");
    view.ShowAction("");
    view.SetTotalPosition(0);
    view.SetActionPosition(0);
    view.SetActionMax(10);
    view.ShowAction("Update will continue in 1 seconds ...");
    view.SetActionPosition(9);
}

TEST(ProgressViewTest, TerminalShowsTheWritingAsFinishedThroughTheLastCountdown) {
    std::ostringstream out;
    ProgressView view(out, true);
    FinishRun(view);
    const std::string text = out.str();
    EXPECT_EQ(text.substr(text.rfind('\r')),
              "\r[##############################] 100% Update will continue in 1 seconds ... (90%)")
        << text;
    // From the application start on, the bar never shows the worker's restart at zero.
    EXPECT_EQ(text.find("]   0%", text.find("Start application")), std::string::npos) << text;

    std::ostringstream lines;
    MultiProgressView several(lines, true, {"pts/3"});
    several.SetTotalMax(0, 1000);
    several.SetTotalPosition(0, 950);
    several.ShowAction(0, "Start application ...");
    several.SetTotalPosition(0, 0);
    several.ShowAction(0, "Update will continue in 1 seconds ...");
    EXPECT_EQ(several.Line(0),
              "pts/3 [########################] 100%  Update will continue in 1 seconds ...");
}

TEST(ProgressViewTest, PlainLinesNameTheirBarAndModule) {
    std::ostringstream out;
    ProgressView view(out, false);
    FinishRun(view);
    EXPECT_EQ(out.str(),
              "  overall 90%\n"
              "  Update module 6/6\n"
              "  module 6/6 50%\n"
              "  module 6/6 100%\n"
              "  Start application ...\n"
              "  overall 100%\n"
              "  Update will continue in 1 seconds ...\n");
}

TEST(ProgressViewTest, TerminalRedrawsOneLineAndKeepsTitlesAbove) {
    std::ostringstream out;
    ProgressView view(out, true);
    view.ShowAction("Update module 2/6 with a long name");
    view.ShowAction("Start");
    view.ShowTitle("Update Tarnovelle K7/K7x Version 01.00.00");
    view.Release();
    const std::string text = out.str();
    EXPECT_NE(text.find("\r[------------------------------]   0% Update module 2/6"),
              std::string::npos);
    // The shorter line blanks out the rest of the longer one.
    EXPECT_NE(text.find("\r[------------------------------]   0% Start     "), std::string::npos);
    EXPECT_NE(text.find("\nUpdate Tarnovelle K7/K7x Version 01.00.00\n"), std::string::npos);
    EXPECT_EQ(text.back(), '\n');
}

TEST(ProgressViewTest, TerminalCutsLongActionsBeforeTheirPercentage) {
    std::ostringstream out;
    ProgressView view(out, true);
    view.SetActionMax(10);
    view.SetActionPosition(5);
    view.ShowAction("Update will continue in 10 seconds ...");
    EXPECT_NE(out.str().find("Update will continue in 10 seconds ... (50%)"), std::string::npos)
        << out.str();
    view.ShowAction("An action text that is much longer than the bar line allows");
    EXPECT_NE(out.str().find("An action text that is much longer th... (50%)"), std::string::npos)
        << out.str();
    // An unchanged line is not drawn again.
    const std::size_t length = out.str().size();
    view.SetActionPosition(5);
    EXPECT_EQ(out.str().size(), length);
}

}  // namespace
}  // namespace veltrin

namespace veltrin {
namespace {

// Several devices: on a terminal every change redraws all lines in place (cursor up by the
// number of lines drawn), so the lines of two devices never mix.
TEST(MultiProgressViewTest, TerminalLinesAreRedrawnInPlace) {
    std::ostringstream out;
    MultiProgressView view(out, true, {"pts/3", "ttyACM10"});
    view.ShowTitle(0, "Update Quorvan/plus ...");
    EXPECT_EQ(out.str(),
              "\r\x1b[2Kpts/3    [........................]   0%  Update Quorvan/plus ...\n"
              "\r\x1b[2KttyACM10 [........................]   0%  \n");
    out.str("");
    view.SetTotalMax(1, 200);
    view.SetTotalPosition(1, 100);
    view.ShowEnd(0, "code 16: Firmware incomplete", false);
    const std::string redrawn = out.str();
    // Two redraws, each starting two lines up; the last shows both devices' state.
    EXPECT_EQ(redrawn.find("\x1b[2A"), 0u);
    EXPECT_NE(redrawn.rfind("\x1b[2A"), 0u);
    EXPECT_EQ(view.Line(1), "ttyACM10 [############............]  50%  ");
    EXPECT_EQ(view.Line(0), "pts/3     code 16: Firmware incomplete");
    // An event that changes nothing on screen writes nothing.
    out.str("");
    view.SetTotalPosition(1, 101);
    EXPECT_EQ(out.str(), "");
}

// The bar starts over after the last restart; the end state is what the line shows then.
TEST(MultiProgressViewTest, TheLastLineOfEachDeviceShowsItsEndState) {
    std::ostringstream out;
    MultiProgressView view(out, true, {"pts/3", "pts/4", "pts/5"});
    for (std::size_t device = 0; device < 3; ++device) {
        view.SetTotalMax(device, 100);
        view.SetTotalPosition(device, 60);
        view.SetTotalPosition(device, 0);
        view.ShowAction(device, "Start application ...");
    }
    view.ShowEnd(0, "success", true);
    view.ShowEnd(1, "cancelled", false);
    view.ShowEnd(2, "code 11: Exceptional error! (#11)", false);
    EXPECT_EQ(view.Line(0), "pts/3 [########################] 100%  success");
    EXPECT_EQ(view.Line(1), "pts/4  cancelled");
    EXPECT_EQ(view.Line(2), "pts/5  code 11: Exceptional error! (#11)");
}

// A message while the block is drawn: the block goes, the message stands above, the block is
// drawn again below it; a message never lands inside the block.
TEST(MultiProgressViewTest, MessagesGoAboveTheRedrawnBlock) {
    std::ostringstream out, err;
    MultiProgressView view(out, true, {"pts/3", "pts/4"});
    view.ShowTitle(0, "Update Quorvan/plus ...");
    out.str("");
    view.Message(err, "veltrin-cli: pts/3: the update history was not written");
    EXPECT_EQ(out.str(),
              "\x1b[2A\r\x1b[J"
              "\r\x1b[2Kpts/3 [........................]   0%  Update Quorvan/plus ...\n"
              "\r\x1b[2Kpts/4 [........................]   0%  \n");
    EXPECT_EQ(err.str(), "veltrin-cli: pts/3: the update history was not written\n");
    // The next change redraws the block where it now stands: two lines up, not three.
    out.str("");
    view.ShowAction(1, "Search available devices ...");
    EXPECT_EQ(out.str().rfind("\x1b[2A", 0), 0u) << out.str();

    // Plain lines: the message is just one more line.
    std::ostringstream plain;
    MultiProgressView lines(plain, false, {"pts/3"});
    lines.Message(plain, "Cancelling ...");
    EXPECT_EQ(plain.str(), "Cancelling ...\n");
}

TEST(MultiProgressViewTest, PlainLinesCarryTheirPort) {
    std::ostringstream out;
    MultiProgressView view(out, false, {"pts/3", "pts/4"});
    view.ShowTitle(1, "Update Tarnovelle K7/K7x ...");
    view.ShowAction(0, "Search available devices ...");
    view.SetTotalMax(1, 1000);
    view.SetTotalPosition(1, 250);
    view.SetTotalPosition(1, 0);    // a reset: no line
    view.SetTotalPosition(1, 100);  // growth again
    view.ShowEnd(0, "success", true);
    EXPECT_EQ(out.str(),
              "[pts/4] Update Tarnovelle K7/K7x ...\n"
              "[pts/3]   Search available devices ...\n"
              "[pts/4] overall 20%\n"
              "[pts/4] overall 10%\n"
              "[pts/3] success\n");
}

}  // namespace
}  // namespace veltrin
