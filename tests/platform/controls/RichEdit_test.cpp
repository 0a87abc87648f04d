#include "platform/controls/RichEdit.h"
#include "platform/controls/RichEditText.h"
#include "platform/win/Clipboard.h"
#include "platform/win/OptionalLibrary.h"
#include "tests/platform/controls/ControlHost.h"
#include "tests/platform/controls/PictureObject.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace tavrin::test;

namespace {

class RichEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(LoadLibraryA("RICHED32.DLL"), nullptr);
        edit = host.Create(RICHEDIT_CLASS, "",
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                           {10, 10, 310, 110}, 1025);
        ASSERT_NE(edit, nullptr);
    }
    std::string Text()
    {
        char buffer[1024] = {};
        GetWindowTextA(edit, buffer, sizeof buffer);
        return buffer;
    }
    CHARRANGE Sel()
    {
        CHARRANGE range{};
        SendMessageA(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        return range;
    }
    void SetSel(LONG start, LONG end)
    {
        CHARRANGE range{start, end};
        SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    }
    LONG Find(const char* what, WPARAM flags, LONG from = 0, LONG to = -1)
    {
        FINDTEXTEXA find{{from, to}, what, {}};
        const LRESULT at = SendMessageA(edit, EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&find));
        EXPECT_EQ(find.chrgText.cpMin, at);
        return static_cast<LONG>(at);
    }
    ControlHost host;
    HWND edit = nullptr;
};

} // namespace

TEST_F(RichEditTest, MessageTable)
{
    SetWindowTextA(edit, "Hello 世界 hello");
    // "世界" is four bytes: positions count bytes.
    EXPECT_EQ(GetWindowTextLengthA(edit), 16);
    struct Step {
        const char* what;
        std::function<LRESULT()> act;
        LRESULT result;
        const char* text;
        LONG selMin, selMax;
    };
    std::vector<Step> steps = {
        {"select a range", [&] { SetSel(6, 10); return LRESULT{0}; }, 0, "Hello 世界 hello", 6, 10},
        {"a position inside a character snaps back", [&] { SetSel(7, 9); return LRESULT{0}; }, 0, "Hello 世界 hello", 6, 8},
        {"select all", [&] { return SendMessageA(edit, EM_SETSEL, 0, -1); }, 0, "Hello 世界 hello", 0, 16},
        {"deselect keeps the caret", [&] { return SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0); }, 0,
         "Hello 世界 hello", 16, 16},
        {"find with case", [&] { return LRESULT{Find("hello", FR_DOWN | FR_MATCHCASE)}; }, 11, "Hello 世界 hello", 16, 16},
        {"find without case", [&] { return LRESULT{Find("hello", FR_DOWN)}; }, 0, "Hello 世界 hello", 16, 16},
        {"find double-byte text", [&] { return LRESULT{Find("界", FR_DOWN)}; }, 8, "Hello 世界 hello", 16, 16},
        {"find within a range", [&] { return LRESULT{Find("hello", FR_DOWN, 1, 15)}; }, -1, "Hello 世界 hello", 16, 16},
        {"find a whole word", [&] { return LRESULT{Find("ell", FR_DOWN | FR_WHOLEWORD)}; }, -1, "Hello 世界 hello", 16, 16},
        {"replace with undo", [&] { SetSel(0, 5); return SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("你好")); },
         0, "你好 世界 hello", 4, 4},
        {"can undo", [&] { return SendMessageA(edit, EM_CANUNDO, 0, 0); }, TRUE, "你好 世界 hello", 4, 4},
        {"undo", [&] { return SendMessageA(edit, EM_UNDO, 0, 0); }, TRUE, "Hello 世界 hello", 0, 5},
        {"undo again redoes", [&] { return SendMessageA(edit, EM_UNDO, 0, 0); }, TRUE, "你好 世界 hello", 4, 4},
        {"replace without undo", [&] { SetSel(5, 9); return SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("x")); },
         0, "你好 x hello", 6, 6},
        {"nothing to undo", [&] { return SendMessageA(edit, EM_CANUNDO, 0, 0); }, FALSE, "你好 x hello", 6, 6},
        {"a lone lead byte is dropped", [&] { return SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\xC4")); },
         0, "你好 x hello", 6, 6},
        {"line ends become CRLF", [&] { return SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\n")); },
         0, "你好 x\r\n hello", 8, 8},
        {"clear", [&] { SetSel(0, 4); return SendMessageA(edit, WM_CLEAR, 0, 0); }, 0, " x\r\n hello", 0, 0},
        {"background colour: the system's before", [&] { return SendMessageA(edit, EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3)); },
         static_cast<LRESULT>(GetSysColor(COLOR_WINDOW)), " x\r\n hello", 0, 0},
        {"back to the system colour: the previous one", [&] { return SendMessageA(edit, EM_SETBKGNDCOLOR, 1, 0); },
         RGB(1, 2, 3), " x\r\n hello", 0, 0},
        {"event mask", [&] { return SendMessageA(edit, EM_SETEVENTMASK, 0, ENM_CHANGE); }, 0, " x\r\n hello", 0, 0},
        {"event mask again", [&] { return SendMessageA(edit, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_MOUSEEVENTS); },
         ENM_CHANGE, " x\r\n hello", 0, 0},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(s.act(), s.result) << s.what;
        EXPECT_EQ(Text(), s.text) << s.what;
        const CHARRANGE sel = Sel();
        EXPECT_EQ(sel.cpMin, s.selMin) << s.what;
        EXPECT_EQ(sel.cpMax, s.selMax) << s.what;
    }
}

