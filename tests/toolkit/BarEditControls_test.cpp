// Edit and combo boxes on bars, the hosted check box, static labels and the
// list-box control, on a framework frame whose site builds the search
// toolbar. Headless: input injected through the platform, pumped with the
// frame's own PreTranslateMessage.
#include "ToolkitTestSupport.h"

#include "platform/mfc/Archive.h"
#include "platform/mfc/MemFile.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Focus.h"
#include "platform/win/Input.h"
#include "platform/win/Registry.h"
#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/toolkit/SearchBarFrame.h"
#include "tests/toolkit/ToolBarTestFrame.h"
#include "toolkit/commandbars/XTPControlListBox.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPropExchange.h"
#include "toolkit/controls/XTDrawHelpers.h"

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace tavrin::test;
using tavrin::win::InjectKey;
using tavrin::win::InjectMouseButton;
using tavrin::win::InjectMouseMove;
using tavrin::win::InjectText;
using tavrin::win::MouseButton;

namespace {

constexpr UINT kCopy = 57634;
constexpr UINT kCut = 57635;
constexpr UINT kPaste = 57637;

// Records what the update handlers decide.
class RecordingCmdUI : public CCmdUI {
public:
    int m_nEnabled = -1;
    void Enable(BOOL bOn = TRUE) override
    {
        m_nEnabled = bOn ? 1 : 0;
        m_bEnableChanged = TRUE;
    }
};

void SetClipboardText(const char* pszText)
{
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    if (pszText) {
        const size_t n = std::strlen(pszText) + 1;
        HGLOBAL hMem = ::GlobalAlloc(GMEM_MOVEABLE, n);
        std::memcpy(::GlobalLock(hMem), pszText, n);
        ::GlobalUnlock(hMem);
        ::SetClipboardData(CF_TEXT, hMem);
    }
    ::CloseClipboard();
}

std::string ClipboardText()
{
    std::string text;
    if (!::OpenClipboard(nullptr))
        return text;
    if (HANDLE hData = ::GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(::GlobalLock(hData));
        ::GlobalUnlock(hData);
    }
    ::CloseClipboard();
    return text;
}

CString WindowText(CWnd* pWnd)
{
    CString strText;
    pWnd->GetWindowText(strText);
    return strText;
}

class BarEditControlsTest : public ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        m_pResources = std::make_unique<ScopedToolBarResources>();
        CXTPPaintManager::SetTheme(1);
        m_frame = std::make_unique<CSearchBarFrame>();
        ASSERT_TRUE(m_frame->CreateWithSearchBar(WS_OVERLAPPEDWINDOW, CRect(0, 0, 640, 300)));
        m_app.m_pMainWnd = m_frame.get();
        m_frame->ShowWindow(SW_SHOW);
        m_frame->SetActiveWindow();
        m_frame->m_view.SetFocus();
        Pump();
    }
    void TearDown() override
    {
        CXTPEdit::s_pfnTrackContextMenu = s_pfnDefaultMenu;
        if (m_frame && ::IsWindow(m_frame->m_hWnd))
            m_frame->DestroyWindow();
        m_frame.reset();
        m_pResources.reset();
        ToolkitTest::TearDown();
    }
    // The program's loop: the frame sees every message first.
    void Pump()
    {
        for (int nRound = 0; nRound < 3; ++nRound) {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (m_frame && ::IsWindow(m_frame->m_hWnd) && m_frame->PreTranslateMessage(&msg))
                    continue;
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
    }
    void Key(UINT vk)
    {
        InjectKey(vk, true);
        InjectKey(vk, false);
        Pump();
    }
    void Type(const std::string& text)
    {
        InjectText(text);
        Pump();
    }
    // A click at a point of the window's client area.
    void ClickAt(CWnd* pWnd, CPoint pt, MouseButton button = MouseButton::Left)
    {
        pWnd->ClientToScreen(&pt);
        InjectMouseMove(pt.x, pt.y);
        InjectMouseButton(button, true);
        InjectMouseButton(button, false);
        Pump();
    }
    void ClickIntoBox()
    {
        CRect rc;
        Edit()->GetClientRect(&rc);
        ClickAt(Edit(), rc.CenterPoint());
    }
    CXTPToolBar* Bar() const { return m_frame->m_pSearchBar; }
    CXTPControlComboBox* Combo() const { return m_frame->Combo(); }
    CXTPEdit* Edit() const { return Combo()->GetEditCtrl(); }
    CXTPControlComboBoxList* List() const { return Combo()->GetComboList(); }
    CRect ChildRect(CWnd* pWnd) const
    {
        CRect rc;
        pWnd->GetWindowRect(&rc);
        Bar()->ScreenToClient(&rc);
        return rc;
    }

    static inline UINT (*s_pfnDefaultMenu)(CXTPEdit*, CPoint) = CXTPEdit::s_pfnTrackContextMenu;
    CWinApp m_app;
    std::unique_ptr<ScopedToolBarResources> m_pResources;
    std::unique_ptr<CSearchBarFrame> m_frame;
};

