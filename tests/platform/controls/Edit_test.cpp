#include "platform/controls/Edit.h"
#include "platform/win/Caret.h"
#include "platform/win/Clipboard.h"
#include "tests/platform/controls/ControlHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace tavrin::test;

namespace {

constexpr DWORD kEdit = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;

class EditTest : public ::testing::Test {
protected:
    ControlHost m_host;

    HWND Make(DWORD extra = 0, const char* text = "", RECT rect = {20, 20, 220, 44})
    {
        HWND edit = m_host.Create(WC_EDIT, text, kEdit | extra, rect, 1001);
        m_host.Clear();
        return edit;
    }
    static std::string Text(HWND edit)
    {
        char buffer[256] = {};
        GetWindowTextA(edit, buffer, sizeof(buffer));
        return buffer;
    }
    static std::pair<int, int> Sel(HWND edit)
    {
        DWORD start = 0, end = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }
    static void Key(UINT key, bool shift = false, bool control = false)
    {
        if (shift)
            tavrin::win::InjectKey(VK_SHIFT, true);
        if (control)
            tavrin::win::InjectKey(VK_CONTROL, true);
        tavrin::win::InjectKey(key, true);
        tavrin::win::InjectKey(key, false);
        if (control)
            tavrin::win::InjectKey(VK_CONTROL, false);
        if (shift)
            tavrin::win::InjectKey(VK_SHIFT, false);
        PumpAll();
    }
    static void Type(const std::string& text)
    {
        tavrin::win::InjectText(text);
        PumpAll();
    }
};

} // namespace

