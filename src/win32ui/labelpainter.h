#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win32ui/scaledlayout.h"

namespace veltrin::win32ui {

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

    HWND Add(int id, int x, int y, int width, int height, int fontPixels, bool bold = false);
    void SetLook(HWND label, const LabelLook& look);
    void SetText(HWND label, const std::string& utf8);
    // Sets the text and sizes the label to it, as labels that size themselves do.
    void SetAutoSizeText(HWND label, const std::string& utf8, int x, int y);

    // WM_DRAWITEM of the parent; false when the item is not one of these labels.
    bool Draw(const DRAWITEMSTRUCT& item) const;

private:
    struct Entry {
        HWND label;
        LabelLook look;
    };
    const Entry* Find(HWND label) const;
    static std::wstring TextOf(HWND label);

    ScaledLayout& layout_;
    std::vector<Entry> labels_;
};

}  // namespace veltrin::win32ui
