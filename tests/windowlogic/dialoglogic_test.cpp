#include <gtest/gtest.h>

#include <string>

#include "windowlogic/enddialoglogic.h"
#include "windowlogic/questiondialoglogic.h"

using namespace veltrin;

namespace {

TEST(QuestionDialogLogicTest, ShowsTheTextTrimmedAndOnlyYesIsYes) {
    QuestionDialogLogic question;
    question.SetMessage(
        " \r\n! Adjustments and other user data will be deleted.\n\nStart Update?\n\t ");
    EXPECT_EQ(question.Message(),
              "! Adjustments and other user data will be deleted.\n\nStart Update?");
    using Exit = QuestionDialogLogic::Exit;
    EXPECT_TRUE(QuestionDialogLogic::IsYes(Exit::YesButton));
    for (const Exit exit : {Exit::NoButton, Exit::CloseBox, Exit::Escape}) {
        EXPECT_FALSE(QuestionDialogLogic::IsYes(exit));
    }
}

struct EndLook {
    const char* name;
    bool terminated;
    int code;
    TextColor color;
    EndDialogLogic::StatusPlacement placement;
};

class EndDialogLookTest : public ::testing::TestWithParam<EndLook> {};

constexpr auto kCentred = EndDialogLogic::StatusPlacement::Centred;
constexpr auto kTop = EndDialogLogic::StatusPlacement::TopLeft;

// A cancelled run looks cancelled whatever its code; only an error keeps its status at the top.
INSTANTIATE_TEST_SUITE_P(
    Runs, EndDialogLookTest,
    ::testing::Values(EndLook{"Success", false, 0, EndDialogLogic::kGreen, kCentred},
                      EndLook{"Cancelled", true, 0, EndDialogLogic::kRed, kCentred},
                      EndLook{"CancelledAfterError", true, 14, EndDialogLogic::kRed, kCentred},
                      EndLook{"Error", false, 7, EndDialogLogic::kRed, kTop},
                      EndLook{"NegativeCode", false, -1, EndDialogLogic::kRed, kTop}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(EndDialogLookTest, ColourAndPlacementFollowTheOutcome) {
    const EndLook& c = GetParam();
    EndDialogLogic dialog;
    dialog.ShowResult(false, 41, "");  // a run before leaves nothing behind
    dialog.ShowResult(c.terminated, c.code, "Update Quorvan/plus Version 01.02.03");
    EXPECT_EQ(dialog.StatusColor(), c.color);
    EXPECT_EQ(dialog.StatusLayout(), c.placement);
    EXPECT_EQ(dialog.Texts().Status, ResultTexts(c.terminated, c.code, "").Status);
}

TEST(EndDialogLogicTest, OnlyItsTwoButtonsLeaveIt) {
    using Exit = EndDialogLogic::Exit;
    EXPECT_EQ(EndDialogLogic::ResultOf(Exit::StartButton), EndDialogLogic::kResultStart);
    EXPECT_EQ(EndDialogLogic::ResultOf(Exit::ExitButton), EndDialogLogic::kResultExit);
    EXPECT_EQ(EndDialogLogic::ResultOf(Exit::CloseRequest), std::nullopt);
    EXPECT_EQ(EndDialogLogic::ResultOf(Exit::Escape), std::nullopt);
}

}  // namespace
