#include "win32ui/labelpainter.h"

#include "win32ui/viewtext.h"

namespace veltrin::win32ui {

HWND AddFormControl(ScaledLayout& layout, const wchar_t* className, const wchar_t* text,
                    DWORD style, int id, FormControl control) {
    const FormRect place = PlaceInWindow(control);
    HWND created = layout.AddControl(className, text, style, id, place.Left, place.Top, place.Width,
                                     place.Height);
    if (created != nullptr) {
        layout.SetFont(created, FontPixelsOf(control), LayoutOf(control).Bold);
    }
    return created;
}

HWND LabelPainter::Add(int id, FormControl control) {
    HWND label = AddFormControl(layout_, L"STATIC", L"", SS_OWNERDRAW | WS_VISIBLE, id, control);
    if (label != nullptr) {
        const TextLook& look = LayoutOf(control).Look;
        labels_.push_back(
            {label,
             control,
             {CLR_INVALID, look.CentreHorizontally, look.CentreVertically, look.WordWrap}});
    }
    return label;
}

void LabelPainter::SetLook(HWND label, const LabelLook& look) {
    for (Entry& entry : labels_) {
        if (entry.label == label) {
            entry.look = look;
            InvalidateRect(label, nullptr, TRUE);
        }
    }
}

void LabelPainter::SetText(HWND label, const std::string& utf8) {
    const Entry* entry = Find(label);
    if (entry == nullptr) {
        return;
    }
    const std::wstring text = ViewText(utf8);
    SetWindowTextW(label, text.c_str());
    // The text is the label's accessible name: screen readers read it anew when told.
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, label, OBJID_WINDOW, CHILDID_SELF);
    FormRect place = PlaceInWindow(entry->control);
    if (LayoutOf(entry->control).Size == Sizing::ToText) {
        HDC dc = GetDC(label);
        HGDIOBJ old = SelectObject(dc, layout_.FontOf(label));
        RECT extent{0, 0, 0, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent,
                  DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
        SelectObject(dc, old);
        ReleaseDC(label, dc);
        // Rounded up, so that the last pixel column of the text is never cut off.
        place.Width = layout_.Unscale(extent.right) + 1;
        place.Height = layout_.Unscale(extent.bottom) + 1;
    }
    layout_.Move(label, place.Left, place.Top, place.Width, place.Height);
    InvalidateRect(label, nullptr, TRUE);
}

void LabelPainter::Refit() {
    for (const Entry& entry : labels_) {
        SetText(entry.label, Utf8FromWide(TextOf(entry.label)));
    }
}

bool LabelPainter::Draw(const DRAWITEMSTRUCT& item) const {
    const Entry* entry = Find(item.hwndItem);
    if (entry == nullptr) {
        return false;
    }
    const LabelLook& look = entry->look;
    HDC dc = item.hDC;
    RECT box = item.rcItem;
    FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));

    const std::wstring text = TextOf(item.hwndItem);
    HGDIOBJ old = SelectObject(dc, layout_.FontOf(item.hwndItem));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, look.Color == CLR_INVALID ? GetSysColor(COLOR_WINDOWTEXT) : look.Color);

    UINT format = DT_NOPREFIX | DT_EXPANDTABS;
    format |= look.CentreHorizontally ? DT_CENTER : DT_LEFT;
    if (look.WordWrap) {
        format |= DT_WORDBREAK;
    }
    RECT place = box;
    if (look.CentreVertically) {
        // DT_VCENTER works only for one line: measure the block and centre it by hand.
        RECT measured = box;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, format | DT_CALCRECT);
        const int height = measured.bottom - measured.top;
        place.top = box.top + (box.bottom - box.top - height) / 2;
        place.bottom = place.top + height;
    }
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &place, format);
    SelectObject(dc, old);
    return true;
}

const LabelPainter::Entry* LabelPainter::Find(HWND label) const {
    for (const Entry& entry : labels_) {
        if (entry.label == label) {
            return &entry;
        }
    }
    return nullptr;
}

std::wstring LabelPainter::TextOf(HWND label) {
    const int length = GetWindowTextLengthW(label);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(label, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

}  // namespace veltrin::win32ui
