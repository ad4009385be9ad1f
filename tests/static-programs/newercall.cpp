// A program built for Windows 10 on purpose: it imports GetDpiForWindow, so the import check must
// refuse it. It is only read, never run.
#undef _WIN32_WINNT
#undef WINVER
#define _WIN32_WINNT 0x0A00
#define WINVER 0x0A00
#include <windows.h>

int main() {
    return static_cast<int>(GetDpiForWindow(GetDesktopWindow()));
}