TEST_F(RichEditTest, ChangesAreReportedWhenAskedFor)
{
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc"));
    EXPECT_TRUE(host.Codes().empty());
    SendMessageA(edit, EM_SETEVENTMASK, 0, ENM_CHANGE);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("x"));
    SendMessageA(edit, WM_CHAR, 'y', 0);
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{EN_CHANGE, EN_CHANGE}));
    // A parent that edits the text while handling the change is not told again.
    int calls = 0;
    host.m_handler = [&](UINT message, WPARAM wParam, LPARAM, LRESULT*) {
        if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) {
            ++calls;
            SendMessageA(edit, EM_SETSEL, 0, 1);
            SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("Z"));
        }
        return false;
    };
    SendMessageA(edit, WM_CHAR, 'q', 0);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(Text(), "Zyqabc"); // the text set last left the caret at the start
}

TEST_F(RichEditTest, ClipboardCutCopyPaste)
{
    SetWindowTextA(edit, "剪切 copy");
    SetSel(0, 4);
    SendMessageA(edit, WM_CUT, 0, 0);
    EXPECT_EQ(Text(), " copy");
    EXPECT_TRUE(SendMessageA(edit, EM_CANPASTE, 0, 0));
    SetSel(5, 5);
    SendMessageA(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(), " copy剪切");
    SetSel(1, 5);
    SendMessageA(edit, WM_COPY, 0, 0);
    SetSel(0, 0);
    SendMessageA(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(), "copy copy剪切");
    // The clipboard holds the GBK text.
    ASSERT_TRUE(OpenClipboard(nullptr));
    auto block = static_cast<HGLOBAL>(GetClipboardData(CF_TEXT));
    ASSERT_NE(block, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(block)), "copy");
    GlobalUnlock(block);
    CloseClipboard();
    // Paste is an undoable change.
    EXPECT_TRUE(SendMessageA(edit, EM_UNDO, 0, 0));
    EXPECT_EQ(Text(), " copy剪切");
    // Read-only: no paste.
    SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
    EXPECT_FALSE(SendMessageA(edit, EM_CANPASTE, 0, 0));
}

