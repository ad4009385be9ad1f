// The one layout both views build their windows from.
#include <gtest/gtest.h>

#include "windowlogic/formlayout.h"
#include "windowlogic/mainwindowview.h"

using namespace veltrin;

namespace {

// A control that sticks out of its box is cut off in both views.
TEST(FormLayoutTest, EveryControlLiesInsideItsParent) {
    for (const ControlLayout& entry : FormLayoutTable()) {
        if (entry.Parent == entry.Control) {
            continue;
        }
        const FormRect place = PlaceInParent(entry.Control);
        const FormRect parent = PlaceInParent(entry.Parent);
        const int control = static_cast<int>(entry.Control);
        EXPECT_GE(place.Left, 0) << control;
        EXPECT_GE(place.Top, 0) << control;
        EXPECT_LE(place.Left + place.Width, parent.Width) << control;
        EXPECT_LE(place.Top + place.Height, parent.Height) << control;
        EXPECT_GT(FontPixelsOf(entry.Control), 0) << control;
    }
}

TEST(FormLayoutTest, PlacesInParentAndWindow) {
    using C = FormControl;
    const struct {
        FormControl control;
        FormControl window;
        FormRect inParent;
        FormRect inWindow;
        int font;
    } cases[] = {
        // Stretched over its box, its place kept as margin on every side.
        {C::Label_Message, C::MainWindow, {24, 8, 304, 102}, {44, 124, 304, 102}, 16},
        {C::Label_Firmware_TarnovelleK7_Version,
         C::MainWindow,
         {130, 48, 0, 0},
         {150, 66, 0, 0},
         13},
        {C::ProgressBar_Action, C::MainWindow, {16, 78, 320, 24}, {36, 194, 320, 24}, 13},
        {C::Question_Label_Message, C::QuestionDialog, {12, 12, 404, 78}, {20, 20, 404, 78}, 16},
        {C::Question_Button_No, C::QuestionDialog, {343, 118, 75, 25}, {343, 118, 75, 25}, 13},
        {C::End_Label_Status, C::EndDialog, {14, 6, 500, 38}, {22, 14, 500, 38}, 16},
        {C::End_Label_Message_Start, C::EndDialog, {12, 12, 504, 110}, {20, 77, 504, 110}, 16},
        {C::End_Button_Start, C::EndDialog, {372, 208, 150, 25}, {372, 208, 150, 25}, 13},
    };
    for (const auto& c : cases) {
        const int control = static_cast<int>(c.control);
        EXPECT_EQ(WindowOf(c.control), c.window) << control;
        EXPECT_EQ(PlaceInParent(c.control), c.inParent) << control;
        EXPECT_EQ(PlaceInWindow(c.control), c.inWindow) << control;
        EXPECT_EQ(FontPixelsOf(c.control), c.font) << control;
    }
    // The message view lies exactly where the progress view does.
    EXPECT_EQ(PlaceInWindow(C::GroupBox_Message), PlaceInWindow(C::GroupBox_ThreadAction));
    EXPECT_EQ(ControlOf(MainText::Message), C::Label_Message);
}

}  // namespace
