#include "tests/toolkit/ToolkitTestSupport.h"

#include "toolkit/commandbars/XTPVisualStyleWrapper.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/win/OptionalLibrary.h"
#include "platform/win/SystemProfile.h"

#include <cwchar>

namespace tavrin::test {

namespace {

void ResetEverything()
{
    win::ResetSystemProfile();
    win::ResetOptionalLibraries();
    SetDisplayBitsPerPixel(32);
    XTPVisualStyleLibrary().Load();
}

// Theme handles are addresses of this array, one per open.
char g_handles[64];

HTHEME WINAPI OpenThemeData(HWND, LPCWSTR classes)
{
    if (!classes || FakeThemeLibrary::opened >= 64)
        return nullptr;
    return &g_handles[FakeThemeLibrary::opened++];
}

HRESULT WINAPI CloseThemeData(HTHEME theme)
{
    if (!theme)
        return E_FAIL;
    ++FakeThemeLibrary::closed;
    return S_OK;
}

HRESULT WINAPI DrawThemeBackground(HTHEME theme, HDC, int, int, const RECT*, const RECT*)
{
    if (!theme)
        return E_FAIL;
    ++FakeThemeLibrary::drawn;
    return S_OK;
}

HRESULT WINAPI GetThemeColor(HTHEME theme, int, int, int prop, COLORREF* color)
{
    if (!theme || !color || prop != TMT_BORDERCOLOR)
        return E_FAIL;
    *color = FakeThemeLibrary::borderColor;
    return S_OK;
}

HRESULT WINAPI GetCurrentThemeName(LPWSTR file, int fileChars, LPWSTR color, int colorChars, LPWSTR, int)
{
    if (!FakeThemeLibrary::themeActive)
        return E_FAIL;
    if (file && fileChars > 0)
        std::wcsncpy(file, FakeThemeLibrary::fileName.c_str(), static_cast<size_t>(fileChars));
    if (color && colorChars > 0)
        std::wcsncpy(color, FakeThemeLibrary::colorName.c_str(), static_cast<size_t>(colorChars));
    return S_OK;
}

BOOL WINAPI IsThemeActive()
{
    return FakeThemeLibrary::themeActive;
}

BOOL WINAPI IsAppThemed()
{
    return FakeThemeLibrary::appThemed;
}

} // namespace

void ToolkitTest::SetUp()
{
    ResetEverything();
}

void ToolkitTest::TearDown()
{
    ResetEverything();
}

std::wstring FakeThemeLibrary::fileName = L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles";
std::wstring FakeThemeLibrary::colorName = L"NormalColor";
BOOL FakeThemeLibrary::themeActive = TRUE;
BOOL FakeThemeLibrary::appThemed = TRUE;
COLORREF FakeThemeLibrary::borderColor = RGB(127, 157, 185);
int FakeThemeLibrary::opened = 0;
int FakeThemeLibrary::closed = 0;
int FakeThemeLibrary::drawn = 0;

void FakeThemeLibrary::Install()
{
    fileName = L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles";
    colorName = L"NormalColor";
    themeActive = appThemed = TRUE;
    borderColor = RGB(127, 157, 185);
    opened = closed = drawn = 0;
    win::RegisterStandInLibrary("UxTheme.dll", {
                                                   {"OpenThemeData", win::AsFarProc(&OpenThemeData)},
                                                   {"CloseThemeData", win::AsFarProc(&CloseThemeData)},
                                                   {"DrawThemeBackground", win::AsFarProc(&DrawThemeBackground)},
                                                   {"GetThemeColor", win::AsFarProc(&GetThemeColor)},
                                                   {"GetCurrentThemeName", win::AsFarProc(&GetCurrentThemeName)},
                                                   {"IsThemeActive", win::AsFarProc(&IsThemeActive)},
                                                   {"IsAppThemed", win::AsFarProc(&IsAppThemed)},
                                               });
    XTPVisualStyleLibrary().Load();
}

void FakeThemeLibrary::Uninstall()
{
    win::RemoveStandInLibrary("UxTheme.dll");
    XTPVisualStyleLibrary().Load();
}

std::string ColorText(COLORREF clr)
{
    return std::to_string(GetRValue(clr)) + ", " + std::to_string(GetGValue(clr)) + ", " +
           std::to_string(GetBValue(clr));
}

} // namespace tavrin::test
