#include "WindowLog.h"
#include "tests/platform/gdi/GdiTestSurface.h"

#include <cstring>
#include <gtest/gtest.h>

TEST(SystemProfile, DefaultsDescribeAClassicXpMachine)
{
    tavrin::win::ResetSystemProfile();
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExA(&version));
    EXPECT_EQ(version.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    EXPECT_EQ(version.dwMajorVersion, 5u);
    EXPECT_EQ(version.dwMinorVersion, 1u);
    OSVERSIONINFOA wrong{};
    wrong.dwOSVersionInfoSize = 100;
    EXPECT_FALSE(GetVersionExA(&wrong));
    EXPECT_EQ(GetVersion() & 0xFFFF, 0x0105u);

    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(10, 36, 106));
    struct Metric {
        int index;
        int value;
    };
    const Metric metrics[] = {{SM_CXSCREEN, 1280}, {SM_CYSCREEN, 1024}, {SM_CYCAPTION, 19}, {SM_CXEDGE, 2},
                              {SM_CXVSCROLL, 16},  {SM_CXSMICON, 16},   {SM_CYMENU, 19},    {SM_CXFRAME, 4},
                              {SM_CXFULLSCREEN, 1280}, {SM_CYFULLSCREEN, 994 - 19}, {SM_CMONITORS, 1},
                              {SM_DBCSENABLED, 1}};
    for (const Metric& m : metrics)
        EXPECT_EQ(GetSystemMetrics(m.index), m.value) << m.index;

    RECT work;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_TRUE(EqualRect(&work, &(const RECT&)RECT{0, 0, 1280, 994}));
    BOOL value = FALSE;
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETDROPSHADOW, 0, &value, 0));
    EXPECT_TRUE(value);
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETMENUANIMATION, 0, &value, 0));
    EXPECT_TRUE(value);
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETMENUFADE, 0, &value, 0));
    EXPECT_FALSE(value);
    ANIMATIONINFO animation{sizeof animation, 0};
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETANIMATION, sizeof animation, &animation, 0));
    EXPECT_EQ(animation.iMinAnimate, 1);
    ANIMATIONINFO bad{4, 0};
    EXPECT_FALSE(SystemParametersInfoA(SPI_GETANIMATION, 0, &bad, 0));

    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
    EXPECT_STREQ(ncm.lfMenuFont.lfFaceName, "\xcb\xce\xcc\xe5");
    EXPECT_EQ(ncm.lfMenuFont.lfCharSet, GB2312_CHARSET);
    EXPECT_EQ(ncm.lfCaptionFont.lfWeight, FW_BOLD);
    EXPECT_EQ(ncm.iCaptionHeight, 18);
    ncm.cbSize = 300;
    EXPECT_FALSE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &ncm, 0));
    LOGFONTA icon{};
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof icon, &icon, 0));
    EXPECT_EQ(icon.lfHeight, -12);
}

TEST(SystemProfile, TestsSetItAndWindowsHearOfChanges)
{
    tavrin::test::WindowLog log;
    HWND hwnd = log.Create("w", WS_POPUP, RECT{0, 0, 10, 10});
    tavrin::win::SetVersion(tavrin::win::VersionProfile{4, 10, 1998, VER_PLATFORM_WIN32_WINDOWS, "", 0});
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    EXPECT_EQ(version.dwMinorVersion, 10u);

    INT index = COLOR_BTNFACE;
    COLORREF color = RGB(1, 2, 3);
    log.Clear();
    EXPECT_TRUE(SetSysColors(1, &index, &color));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(1, 2, 3));
    EXPECT_EQ(log.Of(WM_SYSCOLORCHANGE).size(), 1u);
    // The system colour brush follows the colour.
    LOGBRUSH lb{};
    GetObjectA(GetSysColorBrush(COLOR_BTNFACE), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, RGB(1, 2, 3));
    // A stock brush: deleting it does no harm.
    DeleteObject(GetSysColorBrush(COLOR_BTNFACE));
    LOGBRUSH after{};
    EXPECT_EQ(GetObjectA(GetSysColorBrush(COLOR_BTNFACE), sizeof after, &after), static_cast<int>(sizeof after));

    RECT work{0, 0, 800, 570};
    log.Clear();
    EXPECT_TRUE(SystemParametersInfoA(SPI_SETWORKAREA, 0, &work, SPIF_SENDCHANGE));
    ASSERT_EQ(log.Of(WM_SETTINGCHANGE).size(), 1u);
    EXPECT_EQ(log.Of(WM_SETTINGCHANGE)[0].wParam, static_cast<WPARAM>(SPI_SETWORKAREA));
    EXPECT_TRUE(SystemParametersInfoA(SPI_SETDROPSHADOW, 0, nullptr, 0));
    BOOL shadow = TRUE;
    SystemParametersInfoA(SPI_GETDROPSHADOW, 0, &shadow, 0);
    EXPECT_FALSE(shadow);

    // Two monitors side by side.
    tavrin::win::SetMonitors({{{0, 0, 1024, 768}, {0, 0, 1024, 738}}, {{1024, 0, 2048, 768}, {1024, 0, 2048, 768}}});
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 2048);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    RECT mostlyRight{1000, 10, 1200, 100};
    HMONITOR right = MonitorFromRect(&mostlyRight, MONITOR_DEFAULTTONULL);
    MONITORINFO info{sizeof info, {}, {}, 0};
    ASSERT_TRUE(GetMonitorInfoA(right, &info));
    EXPECT_EQ(info.rcMonitor.left, 1024);
    EXPECT_EQ(info.dwFlags, 0u);
    EXPECT_EQ(MonitorFromPoint(POINT{5000, 5000}, MONITOR_DEFAULTTONULL), nullptr);
    HMONITOR nearest = MonitorFromPoint(POINT{5000, 10}, MONITOR_DEFAULTTONEAREST);
    GetMonitorInfoA(nearest, &info);
    EXPECT_EQ(info.rcMonitor.left, 1024);
    MONITORINFOEXA ex{};
    ex.cbSize = sizeof ex;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &ex));
    EXPECT_EQ(ex.dwFlags, static_cast<DWORD>(MONITORINFOF_PRIMARY));
    EXPECT_STREQ(ex.szDevice, "\\\\.\\DISPLAY1");
    int count = 0;
    EnumDisplayMonitors(nullptr, nullptr, [](HMONITOR, HDC, LPRECT, LPARAM data) {
        ++*reinterpret_cast<int*>(data);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&count));
    EXPECT_EQ(count, 2);
    tavrin::win::ResetSystemProfile();
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
    DestroyWindow(hwnd);
}

