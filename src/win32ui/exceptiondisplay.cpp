#include "win32ui/exceptiondisplay.h"

#include <windows.h>

#include <exception>
#include <utility>

#include "win32ui/viewtext.h"

namespace veltrin::win32ui {
namespace {

std::function<void(const std::string&)>& Display() {
    static std::function<void(const std::string&)> display;
    return display;
}

HWND& Owner() {
    static HWND owner = nullptr;
    return owner;
}

}  // namespace

void SetExceptionOwner(HWND owner) {
    Owner() = owner;
}

void ShowException(const std::string& what) {
    if (Display()) {
        Display()(what);
        return;
    }
    MessageBoxW(Owner(), ViewText(what).c_str(), L"Veltrin", MB_OK | MB_ICONERROR);
}

void SetExceptionDisplay(std::function<void(const std::string&)> display) {
    Display() = std::move(display);
}

std::string CurrentExceptionText() {
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return std::string();
    }
}

}  // namespace veltrin::win32ui