TEST_F(RichEditTest, PicturesAmongGbkTextByIndex)
{
    SetWindowTextA(edit, "甲a乙");
    // Three pictures: after "甲", at the end, and at the start.
    SetSel(2, 2);
    ASSERT_EQ(InsertPicture(edit, RGB(255, 0, 0), 7), S_OK);
    SetSel(6, 6);
    ASSERT_EQ(InsertPicture(edit, RGB(0, 255, 0), 63), S_OK);
    SetSel(0, 0);
    ASSERT_EQ(InsertPicture(edit, RGB(0, 0, 255), 0), S_OK);
    // Each picture reads as one character.
    EXPECT_EQ(Text(), " 甲 a乙 ");
    EXPECT_EQ(GetWindowTextLengthA(edit), 8);
    EXPECT_EQ(Sel().cpMin, 1); // the caret after the last one inserted

    IRichEditOle* ole = nullptr;
    ASSERT_TRUE(SendMessageA(edit, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole)));
    ASSERT_EQ(ole->GetObjectCount(), 3);
    struct Expect {
        LONG cp;
        DWORD user;
    } expected[] = {{0, 0}, {3, 7}, {7, 63}};
    for (LONG k = 0; k < 3; ++k) {
        REOBJECT record{};
        record.cbStruct = sizeof record;
        ASSERT_EQ(ole->GetObject(k, &record, REO_GETOBJ_ALL_INTERFACES), S_OK) << k;
        EXPECT_EQ(record.cp, expected[k].cp) << k;
        EXPECT_EQ(record.dwUser, expected[k].user) << k;
        EXPECT_TRUE(record.clsid == CLSID_StaticDib);
        ASSERT_NE(record.poleobj, nullptr);
        ASSERT_NE(record.pstg, nullptr);
        ASSERT_NE(record.polesite, nullptr);
        CLSID clsid{};
        EXPECT_EQ(record.poleobj->GetUserClassID(&clsid), S_OK);
        EXPECT_TRUE(clsid == CLSID_StaticDib);
        record.poleobj->Release();
        record.pstg->Release();
        record.polesite->Release();
    }
    // Indexes outside the count are answered as not valid.
    for (LONG bad : {3L, 100L, -5L}) {
        REOBJECT record{};
        record.cbStruct = sizeof record;
        EXPECT_EQ(ole->GetObject(bad, &record, REO_GETOBJ_ALL_INTERFACES), E_INVALIDARG) << bad;
        EXPECT_EQ(record.poleobj, nullptr);
    }
    // By position.
    REOBJECT record{};
    record.cbStruct = sizeof record;
    record.cp = 3;
    EXPECT_EQ(ole->GetObject(REO_IOB_USE_CP, &record, REO_GETOBJ_NO_INTERFACES), S_OK);
    EXPECT_EQ(record.dwUser, 7u);
    record.cp = 4;
    EXPECT_EQ(ole->GetObject(REO_IOB_USE_CP, &record, REO_GETOBJ_NO_INTERFACES), E_INVALIDARG);

    // Deleting a picture removes it from the list; undo brings it back.
    SetSel(3, 4);
    SendMessageA(edit, WM_CLEAR, 0, 0);
    EXPECT_EQ(ole->GetObjectCount(), 2);
    EXPECT_EQ(Text(), " 甲a乙 ");
    SendMessageA(edit, EM_UNDO, 0, 0);
    ASSERT_EQ(ole->GetObjectCount(), 3);
    record = REOBJECT{};
    record.cbStruct = sizeof record;
    EXPECT_EQ(ole->GetObject(1, &record, REO_GETOBJ_NO_INTERFACES), S_OK);
    EXPECT_EQ(record.cp, 3);
    EXPECT_EQ(record.dwUser, 7u);
    // Text finds skip pictures.
    EXPECT_EQ(Find("a", FR_DOWN | FR_MATCHCASE), 4);
    // Replacing the text ends every picture; the interface stays usable.
    SetWindowTextA(edit, "plain");
    EXPECT_EQ(ole->GetObjectCount(), 0);
    EXPECT_EQ(ole->GetObject(0, &record, REO_GETOBJ_ALL_INTERFACES), E_INVALIDARG);
    // After the window is gone the interface answers, but holds nothing.
    DestroyWindow(edit);
    EXPECT_EQ(ole->GetObjectCount(), 0);
    IOleClientSite* site = nullptr;
    EXPECT_EQ(ole->GetClientSite(&site), CO_E_RELEASED);
    ole->Release();
}

