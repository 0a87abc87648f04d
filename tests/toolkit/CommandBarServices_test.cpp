#include "toolkit/commandbars/XTPShortcutManager.h"

#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/commandbars/XTPIconHolder.h"
#include "toolkit/commandbars/XTPResourceManager.h"
#include "toolkit/commandbars/XTPSoundManager.h"
#include "toolkit/commandbars/XTPTrackContextMenu.h"
#include "toolkit/commandbars/XTPTransparentBitmap.h"
#include "toolkit/controls/XTGlobalData.h"
#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/Menu.h"
#include "platform/mfc/Wnd.h"
#include "platform/mfc/Resource.h"
#include "platform/win/Input.h"
#include "platform/win/PopupMenu.h"
#include "platform/win/Sound.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

using tavrin::test::TestResourceModule;

namespace {

class CommandBarServicesTest : public tavrin::test::ToolkitTest {};

ACCEL Accel(BYTE fVirt, WORD key, WORD cmd)
{
    return ACCEL{fVirt, key, cmd};
}

// An icon of one colour; the caller destroys it.
HICON MakeIcon(COLORREF clr)
{
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, colour);
    HBRUSH brush = CreateSolidBrush(clr);
    RECT rc{0, 0, 4, 4};
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    HBITMAP mask = CreateBitmap(4, 4, 1, 1, nullptr);
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    return icon;
}

bool IconAlive(HICON icon)
{
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

} // namespace

TEST_F(CommandBarServicesTest, AcceleratorTexts)
{
    struct Case {
        ACCEL accel;
        const char* text;
        int priority;
    };
    const Case cases[] = {
        {Accel(FVIRTKEY | FCONTROL | FSHIFT, 'N', 1), "Ctrl+Shift+N", 3},
        {Accel(FVIRTKEY, VK_F5, 1), "F5", 4},
        {Accel(FVIRTKEY | FALT, VK_F4, 1), "Alt+F4", 2},
        {Accel(FVIRTKEY | FSHIFT, VK_DELETE, 1), "Shift+Delete", 1},
        {Accel(FVIRTKEY | FCONTROL, 0, 1), "Ctrl", 3},        // no key: no trailing plus
        {Accel(FVIRTKEY | FCONTROL, 3, 1), "Ctrl+Break", 3},  // key 3 names the modifiers itself
        {Accel(0, 'a', 1), "a", 4},                           // a character
        {Accel(FCONTROL, 27, 1), "Ctrl+", 3},                 // Esc as a character writes nothing
        {Accel(FVIRTKEY, 0xFA, 1), "Play", 4},                // no layout name: from the table
    };
    for (const Case& c : cases) {
        int priority = 0;
        CString text = XTPShortcutManager()->Format(&c.accel, &priority);
        EXPECT_STREQ(text, c.text) << c.text;
        EXPECT_EQ(priority, c.priority) << c.text;
    }
}

TEST_F(CommandBarServicesTest, BestAcceleratorOfACommand)
{
    ACCEL table[] = {
        Accel(FVIRTKEY | FCONTROL, 'R', 100),
        Accel(FVIRTKEY, VK_F5, 100),
        Accel(FVIRTKEY | FSHIFT, 'X', 200),
    };
    HACCEL accel = CreateAcceleratorTable(table, 3);
    ASSERT_NE(accel, nullptr);
    CXTPShortcutManager* manager = XTPShortcutManager();

    CString shown;
    EXPECT_TRUE(manager->FindAccelerator(accel, 100, shown));
    EXPECT_STREQ(shown, "F5") << "priority 4 over 3";

    shown = "Ctrl+R";
    EXPECT_TRUE(manager->FindAccelerator(accel, 100, shown));
    EXPECT_STREQ(shown, "Ctrl+R") << "a text of the command already shown stays";

    shown = "Ctrl+Q";
    EXPECT_FALSE(manager->FindAccelerator(accel, 300, shown));
    EXPECT_STREQ(shown, "") << "no accelerator clears the text";

    shown.Empty();
    EXPECT_FALSE(manager->FindAccelerator(nullptr, 100, shown));
    DestroyAcceleratorTable(accel);
}