TEST_F(BarEditControlsTest, SearchToolbarShape)
{
    ASSERT_GE(Bar()->GetControlCount(), 4);
    const int ids[] = {kIdSearchLabel, kIdSearchCombo, kIdSearchInResults, kIdSearchInResultsLabel};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Bar()->GetControl(i)->GetID(), ids[i]);
    CXTPControlComboBox* pCombo = Combo();
    ASSERT_TRUE(pCombo);
    EXPECT_EQ(pCombo->GetWidth(), 120);
    EXPECT_EQ(List()->GetMRUWidth(), 200);
    EXPECT_EQ(pCombo->GetCount(), 3);
    EXPECT_EQ(pCombo->FindStringExact(-1, "乙班"), 1);
    EXPECT_EQ(pCombo->FindStringExact(-1, "乙"), -1);

    // The edit window sits inside the combo: label + 4, 3-pixel insets, the button.
    ASSERT_TRUE(Edit() && Edit()->m_hWnd);
    EXPECT_EQ(::GetParent(Edit()->m_hWnd), Bar()->m_hWnd);
    EXPECT_TRUE(Edit()->IsWindowVisible());
    const CRect rcCombo = pCombo->GetRect();
    EXPECT_GT(pCombo->GetDropDownWidth(), 0);
    EXPECT_EQ(ChildRect(Edit()), CRect(rcCombo.left + pCombo->GetLabelWidth() + 4, rcCombo.top + 3,
                                       rcCombo.right - 3 - pCombo->GetDropDownWidth(), rcCombo.bottom - 3));

    // The static "搜索:" is its text's width and 22 high.
    auto* pLabel = DYNAMIC_DOWNCAST(CXTPControlStatic, Bar()->GetControls()->FindControl(kIdSearchLabel));
    ASSERT_TRUE(pLabel);
    {
        CClientDC dc(Bar());
        CXTFontSelector font(&dc, Bar()->GetPaintManager()->GetCommandBarFont(Bar()));
        const CSize szText = dc.GetTextExtent("搜索:", 5);
        EXPECT_EQ(pLabel->GetRect().Width(), szText.cx);
        EXPECT_EQ(pLabel->GetRect().Height(), 22);
        EXPECT_EQ(pLabel->GetSize(&dc), CSize(szText.cx, 22));
    }

    // The check box is 13 x 13, a child of the bar, 7 pixels right of its control's left edge.
    CXTPControlCustom* pCheck = m_frame->CheckControl();
    ASSERT_TRUE(pCheck);
    EXPECT_EQ(pCheck->GetControlId(), kIdSearchInResults);
    EXPECT_EQ(pCheck->GetControlSize(), CSize(13, 13));
    EXPECT_EQ(pCheck->GetRect().Width(), 20);
    EXPECT_EQ(::GetParent(m_frame->m_checkBox.m_hWnd), Bar()->m_hWnd);
    const CRect rcCheck = ChildRect(&m_frame->m_checkBox);
    EXPECT_EQ(rcCheck.left, pCheck->GetRect().left + 7);
    EXPECT_EQ(rcCheck.Size(), CSize(13, 13));
    EXPECT_TRUE(m_frame->m_checkBox.IsWindowVisible());
    EXPECT_EQ(WindowText(&m_frame->m_checkBox), "");
}

TEST_F(BarEditControlsTest, TypingAndEnterNotifyTheSiteOnce)
{
    ClickIntoBox();
    ASSERT_EQ(::GetFocus(), Edit()->m_hWnd);
    EXPECT_EQ(Bar()->GetKeyboardControl(), Combo());
    EXPECT_TRUE(XTPMouseManager()->IsTrackingLocked());
    Type("ab");
    Type("甲班");
    EXPECT_EQ(WindowText(Edit()), "ab甲班");
    Key(VK_RETURN);
    ASSERT_EQ(m_frame->m_searches.size(), 1u);
    EXPECT_EQ(m_frame->m_searches[0], "ab甲班");
    EXPECT_EQ(Combo()->GetEditText(), "ab甲班");
    // The answer 1 keeps the command from following.
    EXPECT_TRUE(m_frame->m_commands.empty());
    // Done with the box: the focus is back where it was, and the box takes it again.
    EXPECT_EQ(::GetFocus(), m_frame->m_view.m_hWnd);
    EXPECT_EQ(Bar()->GetTrackingMode(), 0);
    EXPECT_FALSE(XTPMouseManager()->IsTrackingLocked());
    ClickIntoBox();
    EXPECT_EQ(::GetFocus(), Edit()->m_hWnd);
}

