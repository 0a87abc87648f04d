// The verification-code dialog and the smiley picker as real windows: the
// code picture on screen with typed (and input-method) text accepted, and
// the picker opened, hovered, picked from and dismissed by real clicks.
#include "app/ComposeEdit.h"
#include "app/SmileyPicker.h"
#include "app/dialogs/VerifyCodeDlg.h"
#include "platform/base/CodePage.h"
#include "platform/base/Path.h"
#include "platform/controls/CommCtrl.h"
#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/gdi/Surface.h"
#include "platform/mfc/CmdTarget.h"
#include "platform/mfc/ImageList.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/OptionalLibrary.h"
#include "platform/win/User.h"
#include "res/resource.h"
#include "tests/app/ComposeTestSupport.h"
#include "tests/support/DisplayPump.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace tavrin;
using namespace tavrin::test;

namespace {

display::GtkPresenter* g_presenter = nullptr;

COLORREF Shown(HWND hwnd, int x, int y)
{
    HWND root = GetAncestor(hwnd, GA_ROOT);
    g_presenter->Flush();
    auto shot = g_presenter->CaptureWindow(root);
    POINT pt{x, y};
    MapWindowPoints(hwnd, root, &pt, 1);
    if (!shot || pt.x < 0 || pt.y < 0 || pt.x >= shot->Width() || pt.y >= shot->Height())
        return 0xFFFFFFFF;
    return ColorFromPixel(shot->GetPixel(pt.x, pt.y)) & 0xFFFFFF;
}

void Save(HWND top, const char* name)
{
    PumpUntil([] { return false; }, 200);
    g_presenter->Flush();
    if (auto shot = g_presenter->CaptureWindow(top))
        SavePng(*shot, name);
}

// Drives the dialog from its modal loop as a user would.
class CShownVerifyCodeDlg : public CVerifyCodeDlg {
public:
    int stage = 0;
    int kicks = 0;
    bool pictureShown = false;
    std::string lastText;

protected:
    BOOL OnInitDialog() override
    {
        CVerifyCodeDlg::OnInitDialog();
        ::SetTimer(m_hWnd, 1, 20, nullptr);
        return TRUE;
    }
    LRESULT OnKickIdle(WPARAM, LPARAM)
    {
        if (++kicks > 3000) {
            EndDialog(-2); // stuck
            return 0;
        }
        HWND picture = ::GetDlgItem(m_hWnd, IDC_VERIFY_PICTURE);
        HWND edit = ::GetDlgItem(m_hWnd, IDC_VERIFY_CODE);
        if (stage == 0 && g_presenter->GetNativeWindow(m_hWnd) && ::GetFocus() == edit &&
            Shown(picture, 7, 5) == RGB(255, 0, 0)) {
            pictureShown = Shown(picture, 4, 5) != RGB(255, 0, 0) && Shown(picture, 20, 5) != RGB(0, 255, 0);
            Save(m_hWnd, "compose-verify-code.png");
            stage = 1;
            g_presenter->SimulateKey(m_hWnd, "a");
            g_presenter->SimulateKey(m_hWnd, "b");
        } else if (stage == 1 || stage == 2) {
            CString text;
            GetDlgItemText(IDC_VERIFY_CODE, text);
            lastText = std::string(text.View());
            if (stage == 1 && text == "ab") {
                stage = 2;
                g_presenter->SimulateImeCommit(m_hWnd, GbkToUtf8("甲"));
            } else if (stage == 2 && text == "ab甲") {
                stage = 3;
                Save(m_hWnd, "compose-verify-code-typed.png");
                RECT ok{};
                ::GetWindowRect(::GetDlgItem(m_hWnd, IDOK), &ok);
                POINT at{(ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2};
                ::ScreenToClient(m_hWnd, &at);
                g_presenter->SimulateClick(m_hWnd, at.x, at.y, 1);
            }
        }
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CShownVerifyCodeDlg, CVerifyCodeDlg)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

// Stands for the compose view: a pick goes into the body at the caret.
class CPickerHost : public CWnd {
public:
    CComposeEdit body;
    CSmileyButton button;
    CImageList images;
    std::vector<int> picks;

protected:
    LRESULT OnInsertSmiley(WPARAM wParam, LPARAM)
    {
        const int index = static_cast<int>(wParam);
        picks.push_back(index);
        if (index >= 0)
            body.InsertSmiley(body.MakeSmileyBitmap(&images, index), index);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPickerHost, CWnd)
ON_MESSAGE(WM_INSERT_SMILEY, OnInsertSmiley)
END_MESSAGE_MAP()

class ComposeDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display";
        g_presenter = display::StartGtkPresenter();
        ASSERT_TRUE(g_presenter);
        ASSERT_NE(LoadLibraryA("RICHED32.DLL"), nullptr);
        ::InitCommonControls();
    }
    TempDir m_temp;
};

} // namespace

TEST_F(ComposeDisplay, TheCodeDialogShowsThePictureAndTakesATypedCode)
{
    CWinApp app;
    const auto gif = m_temp.Path() / "auth.gif";
    WriteFile(gif, SolidFramesGif(40, 12, {{5, 3, 10, 6, 1}, {0, 0, 40, 12, 2}}));
    CShownVerifyCodeDlg dlg;
    dlg.SetImagePath(CString(gif.string().c_str()));
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.stage, 3) << "typed: " << dlg.lastText << ", focus on the edit: "
                            << (::GetFocus() != nullptr);
    EXPECT_TRUE(dlg.pictureShown) << "only the first frame, at its offset";
    EXPECT_EQ(std::string(dlg.m_strCode.View()), "ab甲");
}