TEST_F(RichEditTest, PictureObjectsAreReleasedWithTheirLastHolder)
{
    // A picture object kept by the caller outlives its removal from the text.
    SetWindowTextA(edit, "x");
    ASSERT_EQ(InsertPicture(edit, RGB(9, 9, 9), 5), S_OK);
    IRichEditOle* ole = nullptr;
    SendMessageA(edit, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole));
    REOBJECT record{};
    record.cbStruct = sizeof record;
    ASSERT_EQ(ole->GetObject(0, &record, REO_GETOBJ_POLEOBJ), S_OK);
    IOleObject* kept = record.poleobj;
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
    EXPECT_EQ(ole->GetObjectCount(), 0);
    SIZEL size{};
    EXPECT_EQ(kept->GetExtent(DVASPECT_CONTENT, &size), S_OK);
    EXPECT_EQ(size.cx, 556); // 21 pixels in HIMETRIC, rounded
    EXPECT_EQ(kept->Release(), 0u);
    ole->Release();
}

TEST_F(RichEditTest, OleCallsRefuseBadArguments)
{
    ILockBytes* bytes = nullptr;
    IStorage* storage = nullptr;
    EXPECT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, nullptr), E_POINTER);
    ASSERT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes), S_OK);
    EXPECT_EQ(StgCreateDocfileOnILockBytes(bytes, STGM_READ, 0, &storage), STG_E_INVALIDFLAG);
    EXPECT_EQ(storage, nullptr);
    ASSERT_EQ(StgCreateDocfileOnILockBytes(bytes, STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0, &storage), S_OK);
    BitmapData data(SolidBitmap(RGB(1, 1, 1)));
    FORMATETC text{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    void* object = nullptr;
    EXPECT_EQ(OleCreateStaticFromData(&data, IID_IOleObject, OLERENDER_FORMAT, &text, nullptr, storage, &object),
              DV_E_FORMATETC);
    EXPECT_EQ(object, nullptr);
    FORMATETC bitmap{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    EXPECT_EQ(OleCreateStaticFromData(nullptr, IID_IOleObject, OLERENDER_FORMAT, &bitmap, nullptr, storage, &object),
              E_INVALIDARG);
    EXPECT_EQ(OleCreateStaticFromData(&data, IID_IDataObject, OLERENDER_FORMAT, &bitmap, nullptr, storage, &object),
              E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    // Objects without an object interface are not inserted.
    IRichEditOle* ole = nullptr;
    SendMessageA(edit, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole));
    REOBJECT record{};
    record.cbStruct = sizeof record;
    record.cp = REO_CP_SELECTION;
    EXPECT_EQ(ole->InsertObject(&record), E_INVALIDARG);
    EXPECT_EQ(ole->GetObjectCount(), 0);
    ole->Release();
    storage->Release();
    EXPECT_EQ(bytes->Release(), 0u);
}

TEST_F(RichEditTest, MouseFilterCarriesTheRightPress)
{
    std::vector<UINT> filtered;
    host.m_handler = [&](UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == EN_MSGFILTER) {
            auto* filter = reinterpret_cast<MSGFILTER*>(lParam);
            EXPECT_EQ(filter->nmhdr.idFrom, 1025u);
            filtered.push_back(filter->msg);
            *result = 0;
            return true;
        }
        return false;
    };
    // Far apart, so the second press is not a double click.
    int x = 20;
    auto rightClick = [&] {
        const POINT pt = ScreenPoint(edit, x, 10);
        x += 100;
        tavrin::win::InjectClick(pt.x, pt.y, tavrin::win::MouseButton::Right);
        PumpAll();
    };
    rightClick();
    EXPECT_TRUE(filtered.empty()); // not asked for
    SendMessageA(edit, EM_SETEVENTMASK, 0, ENM_MOUSEEVENTS);
    rightClick();
    EXPECT_NE(std::find(filtered.begin(), filtered.end(), static_cast<UINT>(WM_RBUTTONDOWN)), filtered.end());
    EXPECT_NE(std::find(filtered.begin(), filtered.end(), static_cast<UINT>(WM_RBUTTONUP)), filtered.end());
}