TEST_F(BarEditControlsTest, KeysInTheBoxNeverReachAcceleratorsOrMnemonics)
{
    // The accelerator works while the plain child has the focus.
    Key(VK_DELETE);
    ASSERT_EQ(m_frame->m_commands, std::vector<UINT>{kIdDeleteAccel});
    m_frame->m_commands.clear();

    Combo()->SetEditText("abc");
    ClickIntoBox();
    Key(VK_HOME);
    Key(VK_DELETE);
    EXPECT_EQ(WindowText(Edit()), "bc");
    EXPECT_TRUE(m_frame->m_commands.empty());

    // Letters, even the first letter of a caption on the bar, go into the box.
    Bar()->GetControls()->FindControl(kIdSearchInResultsLabel)->SetCaption("&x");
    Type("x");
    Key('X');
    EXPECT_EQ(Bar()->GetSelected(), Combo());
    EXPECT_EQ(::GetFocus(), Edit()->m_hWnd);
    EXPECT_NE(WindowText(Edit()).Find('x'), -1);
    EXPECT_TRUE(m_frame->m_commands.empty());
}

TEST_F(BarEditControlsTest, EscapeGivesTheFocusBackAndEndsTracking)
{
    ASSERT_EQ(::GetFocus(), m_frame->m_view.m_hWnd);
    ClickIntoBox();
    ASSERT_EQ(::GetFocus(), Edit()->m_hWnd);
    EXPECT_NE(Bar()->GetTrackingMode(), 0);
    Key(VK_ESCAPE);
    EXPECT_EQ(::GetFocus(), m_frame->m_view.m_hWnd);
    EXPECT_EQ(Bar()->GetTrackingMode(), 0);
    EXPECT_EQ(Bar()->GetKeyboardControl(), nullptr);
    EXPECT_FALSE(XTPMouseManager()->IsTrackingLocked());
    // The next letter belongs to the view again.
    Type("q");
    EXPECT_EQ(WindowText(&m_frame->m_view), "q");
}

TEST_F(BarEditControlsTest, F4OpensTheListAndEscapeClosesIt)
{
    Combo()->SetEditText("留");
    ClickIntoBox();
    Key(VK_F4);
    EXPECT_TRUE(Combo()->IsDroppedDown());
    EXPECT_TRUE(List()->IsWindowVisible());
    Key(VK_ESCAPE);
    EXPECT_FALSE(Combo()->IsDroppedDown());
    EXPECT_FALSE(List()->IsWindowVisible());
    EXPECT_EQ(WindowText(Edit()), "留");
    EXPECT_TRUE(m_frame->m_searches.empty());
}

TEST_F(BarEditControlsTest, AnItemChosenByMouseFillsTheBoxAndRunsOnce)
{
    ClickIntoBox();
    Key(VK_F4);
    ASSERT_TRUE(List()->IsWindowVisible());
    CRect rcItem;
    List()->SendMessage(LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&rcItem));
    ClickAt(List(), rcItem.CenterPoint());
    EXPECT_EQ(WindowText(Edit()), "乙班");
    ASSERT_EQ(m_frame->m_searches.size(), 1u);
    EXPECT_EQ(m_frame->m_searches[0], "乙班");
    EXPECT_TRUE(m_frame->m_commands.empty());
    EXPECT_FALSE(List()->IsWindowVisible());
    EXPECT_EQ(Combo()->m_nLastSel, 1);
}

TEST_F(BarEditControlsTest, ListRowsAndWidth)
{
    struct Case {
        int nItems;
        int nRows;
    } cases[] = {{30, 12}, {0, 1}, {5, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nItems);
        List()->SendMessage(LB_RESETCONTENT);
        for (int i = 0; i < c.nItems; ++i)
            Combo()->AddString("项");
        Combo()->OnClick(FALSE, Combo()->GetRect().BottomRight() - CSize(2, 2));
        Pump();
        ASSERT_TRUE(Combo()->IsDroppedDown());
        const int nItemHeight = static_cast<int>(List()->SendMessage(LB_GETITEMHEIGHT, 0));
        CRect rc;
        List()->GetWindowRect(&rc);
        EXPECT_EQ(rc.Width(), 200);
        EXPECT_EQ(rc.Height(), c.nRows * nItemHeight + 4);
        CRect rcCombo = Combo()->GetRect();
        Bar()->ClientToScreen(&rcCombo);
        EXPECT_EQ(rc.top, rcCombo.bottom);
        XTPMouseManager()->SendTrackLost();
        Pump();
        EXPECT_FALSE(Combo()->IsDroppedDown());
    }
}

TEST_F(BarEditControlsTest, AComboWithoutEditKeepsItsSelectionWhenNothingIsChosen)
{
    CXTPControlComboBox* pCombo = static_cast<CXTPControlComboBox*>(CXTPControlComboBox::CreateObject());
    for (const char* psz : {"一", "二", "三", "四"})
        pCombo->AddString(psz);
    Bar()->GetControls()->Add(pCombo, 5001);
    m_frame->RecalcLayout();
    pCombo->SetCurSel(1);
    EXPECT_EQ(pCombo->GetEditText(), "二");
    pCombo->OnClick(FALSE, pCombo->GetRect().CenterPoint());
    Pump();
    ASSERT_TRUE(pCombo->IsDroppedDown());
    CRect rcItem;
    pCombo->GetComboList()->SendMessage(LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&rcItem));
    CPoint pt = rcItem.CenterPoint();
    pCombo->GetComboList()->ClientToScreen(&pt);
    InjectMouseMove(pt.x, pt.y);
    Pump();
    EXPECT_EQ(pCombo->GetCurSel(), 3);
    Key(VK_ESCAPE);
    EXPECT_FALSE(pCombo->IsDroppedDown());
    EXPECT_EQ(pCombo->GetCurSel(), 1);
    EXPECT_TRUE(m_frame->m_commands.empty());
}

