// Shared pieces of the toolkit's tests: a fixture that puts the system
// profile, the optional libraries and the display depth back to their
// defaults around every test, and a stand-in visual-styles library.
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <gtest/gtest.h>
#include <string>

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

// "r, g, b" for failure messages.
std::string ColorText(COLORREF clr);

} // namespace tavrin::test