TEST_F(EditTest, MessageTable)
{
    HWND e = Make(0, "hello");
    EXPECT_EQ(Text(e), "hello");
    EXPECT_EQ(SendMessageA(e, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
    struct SelCase {
        int start, end, gotStart, gotEnd;
    } sels[] = {{1, 3, 1, 3}, {0, -1, 0, 5}, {4, 2, 2, 4}, {-1, 0, 2, 2}, {3, 99, 3, 5}};
    for (const SelCase& c : sels) {
        SendMessageA(e, EM_SETSEL, static_cast<WPARAM>(c.start), c.end);
        EXPECT_EQ(Sel(e), std::make_pair(c.gotStart, c.gotEnd)) << c.start << "," << c.end;
    }
    EXPECT_EQ(SendMessageA(e, EM_GETSEL, 0, 0), MAKELONG(3, 5));
    EXPECT_FALSE(SendMessageA(e, EM_GETMODIFY, 0, 0));
    SendMessageA(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("p!"));
    EXPECT_EQ(Text(e), "help!");
    EXPECT_EQ(m_host.Codes(), (std::vector<UINT>{EN_UPDATE, EN_CHANGE}));
    EXPECT_TRUE(SendMessageA(e, EM_GETMODIFY, 0, 0));
    EXPECT_TRUE(SendMessageA(e, EM_CANUNDO, 0, 0));
    EXPECT_TRUE(SendMessageA(e, EM_UNDO, 0, 0));
    EXPECT_EQ(Text(e), "hello");
    m_host.Clear();
    SetWindowTextA(e, "new");
    EXPECT_EQ(m_host.Codes(), (std::vector<UINT>{EN_UPDATE, EN_CHANGE}));
    EXPECT_FALSE(SendMessageA(e, EM_GETMODIFY, 0, 0));
    EXPECT_FALSE(SendMessageA(e, EM_CANUNDO, 0, 0));
    SendMessageA(e, EM_SETMODIFY, TRUE, 0);
    EXPECT_TRUE(SendMessageA(e, EM_GETMODIFY, 0, 0));

    SendMessageA(e, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(3, 3));
    EXPECT_EQ(SendMessageA(e, EM_GETMARGINS, 0, 0), MAKELONG(3, 3));
    SendMessageA(e, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, 7));
    EXPECT_EQ(SendMessageA(e, EM_GETMARGINS, 0, 0), MAKELONG(3, 7));

    EXPECT_EQ(SendMessageA(e, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
    SendMessageA(e, EM_LIMITTEXT, 5, 0);
    EXPECT_EQ(SendMessageA(e, EM_GETLIMITTEXT, 0, 0), 5);
    SendMessageA(e, EM_SETSEL, 3, 3);
    m_host.Clear();
    SendMessageA(e, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("\xD6\xD0\xD6\xD0"));
    EXPECT_EQ(Text(e), "new\xD6\xD0");
    EXPECT_EQ(m_host.Codes(), (std::vector<UINT>{EN_UPDATE, EN_CHANGE, EN_MAXTEXT}));

    // EM_GETLINE: the size in the buffer's first word, no terminator, never past it.
    char line[8];
    std::memset(line, 'x', sizeof(line));
    const WORD size = 4;
    std::memcpy(line, &size, sizeof(size));
    EXPECT_EQ(SendMessageA(e, EM_GETLINE, 0, reinterpret_cast<LPARAM>(line)), 3); // not half of 中
    EXPECT_EQ(std::string(line, 3), "new");
    EXPECT_EQ(line[4], 'x');

    EXPECT_TRUE(SendMessageA(e, EM_SETREADONLY, TRUE, 0));
    EXPECT_NE(GetWindowLongA(e, GWL_STYLE) & ES_READONLY, 0);
    EXPECT_EQ(SendMessageA(e, EM_GETPASSWORDCHAR, 0, 0), 0);
}

TEST_F(EditTest, KeyboardSelectionAndGbkCaretMoves)
{
    HWND e = Make();
    SetFocus(e);
    m_host.Clear();
    Type("ab\xD6\xD0\x81\x5C" "c"); // ab中(81 5C)c, typed byte by byte as an IME commits it
    EXPECT_EQ(Text(e), "ab\xD6\xD0\x81\x5C" "c");
    // One EN_UPDATE/EN_CHANGE pair per character, never per byte.
    EXPECT_EQ(m_host.Codes().size(), 10u);
    Key(VK_LEFT);
    EXPECT_EQ(Sel(e), std::make_pair(6, 6));
    Key(VK_LEFT);
    EXPECT_EQ(Sel(e), std::make_pair(4, 4)); // over the whole character, backslash trail too
    Key(VK_LEFT, true);
    EXPECT_EQ(Sel(e), std::make_pair(2, 4));
    Key(VK_HOME, true);
    EXPECT_EQ(Sel(e), std::make_pair(0, 4));
    Key(VK_DELETE);
    EXPECT_EQ(Text(e), "\x81\x5C" "c");
    Key(VK_END);
    Type("\x08\x08"); // two backspaces: c, then the whole double-byte character
    EXPECT_EQ(Text(e), "");
    Type("x");
    Type("\x1A"); // Ctrl+Z
    EXPECT_EQ(Text(e), "");
}

TEST_F(EditTest, ImeCharactersArriveWhole)
{
    HWND e = Make();
    SetFocus(e);
    SendMessageA(e, WM_IME_CHAR, 0xD6D0, 0);
    SendMessageA(e, WM_IME_CHAR, 'a', 0);
    EXPECT_EQ(Text(e), "\xD6\xD0" "a");
    // A lead byte left hanging when the focus goes is dropped, not glued to later text.
    SendMessageA(e, WM_CHAR, 0xD6, 0);
    SetFocus(m_host.Handle());
    SetFocus(e);
    SendMessageA(e, WM_CHAR, 'b', 0);
    EXPECT_EQ(Text(e), "\xD6\xD0" "ab");
}

TEST_F(EditTest, StylesRefuseWhatTheyMust)
{
    HWND number = Make(ES_NUMBER);
    SetFocus(number);
    Type("1a2\xD6\xD0" "3");
    EXPECT_EQ(Text(number), "123");
    HWND readOnly = Make(ES_READONLY, "fixed", {20, 60, 220, 84});
    SetFocus(readOnly);
    Type("x");
    Key(VK_DELETE);
    EXPECT_EQ(Text(readOnly), "fixed");
    Key(VK_HOME, true); // selecting still works
    HWND upper = Make(ES_UPPERCASE, "", {20, 100, 220, 124});
    SetFocus(upper);
    Type("aB");
    EXPECT_EQ(Text(upper), "AB");
    // Without ES_AUTOHSCROLL the text must fit the field.
    HWND narrow = m_host.Create(WC_EDIT, "", WS_CHILD | WS_VISIBLE, {20, 140, 50, 160}, 5);
    SetFocus(narrow);
    m_host.Clear();
    Type("wwwwwwwwww");
    EXPECT_LT(Text(narrow).size(), 10u);
    EXPECT_EQ(m_host.Codes().back(), static_cast<UINT>(EN_MAXTEXT));
}

TEST_F(EditTest, PasswordShowsMaskCharacters)
{
    HWND plain = Make(0, "iiii");
    HWND masked = Make(ES_PASSWORD, "iiii", {20, 60, 220, 84});
    EXPECT_EQ(SendMessageA(masked, EM_GETPASSWORDCHAR, 0, 0), '*');
    EXPECT_EQ(Text(masked), "iiii");
    // The masked field's text is wider than the narrow letters it stands for.
    const int plainEnd = LOWORD(SendMessageA(plain, EM_POSFROMCHAR, 4, 0));
    const int maskedEnd = LOWORD(SendMessageA(masked, EM_POSFROMCHAR, 4, 0));
    EXPECT_GT(maskedEnd, plainEnd);
    SendMessageA(masked, EM_SETPASSWORDCHAR, 0, 0);
    EXPECT_EQ(LOWORD(SendMessageA(masked, EM_POSFROMCHAR, 4, 0)), plainEnd);
    EXPECT_EQ(GetWindowLongA(masked, GWL_STYLE) & ES_PASSWORD, 0);
}

TEST_F(EditTest, MouseSelection)
{
    HWND e = Make(0, "abcdef");
    const int x2 = LOWORD(SendMessageA(e, EM_POSFROMCHAR, 2, 0));
    const int x5 = LOWORD(SendMessageA(e, EM_POSFROMCHAR, 5, 0));
    POINT from = ScreenPoint(e, x2, 8), to = ScreenPoint(e, x5, 8);
    tavrin::win::InjectMouseMove(from.x, from.y);
    tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, true);
    tavrin::win::InjectMouseMove(to.x, to.y);
    tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, false);
    PumpAll();
    EXPECT_EQ(GetFocus(), e);
    EXPECT_EQ(Sel(e), std::make_pair(2, 5));
    EXPECT_EQ(LOWORD(SendMessageA(e, EM_CHARFROMPOS, 0, MAKELPARAM(x5, 5))), 5);
    // The selection is drawn in the highlight colour while focused.
    EXPECT_EQ(PixelAt(e, (x2 + x5) / 2, 2), GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(EditTest, CentredTextAndLongTextScrolls)
{
    HWND centred = Make(ES_CENTER, "ab");
    const int x0 = LOWORD(SendMessageA(centred, EM_POSFROMCHAR, 0, 0));
    const int x2 = LOWORD(SendMessageA(centred, EM_POSFROMCHAR, 2, 0));
    RECT rc;
    GetClientRect(centred, &rc);
    EXPECT_NEAR((x0 + x2) / 2, rc.right / 2, 2);
    HWND e = Make(0, "", {20, 60, 80, 84});
    SetFocus(e);
    Type(std::string(40, 'm'));
    // The caret end shows: the last character lies inside the field.
    const int last = static_cast<short>(LOWORD(SendMessageA(e, EM_POSFROMCHAR, 40, 0)));
    GetClientRect(e, &rc);
    EXPECT_LE(last, rc.right);
    EXPECT_GT(last, 0);
    EXPECT_LT(static_cast<short>(LOWORD(SendMessageA(e, EM_POSFROMCHAR, 0, 0))), 0);
    Key(VK_HOME);
    EXPECT_EQ(static_cast<short>(LOWORD(SendMessageA(e, EM_POSFROMCHAR, 0, 0))), 1);
}

namespace {

void PutOnClipboard(const std::string& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

std::string FromClipboard()
{
    std::string text;
    if (!OpenClipboard(nullptr))
        return "<busy>";
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

} // namespace

TEST_F(EditTest, ClipboardCutCopyPaste)
{
    HWND e = Make(0, "copy me");
    SetFocus(e);
    SendMessageA(e, EM_SETSEL, 0, 4);
    Type("\x03"); // Ctrl+C
    EXPECT_EQ(FromClipboard(), "copy");
    Key(VK_END);
    Type("\x16"); // Ctrl+V
    EXPECT_EQ(Text(e), "copy mecopy");
    SendMessageA(e, EM_SETSEL, 0, 5);
    Type("\x18"); // Ctrl+X
    EXPECT_EQ(Text(e), "mecopy");
    EXPECT_EQ(FromClipboard(), "copy ");
    SendMessageA(e, EM_SETSEL, 0, 2);
    SendMessageA(e, WM_CLEAR, 0, 0);
    EXPECT_EQ(Text(e), "copy");
    // Only the first line goes into a single-line field.
    PutOnClipboard("one\r\ntwo");
    SendMessageA(e, EM_SETSEL, 0, -1);
    SendMessageA(e, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(e), "one");
}

TEST_F(EditTest, PastesKeepTheFieldsRules)
{
    // A password never leaves its field.
    HWND masked = Make(ES_PASSWORD, "secret");
    PutOnClipboard("before");
    SendMessageA(masked, EM_SETSEL, 0, -1);
    SendMessageA(masked, WM_COPY, 0, 0);
    SendMessageA(masked, WM_CUT, 0, 0);
    EXPECT_EQ(FromClipboard(), "before");
    EXPECT_EQ(Text(masked), "secret");
    // Digits only: a paste with anything else is refused whole.
    HWND number = Make(ES_NUMBER, "1", {20, 60, 220, 84});
    PutOnClipboard("2a3");
    SendMessageA(number, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(number), "1");
    PutOnClipboard("23");
    SendMessageA(number, EM_SETSEL, 1, 1);
    SendMessageA(number, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(number), "123");
    // The limit cuts a paste between characters and says so.
    HWND limited = Make(0, "", {20, 100, 220, 124});
    SendMessageA(limited, EM_LIMITTEXT, 4, 0);
    PutOnClipboard("a\xD6\xD0\xD6\xD0");
    m_host.Clear();
    SendMessageA(limited, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(limited), "a\xD6\xD0");
    EXPECT_EQ(m_host.Codes(), (std::vector<UINT>{EN_UPDATE, EN_CHANGE, EN_MAXTEXT}));
    // Read-only fields take nothing.
    HWND fixed = Make(ES_READONLY, "fixed", {20, 140, 220, 164});
    SendMessageA(fixed, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(fixed), "fixed");
}

TEST_F(EditTest, TheCaretFollowsTheInsertionPoint)
{
    HWND e = Make(0, "abcdef");
    SetFocus(e);
    SendMessageA(e, EM_SETSEL, 3, 3);
    POINT caret{};
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, static_cast<short>(LOWORD(SendMessageA(e, EM_POSFROMCHAR, 3, 0))));
    Key(VK_END);
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, static_cast<short>(LOWORD(SendMessageA(e, EM_POSFROMCHAR, 6, 0))));
}
