// The windows on the Windows the test plays (see testedwindows.h): the prefix really is that
// version at that DPI, and the layout is the same whichever DPI calls the system offers, so
// Windows 7 and 8.1 see the window Windows 10 does.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <memory>
#include <vector>

#include "fakeworld.h"
#include "testedwindows.h"
#include "win32ui/mainwindow.h"
#include "win32ui/windowdpi.h"

namespace {

using namespace veltrin::win32ui;

TEST(TestedWindows, ThePrefixIsTheVersionAndDpiTheTestPlays) {
    using RtlGetVersionCall = LONG(WINAPI*)(OSVERSIONINFOW*);
    const auto rtlGetVersion = reinterpret_cast<RtlGetVersionCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(rtlGetVersion, nullptr);
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_EQ(rtlGetVersion(&version), 0);
    if (tested::Windows() == "win7") {
        EXPECT_EQ(version.dwMajorVersion, 6u);
        EXPECT_EQ(version.dwMinorVersion, 1u);
        EXPECT_GE(version.dwBuildNumber, 7601u) << "Service Pack 1";
    } else {
        EXPECT_EQ(version.dwMajorVersion, 10u);
    }
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), static_cast<int>(tested::SystemDpi()));
    ReleaseDC(nullptr, screen);
}

using Box = std::array<LONG, 4>;

Box BoxOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// Where a window's client area and controls are.
struct Layout {
    UINT dpi = 0;
    Box client{};
    std::vector<Box> controls;
};

Layout LayoutOfMainWindow() {
    FakeWorld world;
    MainWindow window(world.Services());
    Layout layout;
    layout.dpi = WindowDpi(window.Handle());
    RECT client;
    GetClientRect(window.Handle(), &client);
    layout.client = BoxOf(client);
    for (HWND child = GetWindow(window.Handle(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, window.Handle(), reinterpret_cast<POINT*>(&rect), 2);
        layout.controls.push_back(BoxOf(rect));
    }
    return layout;
}

TEST(TestedWindows, TheLayoutNeedsNoNewerDpiCalls) {
    const DpiSupport system = DpiSupport::OfSystem();
    const DpiSupport kept = ActiveDpiSupport();
    struct Case {
        const char* name;
        DpiSupport calls;
    };
    const Case cases[] = {
        {"Windows 10 1607 and later", system},
        {"Windows 8.1 and 10 before 1607", system.WithoutPerWindowCalls()},
        {"Windows 7 and 8", DpiSupport::WithoutNewerCalls()},
    };
    std::vector<Layout> layouts;
    for (const Case& c : cases) {
        SetActiveDpiSupport(c.calls);
        layouts.push_back(LayoutOfMainWindow());
        const Layout& layout = layouts.back();
        EXPECT_EQ(layout.dpi, tested::SystemDpi()) << c.name;
        EXPECT_FALSE(layout.controls.empty()) << c.name;
        EXPECT_EQ(layout.client, layouts.front().client) << c.name;
        EXPECT_EQ(layout.controls, layouts.front().controls) << c.name;
    }
    SetActiveDpiSupport(kept);
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    tested::PlayTestedWindows();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