TEST(OptionalLibraries, LookupsFindWhatExistsAndTestsSwitchItOff)
{
    tavrin::win::ResetOptionalLibraries();
    HMODULE msimg = LoadLibraryA("msimg32.dll");
    ASSERT_NE(msimg, nullptr);
    EXPECT_EQ(reinterpret_cast<void (*)()>(GetProcAddress(msimg, "GradientFill")),
              reinterpret_cast<void (*)()>(&::GradientFill));
    EXPECT_NE(GetProcAddress(msimg, "AlphaBlend"), nullptr);
    EXPECT_EQ(GetProcAddress(msimg, "NoSuchThing"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_TRUE(FreeLibrary(msimg));
    EXPECT_EQ(GetModuleHandleA("MSIMG32"), nullptr); // freed: no longer loaded

    HMODULE user = GetModuleHandleA("USER32");
    ASSERT_NE(user, nullptr);
    auto update = reinterpret_cast<decltype(&::UpdateLayeredWindow)>(
        reinterpret_cast<void (*)()>(GetProcAddress(user, "UpdateLayeredWindow")));
    EXPECT_EQ(update, &::UpdateLayeredWindow);
    EXPECT_NE(GetProcAddress(user, "GetMonitorInfoA"), nullptr);

    // Services that do not exist here.
    EXPECT_EQ(LoadLibraryA("UxTheme.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryA("oleacc.dll"), nullptr);

    HMODULE comctl = LoadLibraryA("C:\\WINDOWS\\system32\\COMCTL32.DLL");
    ASSERT_NE(comctl, nullptr);
    auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void (*)()>(GetProcAddress(comctl, "DllGetVersion")));
    ASSERT_NE(getVersion, nullptr);
    DLLVERSIONINFO dvi{sizeof dvi, 0, 0, 0, 0};
    EXPECT_EQ(getVersion(&dvi), S_OK);
    EXPECT_EQ(dvi.dwMajorVersion, 6u);
    FreeLibrary(comctl);

    // Switched off one by one.
    tavrin::win::SetEntryPointAvailable("USER32", "UpdateLayeredWindow", false);
    EXPECT_EQ(GetProcAddress(user, "UpdateLayeredWindow"), nullptr);
    EXPECT_NE(GetProcAddress(user, "GetMonitorInfoA"), nullptr);
    tavrin::win::SetLibraryAvailable("msimg32.dll", false);
    EXPECT_EQ(LoadLibraryA("msimg32"), nullptr);
    tavrin::win::ResetOptionalLibraries();
    EXPECT_NE(GetProcAddress(user, "UpdateLayeredWindow"), nullptr);
    HMODULE again = LoadLibraryA("msimg32");
    EXPECT_NE(again, nullptr);
    FreeLibrary(again);
    EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
}

TEST(Edge, ColoursFollowTheSystemProfile)
{
    INT indexes[2] = {COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
    COLORREF was[2] = {GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT)};
    COLORREF now[2] = {RGB(1, 2, 3), RGB(4, 5, 6)};
    ASSERT_TRUE(SetSysColors(2, indexes, now));
    TestSurface s(6, 6);
    RECT r{0, 0, 6, 6};
    DrawEdge(s.Dc(), &r, BDR_SUNKENOUTER, BF_RECT);
    EXPECT_EQ(s.Pixel(0, 0), 0x010203u);
    EXPECT_EQ(s.Pixel(5, 5), 0x040506u);
    SetSysColors(2, indexes, was);
}
