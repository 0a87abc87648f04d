#include "toolkit/commandbars/XTPVisualStyleWrapper.h"

#include "tests/toolkit/ToolkitTestSupport.h"

#include <stdexcept>

using tavrin::test::FakeThemeLibrary;

namespace {

class VisualStyleWrapperTest : public tavrin::test::ToolkitTest {};

HRESULT WINAPI ThrowingDraw(HTHEME, HDC, int, int, const RECT*, const RECT*)
{
    throw std::runtime_error("drawing failed");
}

} // namespace

TEST_F(VisualStyleWrapperTest, WithoutTheLibraryEveryCallFailsQuietly)
{
    EXPECT_EQ(XTPVisualStyleLibrary().m_hThemeDll, nullptr);
    CXTPVisualStyleWrapper theme;
    theme.OpenThemeData(nullptr, L"TREEVIEW");
    EXPECT_EQ(theme.GetThemeHandle(), nullptr);
    RECT rc{0, 0, 10, 10};
    EXPECT_EQ(theme.DrawThemeBackground(nullptr, 1, 1, &rc, nullptr), E_FAIL);
    COLORREF color = RGB(1, 2, 3);
    EXPECT_EQ(theme.GetThemeColor(0, 0, TMT_BORDERCOLOR, &color), E_FAIL);
    EXPECT_EQ(color, RGB(1, 2, 3));
    wchar_t file[260] = L"", name[260] = L"";
    EXPECT_EQ(theme.GetCurrentThemeName(file, 260, name, 260, nullptr, 0), E_FAIL);
    EXPECT_FALSE(theme.IsThemeActive());
    EXPECT_FALSE(theme.IsAppThemed());
    EXPECT_FALSE(theme.IsThemingAvailable());
    theme.CloseThemeData();
    EXPECT_EQ(theme.GetThemeHandle(), nullptr);
    EXPECT_EQ(XTPVisualStyleLibrary().m_dwComCtlVersion, 0x60000u) << "the common controls answer apart";
}

TEST_F(VisualStyleWrapperTest, OpeningASecondClassListClosesTheFirst)
{
    FakeThemeLibrary::Install();
    {
        CXTPVisualStyleWrapper theme;
        theme.OpenThemeData(nullptr, L"TREEVIEW");
        HTHEME first = theme.GetThemeHandle();
        ASSERT_NE(first, nullptr);
        theme.OpenThemeData(nullptr, L"HEADER");
        EXPECT_NE(theme.GetThemeHandle(), nullptr);
        EXPECT_NE(theme.GetThemeHandle(), first);
        EXPECT_EQ(FakeThemeLibrary::closed, 1);
        RECT rc{0, 0, 4, 4};
        EXPECT_EQ(theme.DrawThemeBackground(nullptr, 1, 1, &rc, nullptr), S_OK);
        EXPECT_EQ(FakeThemeLibrary::drawn, 1);
    }
    EXPECT_EQ(FakeThemeLibrary::opened, 2);
    EXPECT_EQ(FakeThemeLibrary::closed, 2) << "the destructor closes the held handle";
    FakeThemeLibrary::Uninstall();
}

TEST_F(VisualStyleWrapperTest, ThemingAvailableNeedsAnOpenHandleAndCommonControlsAbove5)
{
    FakeThemeLibrary::Install();
    CXTPVisualStyleWrapper theme;
    EXPECT_TRUE(theme.IsThemeActive());
    EXPECT_FALSE(theme.IsAppThemed()) << "no theme data open yet";
    EXPECT_FALSE(theme.IsThemingAvailable());
    theme.OpenThemeData(nullptr, L"BUTTON");
    EXPECT_TRUE(theme.IsThemingAvailable());

    FakeThemeLibrary::appThemed = FALSE;
    EXPECT_FALSE(theme.IsThemingAvailable());
    FakeThemeLibrary::appThemed = TRUE;

    tavrin::win::SetCommonControlsVersion(5, 82);
    XTPVisualStyleLibrary().Load();
    EXPECT_EQ(XTPVisualStyleLibrary().m_dwComCtlVersion, 0x50052u);
    EXPECT_FALSE(theme.IsThemingAvailable());
    theme.CloseThemeData();
    FakeThemeLibrary::Uninstall();
}

TEST_F(VisualStyleWrapperTest, MissingOrThrowingEntryPointsFail)
{
    FakeThemeLibrary::Install();
    tavrin::win::SetEntryPointAvailable("uxtheme", "GetThemeColor", false);
    XTPVisualStyleLibrary().Load();
    CXTPVisualStyleWrapper theme;
    theme.OpenThemeData(nullptr, L"TREEVIEW");
    ASSERT_NE(theme.GetThemeHandle(), nullptr);
    COLORREF color = 0;
    EXPECT_EQ(theme.GetThemeColor(0, 0, TMT_BORDERCOLOR, &color), E_FAIL);
    theme.CloseThemeData();

    tavrin::win::RegisterStandInLibrary("UxTheme.dll", {{"DrawThemeBackground", tavrin::win::AsFarProc(&ThrowingDraw)}});
    XTPVisualStyleLibrary().Load();
    RECT rc{0, 0, 4, 4};
    EXPECT_EQ(theme.DrawThemeBackground(nullptr, 1, 1, &rc, nullptr), E_FAIL);
    FakeThemeLibrary::Uninstall();
}

TEST_F(VisualStyleWrapperTest, CommonControlsVersionFromDllGetVersion)
{
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    EXPECT_EQ(CXTPVisualStyleWrapper::GetComCtlVersion(comctl), 0x60000u);
    tavrin::win::SetCommonControlsVersion(5, 81);
    EXPECT_EQ(CXTPVisualStyleWrapper::GetComCtlVersion(comctl), 0x50051u);
    tavrin::win::SetEntryPointAvailable("comctl32.dll", "DllGetVersion", false);
    EXPECT_EQ(CXTPVisualStyleWrapper::GetComCtlVersion(comctl), 0u);
    EXPECT_EQ(CXTPVisualStyleWrapper::GetComCtlVersion(nullptr), 0u);
    FreeLibrary(comctl);
}
