#include "win32ui/dialogaccessible.h"

#include <oleacc.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace veltrin::win32ui {
namespace {

// Written out: MinGW's import library does not resolve IID_IAccessible for every caller.
constexpr GUID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The message: the visible labels' texts in reading order, top to bottom, then left to right.
std::wstring MessageOf(HWND dialog) {
    struct Line {
        RECT place;
        std::wstring text;
    };
    std::vector<Line> lines;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        Line line{{}, TextOf(child)};
        if (std::wstring(className) != L"Static" || !IsWindowVisible(child) || line.text.empty()) {
            continue;
        }
        GetWindowRect(child, &line.place);
        lines.push_back(std::move(line));
    }
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        return a.place.top != b.place.top ? a.place.top < b.place.top : a.place.left < b.place.left;
    });
    std::wstring message;
    for (const Line& line : lines) {
        message += (message.empty() ? L"" : L"\n") + line.text;
    }
    return message;
}

// The system's object for the client area, with the dialog's role and description; everything
// else (name from the caption, children, focus, location) is the system's answer.
class DialogObject final : public IAccessible {
public:
    DialogObject(IAccessible* inner, HWND dialog) : inner_(inner), dialog_(dialog) {}
    DialogObject(const DialogObject&) = delete;
    DialogObject& operator=(const DialogObject&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, kIidAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&refs_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return inner_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return inner_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return inner_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argument) override {
        return inner_->Invoke(id, iid, locale, flags, params, result, exception, argument);
    }

    // IAccessible: the two answers of a dialog's own.
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child) || role == nullptr) {
            return inner_->get_accRole(child, role);
        }
        VariantInit(role);
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_DIALOG;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        if (!IsSelf(child) || description == nullptr) {
            return inner_->get_accDescription(child, description);
        }
        const std::wstring message = MessageOf(dialog_);
        *description = SysAllocStringLen(message.data(), static_cast<UINT>(message.size()));
        return *description == nullptr ? E_OUTOFMEMORY : S_OK;
    }

    // IAccessible: the system's answers.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return inner_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return inner_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return inner_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return inner_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return inner_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return inner_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return inner_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return inner_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return inner_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return inner_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return inner_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return inner_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return inner_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return inner_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return inner_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return inner_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return inner_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return inner_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return inner_->put_accValue(child, value);
    }

private:
    ~DialogObject() { inner_->Release(); }

    LONG refs_ = 1;
    IAccessible* inner_;
    HWND dialog_;
};

// Handing out an object takes COM on the window's thread; it stays started for the thread's
// life, as the objects handed out may be used until then.
bool ComStarted() {
    thread_local const bool started = [] {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        return SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
    }();
    return started;
}

}  // namespace

bool AnswerAsDialog(HWND dialog, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || !ComStarted()) {
        return false;
    }
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(dialog, OBJID_CLIENT, kIidAccessible,
                                         reinterpret_cast<void**>(&standard))) ||
        standard == nullptr) {
        return false;
    }
    auto* object = new DialogObject(standard, dialog);
    result = LresultFromObject(kIidAccessible, wParam, static_cast<IAccessible*>(object));
    object->Release();
    return result > 0;
}

void AnnounceDialog(HWND dialog) {
    NotifyWinEvent(EVENT_SYSTEM_DIALOGSTART, dialog, OBJID_WINDOW, CHILDID_SELF);
}

}  // namespace veltrin::win32ui