TEST_F(CommandBarServicesTest, FrameDefaultAccelerators)
{
    ACCEL table[] = {Accel(FVIRTKEY | FCONTROL, 'R', 100), Accel(FVIRTKEY, VK_F5, 100)};
    CFrameWnd frame;
    CString shown;
    EXPECT_FALSE(XTPShortcutManager()->FindDefaultAccelerator(100, shown, &frame)) << "no table";
    frame.m_hAccelTable = CreateAcceleratorTable(table, 2); // the frame destroys it
    EXPECT_TRUE(XTPShortcutManager()->FindDefaultAccelerator(100, shown, &frame));
    EXPECT_STREQ(shown, "F5");
    EXPECT_FALSE(XTPShortcutManager()->FindDefaultAccelerator(100, shown, nullptr)) << "no main window";
}

TEST_F(CommandBarServicesTest, MnemonicUpperCase)
{
    EXPECT_EQ(CXTPShortcutManager::ToUpper('f'), 'F');
    EXPECT_EQ(CXTPShortcutManager::ToUpper('&'), '&');
}

TEST_F(CommandBarServicesTest, ToolkitStringsWinOverTheApplications)
{
    const UINT id = 9990;
    TestResourceModule toolkit, application;
    toolkit.AddString(id, "toolkit");
    application.AddString(id, "application");
    application.AddString(id + 16, "application only");
    HMODULE oldToolkit = XTGetResourceHandle();
    HINSTANCE oldApp = AfxGetResourceHandle();
    XTSetResourceHandle(toolkit.Module());
    AfxSetResourceHandle(application.Module());

    CString text;
    EXPECT_TRUE(XTPGetResourceManager()->LoadString(&text, id));
    EXPECT_STREQ(text, "toolkit");
    EXPECT_TRUE(XTPGetResourceManager()->LoadString(&text, id + 16));
    EXPECT_STREQ(text, "application only");
    EXPECT_FALSE(XTPGetResourceManager()->LoadString(&text, id + 32));
    EXPECT_TRUE(XTPGetResourceManager()->m_bValid);

    XTSetResourceHandle(oldToolkit);
    AfxSetResourceHandle(oldApp);
}

TEST_F(CommandBarServicesTest, ToolkitMenusAndBitmapsFromItsModule)
{
    CMenu menu;
    EXPECT_TRUE(XTPGetResourceManager()->LoadMenu(&menu, 9014));
    EXPECT_EQ(menu.GetMenuItemCount(), 3);
    CBitmap bitmap;
    EXPECT_TRUE(XTPGetResourceManager()->LoadBitmap(&bitmap, 9407));
    CMenu missing;
    EXPECT_FALSE(XTPGetResourceManager()->LoadMenu(&missing, 9999));
    EXPECT_EQ(XTPGetResourceManager()->LoadDialogTemplate(MAKEINTRESOURCEA(9999)), nullptr);
}

TEST_F(CommandBarServicesTest, IconHolderDestroysEachIconOnce)
{
    HICON first = MakeIcon(RGB(255, 0, 0));
    HICON second = MakeIcon(RGB(0, 0, 255));
    {
        CXTPIconHolder holder;
        EXPECT_EQ(static_cast<HICON>(holder), nullptr);
        holder = first;
        holder = first; // the same icon again stays alive
        EXPECT_TRUE(IconAlive(first));
        holder = second;
        EXPECT_FALSE(IconAlive(first));
        EXPECT_TRUE(IconAlive(second));
        EXPECT_EQ(static_cast<HICON>(holder), second);
    }
    EXPECT_FALSE(IconAlive(second));
}

namespace {

// Records what is played; a play can be held until the test lets it go.
class LatchedPlayer : public tavrin::win::SoundPlayer {
public:
    bool Play(const tavrin::win::SoundRequest& request) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_played.push_back(request.kind == tavrin::win::SoundRequest::Kind::Stop ? "stop" : request.name);
        ++m_plays;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return !m_hold; });
        return true;
    }
    void Hold(bool hold)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_hold = hold;
        m_changed.notify_all();
    }
    void WaitForPlays(int count)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [&] { return m_plays >= count; });
    }
    std::vector<std::string> Played()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_played;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_played;
    int m_plays = 0;
    bool m_hold = false;
};

} // namespace

