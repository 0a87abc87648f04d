#include "platform/win/Clipboard.h"
#include "platform/win/Presenter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace {

HGLOBAL Text(const char* text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::memcpy(GlobalLock(block), text, std::strlen(text) + 1);
    GlobalUnlock(block);
    return block;
}

std::string Read(HANDLE data)
{
    auto* p = static_cast<const char*>(GlobalLock(data));
    std::string text = p ? p : "";
    GlobalUnlock(data);
    return text;
}

} // namespace

TEST(GlobalMemory, BlocksCountLocksAndRefuseStaleHandles)
{
    HGLOBAL fixed = GlobalAlloc(GPTR, 8);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(GlobalLock(fixed), fixed) << "a fixed block's handle is its address";
    EXPECT_EQ(static_cast<const char*>(fixed)[7], 0);
    HGLOBAL movable = GlobalAlloc(GHND, 100);
    ASSERT_TRUE(movable);
    EXPECT_EQ(GlobalSize(movable), 100u);
    void* p = GlobalLock(movable);
    ASSERT_TRUE(p);
    EXPECT_NE(p, movable);
    EXPECT_EQ(GlobalLock(movable), p);
    EXPECT_TRUE(GlobalUnlock(movable)) << "still locked once";
    EXPECT_FALSE(GlobalUnlock(movable));
    EXPECT_EQ(GlobalFree(movable), nullptr);
    EXPECT_EQ(GlobalFree(movable), movable) << "freed already";
    EXPECT_EQ(GlobalLock(movable), nullptr);
    EXPECT_EQ(GlobalFree(fixed), nullptr);
}

TEST(Clipboard, TextGoesThroughTheDesktopAndOtherFormatsStayHere)
{
    auto& desktop = tavrin::display::GetPresenter();
    HGLOBAL stray = Text("x");
    EXPECT_EQ(SetClipboardData(CF_TEXT, stray), nullptr) << "not open";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLIPBOARD_NOT_OPEN));
    GlobalFree(stray);

    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    HGLOBAL text = Text("复制的文字 text");
    EXPECT_EQ(SetClipboardData(CF_TEXT, text), text);
    const UINT items = RegisterClipboardFormatA("Tavrin Items");
    EXPECT_GE(items, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormatA("tavrin items"), items) << "names are case-insensitive";
    EXPECT_NE(RegisterClipboardFormatA("Tavrin Other"), items);
    char name[32];
    EXPECT_EQ(GetClipboardFormatNameA(items, name, sizeof name), 12);
    EXPECT_STREQ(name, "Tavrin Items");
    HGLOBAL blob = Text("item 7");
    EXPECT_EQ(SetClipboardData(items, blob), blob);
    // Another thread cannot open it meanwhile.
    BOOL otherOpened = TRUE;
    std::thread([&] { otherOpened = OpenClipboard(nullptr); }).join();
    EXPECT_FALSE(otherOpened);
    ASSERT_TRUE(CloseClipboard());
    EXPECT_FALSE(CloseClipboard());

    std::string onDesktop;
    ASSERT_TRUE(desktop.GetClipboardText(onDesktop));
    EXPECT_EQ(onDesktop, "复制的文字 text");
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_TRUE(IsClipboardFormatAvailable(items));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(Read(GetClipboardData(items)), "item 7");
    EXPECT_EQ(Read(GetClipboardData(CF_TEXT)), "复制的文字 text");
    ASSERT_TRUE(CloseClipboard());

    // Another program copies: its text comes in, our own formats are gone.
    ASSERT_TRUE(desktop.SetClipboardText("别的程序的"));
    EXPECT_FALSE(IsClipboardFormatAvailable(items));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(Read(GetClipboardData(CF_TEXT)), "别的程序的");
    EXPECT_EQ(GetClipboardData(items), nullptr);
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
    ASSERT_TRUE(CloseClipboard());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
}
