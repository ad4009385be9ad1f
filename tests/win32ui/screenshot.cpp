#include "screenshot.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "pngfile.h"

bool SaveWindowScreenshot(HWND window, const std::string& name) {
    // Paint everything now, and let the system bring the painted surfaces onto the screen: it
    // does that when the thread waits for messages, which this short wait is.
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, MWMO_INPUTAVAILABLE);

    RECT rect;
    if (!GetWindowRect(window, &rect)) {
        return false;
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const bool copied = bitmap != nullptr && BitBlt(memory, 0, 0, width, height, screen, rect.left,
                                                    rect.top, SRCCOPY) != FALSE;
    GdiFlush();
    std::vector<std::uint8_t> rgb;
    if (copied) {
        const auto* pixels = static_cast<const std::uint8_t*>(bits);
        rgb.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
        for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
            rgb.push_back(pixels[4 * i + 2]);  // the DIB holds blue, green, red, unused
            rgb.push_back(pixels[4 * i + 1]);
            rgb.push_back(pixels[4 * i]);
        }
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    if (bitmap != nullptr) {
        DeleteObject(bitmap);
    }
    ReleaseDC(nullptr, screen);
    if (!copied) {
        return false;
    }
    // A run on another Windows or at another DPI keeps its pictures apart from the README's.
    const char* other = std::getenv("VELTRIN_TEST_SCREENSHOT_DIR");
    const std::string folder = other != nullptr && *other != '\0' ? other : VELTRIN_SCREENSHOT_DIR;
    std::filesystem::create_directories(folder);
    return WritePng(folder + "/" + name + ".png", width, height, rgb);
}