TEST_F(CommandBarServicesTest, MenuSoundsPlayOnTheirThread)
{
    LatchedPlayer player;
    tavrin::win::SetSoundPlayer(&player);
    {
        CXTPSoundManager sounds;
        EXPECT_FALSE(sounds.IsThreadRunning());
        sounds.PlaySystemSound(xtpSoundMenuCommand);
        EXPECT_TRUE(sounds.IsThreadRunning());
        player.WaitForPlays(1);
        sounds.PlaySystemSound(xtpSoundMenuPopup);
        player.WaitForPlays(2);
        sounds.StopThread();
        EXPECT_FALSE(sounds.IsThreadRunning());
        sounds.StopThread(); // twice is harmless
    }
    // Aliases by SND_ALIAS | SND_NOWAIT | SND_NODEFAULT, synchronous; the purge at the end.
    EXPECT_EQ(player.Played(), (std::vector<std::string>{"menu-click", "menu-popup", "stop"}));
    tavrin::win::SetSoundPlayer(nullptr);
}

TEST_F(CommandBarServicesTest, StopWaitsForTheSoundBeingPlayed)
{
    LatchedPlayer player;
    tavrin::win::SetSoundPlayer(&player);
    CXTPSoundManager sounds;
    player.Hold(true);
    sounds.PlaySystemSound(xtpSoundMenuPopup);
    player.WaitForPlays(1);
    std::thread stopper([&] { sounds.StopThread(); });
    player.Hold(false);
    stopper.join();
    // The thread ended before StopThread returned: its purge is recorded.
    EXPECT_EQ(player.Played(), (std::vector<std::string>{"menu-popup", "stop"}));
    EXPECT_FALSE(sounds.IsThreadRunning());
    tavrin::win::SetSoundPlayer(nullptr);
}

TEST_F(CommandBarServicesTest, DisabledSoundsStartNoThread)
{
    CXTPSoundManager sounds;
    sounds.EnableSystemSounds(FALSE);
    sounds.PlaySystemSound(xtpSoundMenuCommand);
    EXPECT_FALSE(sounds.IsThreadRunning());
}

TEST_F(CommandBarServicesTest, ContextMenuWithoutAPaintManagerTracksThePlainMenu)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "TavrinContextOwner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, "TavrinContextOwner", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner);
    SetFocus(owner);
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 9158, "Up");
    menu.AppendMenu(MF_STRING, 9159, "Down");
    // Keys waiting in the queue choose the second item.
    for (UINT key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
        tavrin::win::InjectKey(key, true);
        tavrin::win::InjectKey(key, false);
    }
    CWnd* pOwner = CWnd::FromHandle(owner);
    EXPECT_EQ(XTPTrackContextMenu(&menu, TPM_RETURNCMD | TPM_NONOTIFY, 120, 120, pOwner), 9159);
    EXPECT_EQ(XTPTrackContextMenu(nullptr, TPM_RETURNCMD, 10, 10, pOwner), 0);
    DestroyWindow(owner);
}

TEST_F(CommandBarServicesTest, TransparentBitmapLeavesItsBitmapAlone)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SetPixel(dc, 0, 0, RGB(255, 0, 255));
    SelectObject(dc, old);
    DeleteDC(dc);
    {
        CXTPTransparentBitmap transparent(bitmap);
        EXPECT_EQ(transparent.GetTransparentColor(), RGB(255, 0, 255));
        HICON icon = transparent.ConvertToIcon();
        EXPECT_NE(icon, nullptr);
        DestroyIcon(icon);
    }
    BITMAP bm{};
    EXPECT_NE(GetObject(bitmap, sizeof bm, &bm), 0) << "not owned";
    DeleteObject(bitmap);
    EXPECT_EQ(CXTPTransparentBitmap(nullptr).ConvertToIcon(), nullptr);
}
