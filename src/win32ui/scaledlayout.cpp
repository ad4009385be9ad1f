#include "win32ui/scaledlayout.h"

#include "win32ui/windowdpi.h"

namespace veltrin::win32ui {

ScaledLayout::ScaledLayout(HWND window) : window_(window), dpi_(WindowDpi(window)) {
    if (dpi_ == 0) {
        dpi_ = 96;
    }
}

ScaledLayout::~ScaledLayout() {
    for (Placement& placement : placements_) {
        if (placement.font != nullptr) {
            DeleteObject(placement.font);
        }
    }
}

HWND ScaledLayout::AddControl(const wchar_t* className, const wchar_t* text, DWORD style, int id,
                              int x, int y, int width, int height) {
    // Every control clips its siblings: the group boxes lie under their contents, and the end
    // dialog's error line over the lower part of its status line.
    HWND control = CreateWindowExW(0, className, text, style | WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0,
                                   0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (control == nullptr) {
        return nullptr;
    }
    placements_.push_back({control, {x, y, x + width, y + height}, 0, false, nullptr});
    Apply(placements_.back());
    return control;
}

void ScaledLayout::Move(HWND control, int x, int y, int width, int height) {
    if (Placement* placement = Find(control)) {
        placement->logical = {x, y, x + width, y + height};
        Apply(*placement);
    }
}

void ScaledLayout::SetFont(HWND control, int pixels, bool bold) {
    Placement* placement = Find(control);
    if (placement == nullptr) {
        return;
    }
    if (placement->font != nullptr) {
        DeleteObject(placement->font);
    }
    placement->fontPixels = pixels;
    placement->bold = bold;
    placement->font = MakeFont(pixels, bold);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(placement->font), TRUE);
}

HFONT ScaledLayout::FontOf(HWND control) const {
    const Placement* placement = Find(control);
    return placement != nullptr ? placement->font : nullptr;
}

void ScaledLayout::SizeClient(int width, int height) {
    RECT outer{0, 0, Scale(width), Scale(height)};
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE));
    ActiveDpiSupport().AdjustWindowRect(outer, style, exStyle, dpi_);
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ScaledLayout::Rescale(UINT dpi) {
    dpi_ = dpi == 0 ? 96 : dpi;
    for (Placement& placement : placements_) {
        if (placement.fontPixels != 0) {
            SetFont(placement.control, placement.fontPixels, placement.bold);
        }
        Apply(placement);
    }
}

ScaledLayout::Placement* ScaledLayout::Find(HWND control) {
    for (Placement& placement : placements_) {
        if (placement.control == control) {
            return &placement;
        }
    }
    return nullptr;
}

const ScaledLayout::Placement* ScaledLayout::Find(HWND control) const {
    return const_cast<ScaledLayout*>(this)->Find(control);
}

void ScaledLayout::Apply(Placement& placement) {
    const RECT& r = placement.logical;
    SetWindowPos(placement.control, nullptr, Scale(r.left), Scale(r.top), Scale(r.right - r.left),
                 Scale(r.bottom - r.top), SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT ScaledLayout::MakeFont(int pixels, bool bold) const {
    // A negative height asks for the character height without the internal leading, which is
    // what a pixel size means.
    return CreateFontW(-Scale(pixels), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

}  // namespace veltrin::win32ui
