#pragma once

#include <span>

namespace veltrin {

// Every control of the program's three windows. The windows themselves are entries too: their
// client size and their font.
enum class FormControl {
    // Main window
    MainWindow,
    Button_StartStop,
    Panel1,
    GroupBox_Firmware,
    Label_Firmware_QuorvanOtg_Name,
    Label_Firmware_TarnovelleK7_Name,
    Label_Firmware_QuorvanOtg_Version,
    Label_Firmware_TarnovelleK7_Version,
    GroupBox_ThreadAction,
    ProgressBar_Total,
    Label_Action,
    ProgressBar_Action,
    GroupBox_Message,
    Label_Message,
    // Question dialog
    QuestionDialog,
    Question_GroupBox_Message,
    Question_Label_Message,
    Question_Button_Yes,
    Question_Button_No,
    // End dialog
    EndDialog,
    End_GroupBox_Message,
    End_Label_Status,
    End_Label_ErrorText,
    End_GroupBox_Start,
    End_Label_Message_Start,
    End_Button_Exit,
    End_Button_Start,
};

// How a control gets its size.
enum class Sizing {
    Fixed,    // the size in the table
    ToText,   // a label that sizes itself to its text; the table gives only its place
    OverBox,  // a label stretched over its parent box, its own place kept as margin on all sides
};

struct FormRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    friend bool operator==(const FormRect&, const FormRect&) = default;
};

// How a label lays out its text; the end dialog's status line changes its look per run.
struct TextLook {
    bool CentreHorizontally = false;
    bool CentreVertically = false;
    bool WordWrap = false;
};

// One control: where it sits in its parent, in pixels at 96 dots per inch, and its font. Both
// views build their windows from this one table, so they cannot drift apart.
struct ControlLayout {
    FormControl Control;
    FormControl Parent;  // the window itself for a window
    FormRect Place;      // in the parent's client area; a window's entry gives its client size
    int FontPixels;      // Tahoma; 0: the window's font
    bool Bold;
    Sizing Size;
    TextLook Look;
};

std::span<const ControlLayout> FormLayoutTable();
const ControlLayout& LayoutOf(FormControl control);

// The window a control belongs to.
FormControl WindowOf(FormControl control);
// The font a control draws with: its own, or its window's.
int FontPixelsOf(FormControl control);
// The control's rectangle in its parent; an OverBox label is stretched over its parent box:
// height := box height - 2 * top, width := box width - 2 * left.
FormRect PlaceInParent(FormControl control);
// The same rectangle in the window's client area, for a toolkit whose controls are all
// children of the window itself.
FormRect PlaceInWindow(FormControl control);

// The windows' outer sizes under a standard frame; the table gives their client sizes.
inline constexpr FormRect kMainWindowOuter{0, 0, 400, 320};
inline constexpr FormRect kQuestionDialogOuter{0, 0, 450, 180};
inline constexpr FormRect kEndDialogOuter{0, 0, 550, 270};

// Where the dialogs open: right of and below the main window's top-left corner.
inline constexpr int kQuestionDialogOffset = 30;
inline constexpr int kEndDialogOffset = 50;

}  // namespace veltrin