TEST_F(BarEditControlsTest, ContextMenuOnAnUnfocusedBoxSelectsAllAndPasteFocuses)
{
    static DWORD s_dwSel;
    static BOOL s_bFocused;
    static UINT s_nAnswer;
    static int s_nShown;
    Combo()->SetEditText("旧文字");
    struct Case {
        UINT nAnswer;
        const char* pszText;
        bool bFocus;
    } cases[] = {{kPaste, "新", true}, {0, "旧文字", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nAnswer);
        Combo()->SetEditText("旧文字");
        m_frame->m_view.SetFocus();
        Edit()->SetSel(0, 0);
        SetClipboardText("新");
        s_nAnswer = c.nAnswer;
        s_nShown = 0;
        CXTPEdit::s_pfnTrackContextMenu = [](CXTPEdit* pEdit, CPoint) -> UINT {
            ++s_nShown;
            s_dwSel = pEdit->GetSel();
            s_bFocused = pEdit->HasFocus();
            return s_nAnswer;
        };
        CRect rc;
        Edit()->GetClientRect(&rc);
        ClickAt(Edit(), rc.CenterPoint(), MouseButton::Right);
        EXPECT_EQ(s_nShown, 1);
        EXPECT_FALSE(s_bFocused);
        EXPECT_EQ(LOWORD(s_dwSel), 0);
        EXPECT_EQ(HIWORD(s_dwSel), std::strlen("旧文字"));
        EXPECT_EQ(WindowText(Edit()), c.pszText);
        EXPECT_EQ(::GetFocus() == Edit()->m_hWnd, c.bFocus);
    }
}

TEST_F(BarEditControlsTest, TheEditMenuOffersCutCopyPasteAndPastes)
{
    Combo()->SetEditText("旧");
    SetClipboardText("新");
    std::vector<CString> captions;
    std::vector<int> ids;
    m_frame->m_onAction = [&] {
        CXTPMouseManager* pMouse = XTPMouseManager();
        ASSERT_GT(pMouse->GetTrackedCount(), 0);
        CXTPCommandBar* pPopup = pMouse->GetTrackedBar(pMouse->GetTrackedCount() - 1);
        ASSERT_EQ(pPopup->GetType(), xtpBarTypePopup);
        for (int i = 0; i < pPopup->GetControlCount(); ++i) {
            captions.push_back(pPopup->GetControl(i)->GetCaption());
            ids.push_back(pPopup->GetControl(i)->GetID());
        }
        pPopup->GetControl(2)->OnExecute();
    };
    CRect rc;
    Edit()->GetClientRect(&rc);
    ClickAt(Edit(), rc.CenterPoint(), MouseButton::Right);
    EXPECT_EQ(ids, (std::vector<int>{static_cast<int>(kCut), static_cast<int>(kCopy), static_cast<int>(kPaste)}));
    EXPECT_EQ(captions, (std::vector<CString>{"剪切", "复制", "粘贴"}));
    EXPECT_EQ(::GetFocus(), Edit()->m_hWnd);
    EXPECT_EQ(WindowText(Edit()), "新");
    // The menu is gone; the bar tracks for its focused box.
    ASSERT_EQ(XTPMouseManager()->GetTrackedCount(), 1);
    EXPECT_EQ(XTPMouseManager()->GetTrackedBar(0), Bar());
}

TEST_F(BarEditControlsTest, FrameCutCopyPasteActOnTheFocusedBox)
{
    auto state = [&](UINT nId) {
        RecordingCmdUI ui;
        ui.m_nID = nId;
        ui.DoUpdate(m_frame.get(), FALSE);
        return ui.m_nEnabled;
    };
    ClickIntoBox();
    Combo()->SetEditText("hello");
    Edit()->SetSel(0, 0);
    SetClipboardText(nullptr);
    EXPECT_EQ(state(kCopy), 0);
    EXPECT_EQ(state(kCut), 0);
    EXPECT_EQ(state(kPaste), 0);
    Edit()->SetSel(0, 2);
    SetClipboardText("x");
    EXPECT_EQ(state(kCopy), 1);
    EXPECT_EQ(state(kCut), 1);
    EXPECT_EQ(state(kPaste), 1);

    m_frame->SendMessage(WM_COMMAND, kCopy);
    EXPECT_EQ(ClipboardText(), "he");
    m_frame->SendMessage(WM_COMMAND, kCut);
    EXPECT_EQ(WindowText(Edit()), "llo");
    Edit()->SetSel(3, 3);
    m_frame->SendMessage(WM_COMMAND, kPaste);
    EXPECT_EQ(WindowText(Edit()), "llohe");

    // With the focus elsewhere the frame's own routing decides.
    m_frame->m_view.SetFocus();
    Pump();
    EXPECT_EQ(state(kCopy), -1);
}

