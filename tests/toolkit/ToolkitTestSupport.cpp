#include "tests/toolkit/ToolkitTestSupport.h"

#include "toolkit/commandbars/XTPVisualStyleWrapper.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/mfc/Wnd.h"
#include "platform/win/OptionalLibrary.h"
#include "platform/win/Resource.h"
#include "platform/win/SystemProfile.h"

#include <cstring>
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

Canvas::Canvas(int width, int height)
{
    HDC screen = GetDC(nullptr);
    m_dc.CreateCompatibleDC(nullptr);
    m_bitmap.Attach(CreateCompatibleBitmap(screen, width, height));
    ReleaseDC(nullptr, screen);
    m_old = m_dc.SelectObject(&m_bitmap);
    m_dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
}

Canvas::~Canvas()
{
    m_dc.SelectObject(m_old);
}

TestResourceModule::~TestResourceModule()
{
    if (m_module)
        tavrin::win::DestroyResourceModule(m_module);
}

void TestResourceModule::AddRaw(WORD typeId, UINT id, std::vector<BYTE> bytes)
{
    m_data.push_back(std::move(bytes));
    const std::vector<BYTE>& data = m_data.back();
    m_entries.push_back({typeId, nullptr, static_cast<WORD>(id), nullptr, data.data(), static_cast<DWORD>(data.size())});
}

void TestResourceModule::AddString(UINT id, const std::string& text)
{
    std::vector<BYTE> block;
    for (UINT i = 0; i < 16; ++i) {
        size_t count = i == (id & 15) ? text.size() : 0;
        block.push_back(static_cast<BYTE>(count & 0xFF));
        block.push_back(static_cast<BYTE>(count >> 8));
        for (size_t k = 0; k < count; ++k) {
            block.push_back(static_cast<BYTE>(text[k]));
            block.push_back(0);
        }
    }
    AddRaw(6, (id >> 4) + 1, std::move(block));
}

void TestResourceModule::AddBitmap(UINT id, int width, int height, int bitsPerPixel, COLORREF (*pixel)(int x, int y))
{
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitsPerPixel);
    header.biCompression = BI_RGB;
    const size_t stride = ((static_cast<size_t>(width) * bitsPerPixel + 31) / 32) * 4;
    header.biSizeImage = static_cast<DWORD>(stride * static_cast<size_t>(height));
    std::vector<BYTE> bytes(sizeof header + stride * static_cast<size_t>(height), 0);
    std::memcpy(bytes.data(), &header, sizeof header);
    for (int y = 0; y < height; ++y) {
        BYTE* row = bytes.data() + sizeof header + stride * static_cast<size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            COLORREF c = pixel(x, y);
            BYTE* p = row + static_cast<size_t>(x) * static_cast<size_t>(bitsPerPixel / 8);
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
            if (bitsPerPixel == 32)
                p[3] = static_cast<BYTE>(c >> 24);
        }
    }
    AddRaw(2, id, std::move(bytes));
}

void TestResourceModule::AddToolBar(UINT id, int width, int height, const std::vector<WORD>& commands)
{
    std::vector<WORD> words = {1, static_cast<WORD>(width), static_cast<WORD>(height),
                               static_cast<WORD>(commands.size())};
    words.insert(words.end(), commands.begin(), commands.end());
    std::vector<BYTE> bytes;
    for (WORD w : words) {
        bytes.push_back(static_cast<BYTE>(w & 0xFF));
        bytes.push_back(static_cast<BYTE>(w >> 8));
    }
    AddRaw(241, id, std::move(bytes));
}

HMODULE TestResourceModule::Module()
{
    if (!m_module)
        m_module = tavrin::win::CreateResourceModule({m_entries.data(), m_entries.size()});
    return m_module;
}

} // namespace tavrin::test