TEST_F(ComposeDisplay, TheSmileyPickerOpensPicksAndCloses)
{
    CPickerHost host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0, nullptr, ::GetSysColorBrush(COLOR_BTNFACE)), "写留言",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 300, 480, 240, nullptr, nullptr));
    ASSERT_TRUE(host.body.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                                 CRect(10, 10, 460, 120), &host, 1021));
    ASSERT_TRUE(host.button.Create("表情", WS_CHILD | WS_VISIBLE, CRect(380, 140, 440, 162), &host, IDC_SMILEY));
    ASSERT_TRUE(CreateSmileyImageList(host.images));
    host.button.SetImageList(&host.images);
    host.body.SetWindowText("ab");
    host.body.SetSel(1, 1);
    ::SetForegroundWindow(host.m_hWnd);
    ASSERT_TRUE(PumpUntil([&] { return g_presenter->GetNativeWindow(host.m_hWnd) != 0; }, 5000));
    PumpUntil([] { return false; }, 300);

    CRect button;
    host.button.GetWindowRect(&button);
    auto pressButton = [&] {
        POINT at = button.CenterPoint();
        host.ScreenToClient(&at);
        return g_presenter->SimulateClick(host.m_hWnd, at.x, at.y, 1);
    };
    auto popupShown = [&] {
        CSmileyPopupWnd* popup = host.button.GetPopup();
        return popup && popup->IsWindowVisible() && g_presenter->GetNativeWindow(popup->m_hWnd) != 0;
    };

    // Opened by a click: 200 x 200, flush above the button.
    ASSERT_TRUE(pressButton());
    ASSERT_TRUE(PumpUntil(popupShown));
    HWND popup = host.button.GetPopup()->m_hWnd;
    CRect frame;
    ::GetWindowRect(popup, &frame);
    EXPECT_EQ(frame, CRect(button.right - 200, button.top - 200, button.right, button.top));
    ASSERT_TRUE(PumpUntil([&] { return Shown(popup, 0, 0) == RGB(79, 107, 160); }));
    EXPECT_EQ(Shown(popup, 12, 25), RGB(222, 222, 222));

    // Hover over picture 3 draws its frame.
    ASSERT_TRUE(g_presenter->SimulatePointer(popup, 3 * 25 + 12, 12));
    ASSERT_TRUE(PumpUntil([&] { return Shown(popup, 3 * 25 + 2, 2) == RGB(79, 107, 160); }));
    EXPECT_NE(Shown(popup, 4 * 25 + 2, 2), RGB(79, 107, 160));
    Save(popup, "compose-smiley-popup.png");

    // A pick goes to the caret, between a and b.
    ASSERT_TRUE(g_presenter->SimulateClick(popup, 3 * 25 + 12, 12, 1));
    ASSERT_TRUE(PumpUntil([&] { return !host.picks.empty(); }));
    EXPECT_EQ(host.picks, std::vector<int>{3});
    EXPECT_FALSE(::IsWindowVisible(popup));
    EXPECT_EQ(std::string(host.body.GetTextWithSmileyCodes().View()), "a:Db");
    Save(host.m_hWnd, "compose-smiley-picked.png");

    // A click outside dismisses it with -3.
    ASSERT_TRUE(pressButton());
    ASSERT_TRUE(PumpUntil(popupShown));
    ASSERT_TRUE(g_presenter->SimulateClick(host.m_hWnd, 20, 200, 1));
    ASSERT_TRUE(PumpUntil([&] { return host.picks.size() == 2; }));
    EXPECT_EQ(host.picks.back(), -3);
    EXPECT_FALSE(host.button.GetPopup()->IsWindowVisible());

    // A second press on the button closes it without a pick (slower than a
    // double click).
    ASSERT_TRUE(pressButton());
    ASSERT_TRUE(PumpUntil(popupShown));
    PumpUntil([] { return false; }, 800);
    ASSERT_TRUE(pressButton());
    ASSERT_TRUE(PumpUntil([&] { return !host.button.GetPopup()->IsWindowVisible(); }, 5000))
        << "picks: " << host.picks.size() << ", last " << host.picks.back();
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(host.picks.size(), 2u);
    host.DestroyWindow();
}