TEST_F(BarEditControlsTest, VerticalDockHidesComboEditAndCheckBox)
{
    ASSERT_TRUE(Bar()->SetPosition(xtpBarLeft));
    m_frame->RecalcLayout();
    Pump();
    EXPECT_NE(Combo()->GetHideFlags() & xtpHideDockingPosition, 0u);
    EXPECT_FALSE(Edit()->IsWindowVisible());
    EXPECT_NE(m_frame->CheckControl()->GetHideFlags() & xtpHideDockingPosition, 0u);
    EXPECT_FALSE(m_frame->m_checkBox.IsWindowVisible());

    ASSERT_TRUE(Bar()->SetPosition(xtpBarTop));
    m_frame->RecalcLayout();
    Pump();
    EXPECT_EQ(Combo()->GetHideFlags(), 0u);
    EXPECT_TRUE(Edit()->IsWindowVisible());
    EXPECT_TRUE(m_frame->m_checkBox.IsWindowVisible());
}

TEST_F(BarEditControlsTest, MouseOverTheHostedCheckBoxMovesTheBarsHotControl)
{
    CXTPControlCustom* pCheck = m_frame->CheckControl();
    Bar()->SetSelected(-1);
    CRect rc;
    m_frame->m_checkBox.GetClientRect(&rc);
    CPoint pt = rc.CenterPoint();
    m_frame->m_checkBox.ClientToScreen(&pt);
    InjectMouseMove(pt.x, pt.y);
    Pump();
    EXPECT_EQ(Bar()->GetSelected(), pCheck);
    // A click on the window is the window's, never the control's.
    pCheck->OnClick(FALSE, pCheck->GetRect().CenterPoint());
    EXPECT_TRUE(m_frame->m_commands.empty());
}

TEST_F(BarEditControlsTest, EditWindowFollowsItsControl)
{
    CXTPControlEdit* pEdit = new CXTPControlEdit;
    pEdit->SetCaption("名");
    Bar()->GetControls()->Add(pEdit, 5002);
    m_frame->RecalcLayout();
    CXTPEdit* pWnd = pEdit->GetEditCtrl();
    ASSERT_TRUE(pWnd && pWnd->m_hWnd);
    const CRect rcControl = pEdit->GetRect();
    EXPECT_GT(pEdit->GetLabelWidth(), 0);
    EXPECT_EQ(ChildRect(pWnd), CRect(rcControl.left + pEdit->GetLabelWidth() + 4, rcControl.top + 3,
                                     rcControl.right - 3, rcControl.bottom - 3));

    pEdit->SetEnabled(FALSE);
    EXPECT_FALSE(pWnd->IsWindowEnabled());
    pEdit->SetEnabled(TRUE);
    EXPECT_TRUE(pWnd->IsWindowEnabled());

    pEdit->SetHideFlags(xtpHideGeneric);
    EXPECT_FALSE(pWnd->IsWindowVisible());
    pEdit->SetHideFlags(0);
    EXPECT_TRUE(pWnd->IsWindowVisible());

    pEdit->SetReadOnly(TRUE);
    EXPECT_NE(pWnd->GetStyle() & ES_READONLY, 0u);

    // A new parent bar takes the window at the next placement.
    TestBar other;
    ASSERT_TRUE(other.CreateIn(m_frame.get(), CRect(0, 200, 300, 230)));
    pEdit->SetParent(&other);
    pEdit->SetRect(CRect(10, 0, 110, 22));
    EXPECT_EQ(::GetParent(pWnd->m_hWnd), other.m_hWnd);
    pEdit->SetParent(Bar());

    // Without a bar the window goes; its text stays.
    pWnd->SetWindowText("留下");
    pEdit->SetParent(nullptr);
    EXPECT_EQ(pWnd->m_hWnd, nullptr);
    EXPECT_EQ(pEdit->GetEditText(), "留下");
    Bar()->GetControls()->Remove(pEdit);
}

