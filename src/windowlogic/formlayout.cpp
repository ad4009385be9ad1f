#include "windowlogic/formlayout.h"

#include <array>
#include <cstddef>

#include "windowlogic/mainwindowview.h"

namespace veltrin {
namespace {

using C = FormControl;
constexpr TextLook kPlain{};
constexpr TextLook kCentredWrapped{true, true, true};
constexpr TextLook kLeftCentredVertically{false, true, false};

// In enum order, so that a control's entry is found by its value.
constexpr std::array<ControlLayout, 27> kTable{{
    // The main window: client area under a standard frame of 400 x 320.
    {C::MainWindow, C::MainWindow, {0, 0, 394, 291}, 13, false, Sizing::Fixed, kPlain},
    {C::Button_StartStop, C::MainWindow, {150, 257, 100, 25}, 0, false, Sizing::Fixed, kPlain},
    {C::Panel1, C::MainWindow, {8, 8, 378, 238}, 0, false, Sizing::Fixed, kPlain},
    {C::GroupBox_Firmware, C::Panel1, {12, 10, 352, 80}, 0, false, Sizing::Fixed, kPlain},
    {C::Label_Firmware_QuorvanOtg_Name,
     C::GroupBox_Firmware,
     {24, 24, 0, 0},
     0,
     false,
     Sizing::ToText,
     kPlain},
    {C::Label_Firmware_TarnovelleK7_Name,
     C::GroupBox_Firmware,
     {24, 48, 0, 0},
     0,
     false,
     Sizing::ToText,
     kPlain},
    {C::Label_Firmware_QuorvanOtg_Version,
     C::GroupBox_Firmware,
     {130, 24, 0, 0},
     0,
     false,
     Sizing::ToText,
     kPlain},
    {C::Label_Firmware_TarnovelleK7_Version,
     C::GroupBox_Firmware,
     {130, 48, 0, 0},
     0,
     false,
     Sizing::ToText,
     kPlain},
    {C::GroupBox_ThreadAction, C::Panel1, {12, 108, 352, 118}, 0, false, Sizing::Fixed, kPlain},
    {C::ProgressBar_Total,
     C::GroupBox_ThreadAction,
     {16, 22, 320, 24},
     0,
     false,
     Sizing::Fixed,
     kPlain},
    {C::Label_Action, C::GroupBox_ThreadAction, {16, 56, 0, 0}, 0, false, Sizing::ToText, kPlain},
    {C::ProgressBar_Action,
     C::GroupBox_ThreadAction,
     {16, 78, 320, 24},
     0,
     false,
     Sizing::Fixed,
     kPlain},
    // The message view takes the progress view's place exactly.
    {C::GroupBox_Message, C::Panel1, {12, 108, 352, 118}, 0, false, Sizing::Fixed, kPlain},
    {C::Label_Message,
     C::GroupBox_Message,
     {24, 8, 0, 0},
     16,
     false,
     Sizing::OverBox,
     kCentredWrapped},

    // The question: client area under a standard dialog frame of 450 x 180. Its lines break
    // only at the text's own line breaks.
    {C::QuestionDialog, C::QuestionDialog, {0, 0, 444, 151}, 11, false, Sizing::Fixed, kPlain},
    {C::Question_GroupBox_Message,
     C::QuestionDialog,
     {8, 8, 428, 102},
     0,
     false,
     Sizing::Fixed,
     kPlain},
    {C::Question_Label_Message,
     C::Question_GroupBox_Message,
     {12, 12, 0, 0},
     16,
     false,
     Sizing::OverBox,
     kLeftCentredVertically},
    {C::Question_Button_Yes,
     C::QuestionDialog,
     {239, 118, 75, 25},
     13,
     false,
     Sizing::Fixed,
     kPlain},
    {C::Question_Button_No,
     C::QuestionDialog,
     {343, 118, 75, 25},
     13,
     false,
     Sizing::Fixed,
     kPlain},

    // The end dialog: client area under a standard dialog frame of 550 x 270. The status
    // line's look is set per run.
    {C::EndDialog, C::EndDialog, {0, 0, 544, 241}, 13, false, Sizing::Fixed, kPlain},
    {C::End_GroupBox_Message, C::EndDialog, {8, 8, 528, 50}, 0, false, Sizing::Fixed, kPlain},
    {C::End_Label_Status,
     C::End_GroupBox_Message,
     {14, 6, 0, 0},
     16,
     true,
     Sizing::OverBox,
     kPlain},
    {C::End_Label_ErrorText,
     C::End_GroupBox_Message,
     {14, 28, 0, 0},
     13,
     false,
     Sizing::ToText,
     kPlain},
    {C::End_GroupBox_Start, C::EndDialog, {8, 65, 528, 134}, 0, false, Sizing::Fixed, kPlain},
    {C::End_Label_Message_Start,
     C::End_GroupBox_Start,
     {12, 12, 0, 0},
     16,
     false,
     Sizing::OverBox,
     kCentredWrapped},
    {C::End_Button_Exit, C::EndDialog, {194, 208, 150, 25}, 0, false, Sizing::Fixed, kPlain},
    {C::End_Button_Start, C::EndDialog, {372, 208, 150, 25}, 0, false, Sizing::Fixed, kPlain},
}};

constexpr bool InEnumOrder() {
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        if (static_cast<std::size_t>(kTable[i].Control) != i) {
            return false;
        }
    }
    return static_cast<std::size_t>(C::End_Button_Start) + 1 == kTable.size();
}
static_assert(InEnumOrder(), "one entry per control, in the order of FormControl");

bool IsWindow(const ControlLayout& entry) {
    return entry.Parent == entry.Control;
}

}  // namespace

