#include "progressview.h"

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
              "  progress 10%\n"
              "  progress 20%\n");
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
