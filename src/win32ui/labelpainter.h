#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win32ui/scaledlayout.h"
#include "windowlogic/formlayout.h"

namespace veltrin::win32ui {

// Creates a control where the shared layout puts it, with its font.
HWND AddFormControl(ScaledLayout& layout, const wchar_t* className, const wchar_t* text,
                    DWORD style, int id, FormControl control);

// How a label draws its text.
struct LabelLook {
    COLORREF Color = CLR_INVALID;  // CLR_INVALID: the system's window text colour
    bool CentreHorizontally = false;
    bool CentreVertically = false;
    bool WordWrap = false;
};

// The labels of one window. Static controls centre vertically only a single line and draw in
// the system colour, so the labels are owner-drawn: the text stays the control's own (a test or
// a screen reader reads it with GetWindowText), the look comes from here. Texts are drawn
// verbatim: an '&' is never a mnemonic.
class LabelPainter {
public:
    explicit LabelPainter(ScaledLayout& layout) : layout_(layout) {}

    // A label where the shared layout puts it, with its font and look.
    HWND Add(int id, FormControl control);
    void SetLook(HWND label, const LabelLook& look);
    // Sets the text and sizes the label as the layout says, on every change: to its text, or
    // stretched over its box.
    void SetText(HWND label, const std::string& utf8);

    // Sizes every label anew for its text, after the window's DPI has changed: a text's width does
    // not scale exactly with its font, so a label sized at one DPI may cut it off at another.
    void Refit();

    // WM_DRAWITEM of the parent; false when the item is not one of these labels.
    bool Draw(const DRAWITEMSTRUCT& item) const;

private:
    struct Entry {
        HWND label;
        FormControl control;
        LabelLook look;
    };
    const Entry* Find(HWND label) const;
    static std::wstring TextOf(HWND label);

    ScaledLayout& layout_;
    std::vector<Entry> labels_;
};

}  // namespace veltrin::win32ui