TEST_F(BarEditControlsTest, CopyAndCloneKeepEachControlsFields)
{
    auto* pEdit = new CXTPControlEdit;
    pEdit->SetWidth(150);
    pEdit->SetEditText("文字");
    pEdit->ShowLabel(FALSE);
    pEdit->SetReadOnly(TRUE);
    Bar()->GetControls()->Add(pEdit, 5003);
    m_frame->RecalcLayout();
    auto* pEditClone = DYNAMIC_DOWNCAST(CXTPControlEdit, pEdit->Clone());
    ASSERT_TRUE(pEditClone);
    EXPECT_EQ(pEditClone->GetWidth(), 150);
    EXPECT_EQ(pEditClone->GetEditText(), "文字");
    EXPECT_FALSE(pEditClone->GetHasLabel());
    EXPECT_TRUE(pEditClone->GetReadOnly());
    EXPECT_TRUE(pEditClone->Compare(pEdit));
    // The read-only flag reaches a live window.
    auto* pLive = new CXTPControlEdit;
    Bar()->GetControls()->Add(pLive, 5004);
    m_frame->RecalcLayout();
    ASSERT_TRUE(pLive->GetEditCtrl()->m_hWnd);
    pLive->Copy(pEdit);
    EXPECT_NE(pLive->GetEditCtrl()->GetStyle() & ES_READONLY, 0u);
    EXPECT_EQ(WindowText(pLive->GetEditCtrl()), "文字");
    pEditClone->InternalRelease();

    Combo()->SetEditText("甲");
    auto* pComboClone = DYNAMIC_DOWNCAST(CXTPControlComboBox, Combo()->Clone());
    ASSERT_TRUE(pComboClone);
    EXPECT_EQ(pComboClone->GetWidth(), 120);
    EXPECT_TRUE(pComboClone->GetEditCtrl());
    EXPECT_EQ(pComboClone->GetEditText(), "甲");
    EXPECT_EQ(pComboClone->GetCount(), 3);
    EXPECT_NE(pComboClone->GetComboList(), Combo()->GetComboList());
    EXPECT_EQ(pComboClone->FindStringExact(-1, "留言"), 2);
    pComboClone->InternalRelease();

    CXTPControlCustom* pCheck = m_frame->CheckControl();
    auto* pCustomClone = DYNAMIC_DOWNCAST(CXTPControlCustom, pCheck->Clone());
    ASSERT_TRUE(pCustomClone);
    EXPECT_EQ(pCustomClone->GetBorders(), CRect(7, 0, 0, 0));
    EXPECT_EQ(pCustomClone->GetControl(), &m_frame->m_checkBox);
    EXPECT_EQ(pCustomClone->GetControlSize(), CSize(13, 13));
    EXPECT_EQ(pCustomClone->GetControlId(), kIdSearchInResults);
    EXPECT_EQ(pCustomClone->GetVerticalPositionOption(), xtpVerticalHide);
    pCustomClone->InternalRelease();

    auto* pStatic = static_cast<CXTPControlStatic*>(CXTPControlStatic::CreateObject());
    pStatic->SetWidth(60);
    pStatic->SetCaption("标");
    auto* pStaticClone = DYNAMIC_DOWNCAST(CXTPControlStatic, pStatic->Clone());
    ASSERT_TRUE(pStaticClone);
    EXPECT_EQ(pStaticClone->GetWidth(), 60);
    EXPECT_EQ(pStaticClone->GetCaption(), "标");
    pStaticClone->InternalRelease();
    pStatic->InternalRelease();

    auto* pList = static_cast<CXTPControlListBox*>(CXTPControlListBox::CreateObject());
    pList->SetWidth(80);
    pList->SetMultiplSel(TRUE);
    pList->SetLinesMinMax(2, 5);
    pList->GetListCtrl()->AddString("一");
    pList->GetListCtrl()->AddString("二");
    auto* pListClone = DYNAMIC_DOWNCAST(CXTPControlListBox, pList->Clone());
    ASSERT_TRUE(pListClone);
    EXPECT_EQ(pListClone->GetWidth(), 80);
    EXPECT_TRUE(pListClone->GetMultiplSel());
    EXPECT_NE(pListClone->GetListCtrl()->GetStyle() & LBS_MULTIPLESEL, 0u);
    EXPECT_EQ(pListClone->m_nListBoxLinesMin, 2);
    EXPECT_EQ(pListClone->m_nListBoxLinesMax, 5);
    ASSERT_EQ(pListClone->GetListCtrl()->GetCount(), 2);
    CString strItem;
    pListClone->GetListCtrl()->GetText(1, strItem);
    EXPECT_EQ(strItem, "二");
    pListClone->InternalRelease();
    pList->InternalRelease();
}

// A list-box control on a bar of a recording site.
class ListBoxControlTest : public ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        m_site.SetActiveWindow();
        ASSERT_TRUE(m_bar.CreateIn(&m_site, CRect(0, 0, 300, 300)));
        m_pList = static_cast<CXTPControlListBox*>(CXTPControlListBox::CreateObject());
        m_bar.GetControls()->Add(m_pList, 700);
    }
    void TearDown() override
    {
        if (m_bar.m_hWnd)
            m_bar.DestroyWindow();
        ToolkitTest::TearDown();
    }
    CListBox* Box() const { return m_pList->GetListCtrl(); }

    TestSite m_site;
    TestBar m_bar;
    CXTPControlListBox* m_pList = nullptr;
};

// The codes the site received, recorded as they arrive.
struct CodeRecorder {
    std::vector<UINT> codes;
    void Attach(TestSite& site)
    {
        site.m_handler = [this](UINT message, WPARAM, LPARAM lParam, LRESULT* pResult) {
            if (message != WM_BAR_CONTROL_NOTIFY)
                return false;
            codes.push_back(reinterpret_cast<BarControlNotifyInfo*>(lParam)->hdr.code);
            *pResult = 1;
            return true;
        };
    }
};

