// Shared pieces of the toolkit's tests: a fixture that puts the system
// profile, the optional libraries and the display depth back to their
// defaults around every test, and a stand-in visual-styles library.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/GdiObject.h"
#include "platform/win/ResourceTable.h"

#include <gtest/gtest.h>
#include <list>
#include <string>
#include <vector>

namespace tavrin::test {

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// A visual-styles library answering with chosen names and colours. Install
// registers it and reloads the toolkit's record of the library.
struct FakeThemeLibrary {
    static void Install();
    static void Uninstall();

    static std::wstring fileName;
    static std::wstring colorName;
    static BOOL themeActive;
    static BOOL appThemed;
    static COLORREF borderColor;
    static int opened;  // theme data handles opened
    static int closed;  // and closed
    static int drawn;   // backgrounds drawn
};

// A memory DC over a white bitmap of the screen's format.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    CDC* DC() { return &m_dc; }
    COLORREF At(int x, int y) { return m_dc.GetPixel(x, y); }

private:
    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_old = nullptr;
};

// A resource module made in the test: string blocks, bitmaps and toolbars.
class TestResourceModule {
public:
    TestResourceModule() = default;
    ~TestResourceModule();
    TestResourceModule(const TestResourceModule&) = delete;
    TestResourceModule& operator=(const TestResourceModule&) = delete;

    // One string in its block (ASCII text).
    void AddString(UINT id, const std::string& text);
    // A packed DIB: the header and the bottom-up rows; pixel(x, y) gives an
    // RGB() colour with the alpha (32 bits) in its top byte.
    void AddBitmap(UINT id, int width, int height, int bitsPerPixel, COLORREF (*pixel)(int x, int y));
    void AddToolBar(UINT id, int width, int height, const std::vector<WORD>& commands);
    void AddRaw(WORD typeId, UINT id, std::vector<BYTE> bytes);
    // Made on first use.
    HMODULE Module();

private:
    std::list<std::vector<BYTE>> m_data;
    std::vector<tavrin::win::ResourceEntry> m_entries;
    HMODULE m_module = nullptr;
};

// "r, g, b" for failure messages.
std::string ColorText(COLORREF clr);

} // namespace tavrin::test