TEST_F(RichEditTest, TypedKeysAndImeText)
{
    SetFocus(edit);
    PumpAll();
    tavrin::win::InjectText("ab");
    PumpAll();
    // Committed IME text arrives byte by byte, or as double-byte characters.
    tavrin::win::InjectText("中文");
    PumpAll();
    SendMessageA(edit, WM_IME_CHAR, 0xD7D6, 0); // "字"
    EXPECT_EQ(Text(), "ab中文字");
    PressKey(VK_LEFT);
    PressKey(VK_BACK);
    EXPECT_EQ(Text(), "ab中字");
    EXPECT_EQ(Sel().cpMin, 4);
    PressKey(VK_RETURN);
    tavrin::win::InjectText("x");
    PumpAll();
    EXPECT_EQ(Text(), "ab中\r\nx字");
    EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 2);
    // Shift+Home selects back to the line's start; typing replaces it.
    tavrin::win::InjectKey(VK_SHIFT, true);
    PressKey(VK_HOME);
    tavrin::win::InjectKey(VK_SHIFT, false);
    PumpAll();
    EXPECT_EQ(Sel().cpMin, 6);
    EXPECT_EQ(Sel().cpMax, 7);
    // Ctrl+Z takes back the typing run (the line break and "x") as one step.
    tavrin::win::InjectKey(VK_CONTROL, true);
    PressKey('Z');
    tavrin::win::InjectKey(VK_CONTROL, false);
    PumpAll();
    EXPECT_EQ(Text(), "ab中字");
}

TEST_F(RichEditTest, LongTextWrapsAndScrollsToTheCaret)
{
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "词语 word ";
    SetWindowTextA(edit, text.c_str());
    const LRESULT lines = SendMessageA(edit, EM_GETLINECOUNT, 0, 0);
    EXPECT_GT(lines, 5);
    // No line is wider than the control.
    for (LRESULT i = 0; i < lines; ++i) {
        const LRESULT start = SendMessageA(edit, EM_LINEINDEX, static_cast<WPARAM>(i), 0);
        POINT pt{};
        SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), start);
        EXPECT_LE(pt.x, 2) << i;
    }
    EXPECT_EQ(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(text.size()), static_cast<LPARAM>(text.size()));
    EXPECT_GT(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(edit, SB_VERT, &info);
    EXPECT_EQ(info.nMax, lines - 1);
    EXPECT_EQ(info.nPos, SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    // The scroll bar moves the view.
    SendMessageA(edit, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST(RichEditText, CleanKeepsWholeCharacters)
{
    using tavrin::controls::RichEditText;
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"a\nb\rc\r\nd", "a\r\nb\r\nc\r\nd"}, {"\x01x\x02", "x"}, {"中\xD6", "中"}, {"\xD6\x0Ax", "\r\nx"}, {"\tt", "\tt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RichEditText::Clean(c.in), c.out) << c.in;
}

TEST_F(RichEditTest, InADialogItKeepsReturnAndLeavesTabAndEsc)
{
    struct Case {
        UINT key;
        bool wanted;
    } cases[] = {{VK_RETURN, true}, {VK_TAB, false}, {VK_ESCAPE, false}};
    for (const Case& c : cases) {
        MSG msg{edit, WM_KEYDOWN, c.key, 0, 0, {0, 0}};
        const LRESULT code = SendMessageA(edit, WM_GETDLGCODE, c.key, reinterpret_cast<LPARAM>(&msg));
        EXPECT_EQ((code & DLGC_WANTMESSAGE) != 0, c.wanted) << c.key;
        EXPECT_TRUE(code & DLGC_WANTCHARS);
    }
}