TEST_F(ListBoxControlTest, LinesFollowTheItemCountWithinTheLimits)
{
    struct Case {
        int nItems;
        int nLines;
    } cases[] = {{30, 12}, {0, 1}, {4, 4}};
    CClientDC dc(&m_bar);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nItems);
        Box()->ResetContent();
        for (int i = 0; i < c.nItems; ++i)
            Box()->AddString("行");
        const CSize sz = m_pList->GetSize(&dc);
        EXPECT_EQ(sz.cx, 100);
        EXPECT_EQ(sz.cy, c.nLines * Box()->GetItemHeight(0));
    }
    // The maximum wins over the minimum.
    m_pList->SetLinesMinMax(6, 3);
    EXPECT_EQ(m_pList->GetSize(&dc).cy, 3 * Box()->GetItemHeight(0));
}

TEST_F(ListBoxControlTest, HoverSelectsFromTheFirstLineAndLayoutClears)
{
    CodeRecorder recorder;
    recorder.Attach(m_site);
    m_pList->SetMultiplSel(TRUE);
    for (int i = 0; i < 8; ++i)
        Box()->AddString("行");
    m_bar.OnRecalcLayout();
    EXPECT_EQ(recorder.codes, std::vector<UINT>{XTP_LBN_POPUP});
    ASSERT_EQ(::GetParent(Box()->m_hWnd), m_bar.m_hWnd);
    EXPECT_NE(Box()->GetStyle() & WS_CHILD, 0u);
    recorder.codes.clear();

    CRect rcItem;
    Box()->GetItemRect(3, &rcItem);
    CPoint pt = rcItem.CenterPoint();
    Box()->ClientToScreen(&pt);
    InjectMouseMove(pt.x, pt.y);
    PumpMessages();
    std::vector<int> selected;
    for (int i = 0; i < Box()->GetCount(); ++i)
        if (Box()->GetSel(i) > 0)
            selected.push_back(i);
    EXPECT_EQ(selected, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(recorder.codes, std::vector<UINT>{XTP_LBN_SELCHANGE});
    recorder.codes.clear();

    // Laid out again: the selection goes before the owner fills the list.
    m_bar.OnRecalcLayout();
    EXPECT_EQ(Box()->GetSelCount(), 0);
    EXPECT_EQ(recorder.codes, std::vector<UINT>{XTP_LBN_POPUP});

    // After the clearing, hovering the first line selects it.
    recorder.codes.clear();
    Box()->GetItemRect(0, &rcItem);
    pt = rcItem.CenterPoint();
    Box()->ClientToScreen(&pt);
    InjectMouseMove(pt.x, pt.y);
    PumpMessages();
    EXPECT_EQ(Box()->GetSelCount(), 1);
    EXPECT_GT(Box()->GetSel(0), 0);
    EXPECT_EQ(recorder.codes, std::vector<UINT>{XTP_LBN_SELCHANGE});

    // The release runs the control.
    recorder.codes.clear();
    Box()->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(rcItem.left + 2, rcItem.top + 2));
    EXPECT_EQ(recorder.codes, std::vector<UINT>{CBN_XTP_EXECUTE});
}

TEST_F(ListBoxControlTest, KeysMoveTheCurrentLineWhileSelected)
{
    CodeRecorder recorder;
    recorder.Attach(m_site);
    for (int i = 0; i < 5; ++i)
        Box()->AddString("行");
    Box()->SetCurSel(0);
    m_bar.SetSelected(0);
    EXPECT_EQ(m_bar.GetKeyboardControl(), m_pList);
    EXPECT_TRUE(XTPMouseManager()->IsTrackingLocked());
    EXPECT_EQ(m_pList->OnHookKeyDown(VK_DOWN, 0), TRUE);
    EXPECT_EQ(Box()->GetCurSel(), 1);
    EXPECT_EQ(recorder.codes, std::vector<UINT>{XTP_LBN_SELCHANGE});
    m_bar.SetSelected(-1);
    EXPECT_EQ(m_bar.GetKeyboardControl(), nullptr);
    EXPECT_FALSE(XTPMouseManager()->IsTrackingLocked());
}

// Property sets through the archive and the registry.
class BarControlSetsTest : public BarEditControlsTest {
protected:
    static constexpr const char* kKey = "Software\\TavrinTests\\BarControlSets";
    // Stores with one control and loads into the other, through both exchanges.
    void RoundTrip(CXTPControl* pFrom, CXTPControl* pTo, bool bRegistry)
    {
        if (bRegistry) {
            ::RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
            {
                CXTPPropExchangeRegistry px(FALSE, HKEY_CURRENT_USER, kKey);
                pFrom->DoPropExchange(&px);
            }
            CXTPPropExchangeRegistry px(TRUE, HKEY_CURRENT_USER, kKey);
            pTo->DoPropExchange(&px);
            ::RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
            return;
        }
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            CXTPPropExchangeArchive px(ar);
            pFrom->DoPropExchange(&px);
            ar.Close();
        }
        file.SeekToBegin();
        CArchive ar(&file, CArchive::load);
        CXTPPropExchangeArchive px(ar);
        pTo->DoPropExchange(&px);
    }
};

