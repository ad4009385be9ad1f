#pragma once

// Control identifiers of the three windows; tests find the controls by them (GetDlgItem).
namespace veltrin::win32ui {

enum ControlId : int {
    // Main window
    kButtonStartStop = 100,
    kGroupBoxFirmware,
    kLabelQuorvanOtgName,
    kLabelTarnovelleK7Name,
    kLabelQuorvanOtgVersion,
    kLabelTarnovelleK7Version,
    kGroupBoxThreadAction,
    kProgressBarTotal,
    kLabelAction,
    kProgressBarAction,
    kGroupBoxMessage,
    kLabelMessage,
    // Question dialog
    kQuestionGroupBox = 200,
    kQuestionLabel,
    kButtonYes,
    kButtonNo,
    // End dialog
    kEndGroupBoxMessage = 300,
    kLabelStatus,
    kLabelErrorText,
    kEndGroupBoxStart,
    kLabelMessageStart,
    kButtonExit,
    kButtonStart,
};

// Timer identifiers of the main window.
enum TimerId : unsigned {
    kTimerDownloadIntelHex = 1,
    kTimerNextAction = 2,
    kTimerDispatcherSweep = 3,
};

// Window class names, for tests that look a window up.
inline constexpr wchar_t kMainWindowClass[] = L"VeltrinMainWindow";
inline constexpr wchar_t kQuestionDialogClass[] = L"VeltrinQuestionDialog";
inline constexpr wchar_t kEndDialogClass[] = L"VeltrinEndDialog";

}  // namespace veltrin::win32ui
