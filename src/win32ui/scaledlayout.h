#pragma once

#include <windows.h>

#include <vector>

namespace veltrin::win32ui {

// Positions, sizes and fonts of one window's controls in pixels at 96 dots per inch, applied at
// the window's own DPI. A window that moves to a monitor of another DPI lays itself out anew
// (per-monitor awareness), so texts stay sharp instead of being stretched by the system.
class ScaledLayout {
public:
    explicit ScaledLayout(HWND window);
    ~ScaledLayout();
    ScaledLayout(const ScaledLayout&) = delete;
    ScaledLayout& operator=(const ScaledLayout&) = delete;

    int Scale(int pixels) const { return MulDiv(pixels, static_cast<int>(dpi_), 96); }
    int Unscale(int pixels) const { return MulDiv(pixels, 96, static_cast<int>(dpi_)); }

    // Creates a child control at x, y, width, height (96-DPI client pixels).
    HWND AddControl(const wchar_t* className, const wchar_t* text, DWORD style, int id, int x,
                    int y, int width, int height);
    void Move(HWND control, int x, int y, int width, int height);
    // Tahoma of the given pixel height at 96 DPI.
    void SetFont(HWND control, int pixels, bool bold = false);
    HFONT FontOf(HWND control) const;

    // Sizes the window so that its client area is width x height at its DPI.
    void SizeClient(int width, int height);
    // The window has moved to a monitor with another DPI.
    void Rescale(UINT dpi);
    UINT Dpi() const { return dpi_; }

private:
    struct Placement {
        HWND control;
        RECT logical;
        int fontPixels;  // 0: the window's default
        bool bold;
        HFONT font;
    };
    Placement* Find(HWND control);
    const Placement* Find(HWND control) const;
    void Apply(Placement& placement);
    HFONT MakeFont(int pixels, bool bold) const;

    HWND window_;
    UINT dpi_;
    std::vector<Placement> placements_;
};

}  // namespace veltrin::win32ui