std::span<const ControlLayout> FormLayoutTable() {
    return kTable;
}

const ControlLayout& LayoutOf(FormControl control) {
    return kTable[static_cast<std::size_t>(control)];
}

FormControl WindowOf(FormControl control) {
    const ControlLayout* entry = &LayoutOf(control);
    while (!IsWindow(*entry)) {
        entry = &LayoutOf(entry->Parent);
    }
    return entry->Control;
}

int FontPixelsOf(FormControl control) {
    const int own = LayoutOf(control).FontPixels;
    return own != 0 ? own : LayoutOf(WindowOf(control)).FontPixels;
}

FormRect PlaceInParent(FormControl control) {
    const ControlLayout& entry = LayoutOf(control);
    FormRect place = entry.Place;
    if (entry.Size == Sizing::OverBox) {
        const FormRect& box = LayoutOf(entry.Parent).Place;
        place.Width = box.Width - 2 * place.Left;
        place.Height = box.Height - 2 * place.Top;
    }
    return place;
}

FormRect PlaceInWindow(FormControl control) {
    const ControlLayout& entry = LayoutOf(control);
    if (IsWindow(entry)) {
        return entry.Place;
    }
    FormRect place = PlaceInParent(control);
    for (const ControlLayout* parent = &LayoutOf(entry.Parent); !IsWindow(*parent);
         parent = &LayoutOf(parent->Parent)) {
        place.Left += parent->Place.Left;
        place.Top += parent->Place.Top;
    }
    return place;
}

FormControl ControlOf(MainText text) {
    switch (text) {
        case MainText::WindowCaption:
            return C::MainWindow;
        case MainText::FirmwareBoxCaption:
            return C::GroupBox_Firmware;
        case MainText::QuorvanOtgName:
            return C::Label_Firmware_QuorvanOtg_Name;
        case MainText::TarnovelleK7Name:
            return C::Label_Firmware_TarnovelleK7_Name;
        case MainText::QuorvanOtgVersion:
            return C::Label_Firmware_QuorvanOtg_Version;
        case MainText::TarnovelleK7Version:
            return C::Label_Firmware_TarnovelleK7_Version;
        case MainText::ThreadActionCaption:
            return C::GroupBox_ThreadAction;
        case MainText::Action:
            return C::Label_Action;
        case MainText::Message:
            return C::Label_Message;
        case MainText::StartStopCaption:
            break;
    }
    return C::Button_StartStop;
}

}  // namespace veltrin