TEST_F(BarControlSetsTest, CustomStaticAndListBoxThroughBothExchanges)
{
    for (bool bRegistry : {false, true}) {
        SCOPED_TRACE(bRegistry ? "registry" : "archive");
        // The custom control finds its window again by id among the bars' children.
        auto* pCustom = new CXTPControlCustom;
        Bar()->GetControls()->Add(pCustom, 5010);
        RoundTrip(m_frame->CheckControl(), pCustom, bRegistry);
        EXPECT_EQ(pCustom->GetBorders(), CRect(7, 0, 0, 0));
        EXPECT_EQ(pCustom->GetControlSize(), CSize(13, 13));
        EXPECT_EQ(pCustom->GetVerticalPositionOption(), xtpVerticalHide);
        EXPECT_EQ(pCustom->GetControlId(), kIdSearchInResults);
        EXPECT_EQ(pCustom->GetControl() ? pCustom->GetControl()->m_hWnd : nullptr, m_frame->m_checkBox.m_hWnd);
        // ... and first among the frame's own children.
        auto* pByFrame = new CXTPControlCustom;
        Bar()->GetControls()->Add(pByFrame, 5011);
        CXTPControlCustom* pViewHost = CXTPControlCustom::CreateControlCustom(&m_frame->m_view);
        pViewHost->SetVerticalPositionOption(xtpVerticalButton);
        RoundTrip(pViewHost, pByFrame, bRegistry);
        EXPECT_EQ(pByFrame->GetControl() ? pByFrame->GetControl()->m_hWnd : nullptr, m_frame->m_view.m_hWnd);
        EXPECT_EQ(pByFrame->GetVerticalPositionOption(), xtpVerticalButton);
        pByFrame->SetControl(nullptr);
        pViewHost->InternalRelease();
        Bar()->GetControls()->Remove(pByFrame);
        pCustom->SetControl(nullptr);
        Bar()->GetControls()->Remove(pCustom);

        auto* pStatic = static_cast<CXTPControlStatic*>(CXTPControlStatic::CreateObject());
        pStatic->SetWidth(44);
        auto* pStaticLoaded = static_cast<CXTPControlStatic*>(CXTPControlStatic::CreateObject());
        RoundTrip(pStatic, pStaticLoaded, bRegistry);
        EXPECT_EQ(pStaticLoaded->GetWidth(), 44);
        pStatic->InternalRelease();
        pStaticLoaded->InternalRelease();

        auto* pList = static_cast<CXTPControlListBox*>(CXTPControlListBox::CreateObject());
        pList->SetWidth(90);
        pList->SetMultiplSel(TRUE);
        pList->SetLinesMinMax(3, 7);
        for (const char* psz : {"丙", "甲", "乙"})
            pList->GetListCtrl()->AddString(psz);
        auto* pListLoaded = static_cast<CXTPControlListBox*>(CXTPControlListBox::CreateObject());
        RoundTrip(pList, pListLoaded, bRegistry);
        EXPECT_EQ(pListLoaded->GetWidth(), 90);
        EXPECT_TRUE(pListLoaded->GetMultiplSel());
        EXPECT_NE(pListLoaded->GetListCtrl()->GetStyle() & LBS_MULTIPLESEL, 0u);
        EXPECT_EQ(pListLoaded->m_nListBoxLinesMin, 3);
        EXPECT_EQ(pListLoaded->m_nListBoxLinesMax, 7);
        std::vector<CString> items;
        for (int i = 0; i < pListLoaded->GetListCtrl()->GetCount(); ++i) {
            CString strItem;
            pListLoaded->GetListCtrl()->GetText(i, strItem);
            items.push_back(strItem);
        }
        EXPECT_EQ(items, (std::vector<CString>{"丙", "甲", "乙"}));
        pList->InternalRelease();
        pListLoaded->InternalRelease();

        // The combo's history and its drop-down flag.
        CXTPControlComboBox* pComboLoaded = static_cast<CXTPControlComboBox*>(CXTPControlComboBox::CreateObject());
        RoundTrip(Combo(), pComboLoaded, bRegistry);
        EXPECT_TRUE(pComboLoaded->GetEditCtrl());
        EXPECT_EQ(pComboLoaded->GetWidth(), 120);
        CXTPControlComboBoxList* pLoadedList = pComboLoaded->GetComboList();
        {
            CMemFile file;
            {
                CArchive ar(&file, CArchive::store);
                CXTPPropExchangeArchive px(ar);
                List()->DoPropExchange(&px);
                ar.Close();
            }
            file.SeekToBegin();
            CArchive ar(&file, CArchive::load);
            CXTPPropExchangeArchive px(ar);
            pLoadedList->DoPropExchange(&px);
        }
        EXPECT_EQ(pComboLoaded->GetCount(), 3);
        EXPECT_EQ(pComboLoaded->FindStringExact(-1, "留言"), 2);
        pComboLoaded->InternalRelease();
    }
}

} // namespace
