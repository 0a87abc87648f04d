// Controls and their collection: texts, copies and comparisons, menus turned
// into controls with the site's answers, the keyboard walk, hit tests,
// reference counts and the row layout.
#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/toolkit/ToolkitTestSupport.h"

#include "platform/mfc/Menu.h"
#include "platform/mfc/Resource.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlButton.h"
#include "toolkit/commandbars/XTPControlComboBox.h"
#include "toolkit/commandbars/XTPControlCustom.h"
#include "toolkit/commandbars/XTPControlEdit.h"
#include "toolkit/commandbars/XTPControlExt.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/controls/XTGlobalData.h"

using namespace tavrin;
using tavrin::test::ScopedTestTheme;
using tavrin::test::TestSite;

namespace {

class CommandBarControlsTest : public test::ToolkitTest {};

// Objects alive of the counted classes below.
int g_nLive = 0;

class CountedButton : public CXTPControlButton {
    DECLARE_DYNCREATE(CountedButton)
public:
    CountedButton() { ++g_nLive; }
    ~CountedButton() override { --g_nLive; }
};
IMPLEMENT_DYNCREATE(CountedButton, CXTPControlButton)

class CountedPopupBar : public CXTPPopupBar {
    DECLARE_DYNCREATE(CountedPopupBar)
public:
    CountedPopupBar() { ++g_nLive; }
    ~CountedPopupBar() override { --g_nLive; }
};
IMPLEMENT_DYNCREATE(CountedPopupBar, CXTPPopupBar)

// A bar of a manager whose site is the test window (no window of its own
// needed).
struct SitedBar {
    TestSite site;
    CXTPCommandBars* pCommandBars = new CXTPCommandBars;
    CXTPCommandBar* pBar = new CXTPCommandBar;
    SitedBar()
    {
        pCommandBars->SetSite(&site);
        pBar->SetCommandBars(pCommandBars);
    }
    ~SitedBar()
    {
        pBar->InternalRelease();
        pCommandBars->InternalRelease();
    }
    CXTPControls* Controls() const { return pBar->GetControls(); }
};

// File menu: a leading separator, a tab shortcut, checked, disabled and
// default items, a doubled separator, a placeholder and a submenu.
CMenu* BuildMenu(CMenu& menu, CMenu& sub)
{
    menu.CreatePopupMenu();
    sub.CreatePopupMenu();
    sub.AppendMenu(MF_STRING, 201, "子项一");
    sub.AppendMenu(MF_STRING, 202, "子项二\tF2");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING, 101, "打开(&O)\tCtrl+O");
    menu.AppendMenu(MF_STRING | MF_CHECKED, 102, "工具栏(&T)");
    menu.AppendMenu(MF_STRING | MF_GRAYED, 103, "保存(&S)");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING, 104, "默认项");
    menu.AppendMenu(MF_STRING, 0xFF00, "占位");
    menu.AppendMenu(MF_STRING, 105, "之后");
    menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(sub.Detach()), "最近(&R)");
    menu.SetDefaultItem(6, TRUE);
    return &menu;
}

} // namespace

TEST_F(CommandBarControlsTest, CaptionsSplitAtTheFirstTab)
{
    struct Case {
        const char* text;
        const char* caption;
        const char* shortcut;
    } cases[] = {{"打开(&O)\tCtrl+O", "打开(&O)", "Ctrl+O"},
                 {"a\tb\tc", "a", "b\tc"},
                 {"plain", "plain", ""},
                 {"\tF5", "", "F5"}};
    for (const Case& c : cases) {
        CXTPControlButton control;
        control.SetCaption(c.text);
        EXPECT_STREQ(control.GetCaption(), c.caption) << c.text;
        EXPECT_STREQ(control.GetAutoShortcutText(), c.shortcut) << c.text;
    }
    CXTPControlButton control;
    control.SetCaption("名字");
    control.SetCustomCaption("别名");
    EXPECT_STREQ(control.GetCaption(), "别名") << "a custom caption wins";
}

TEST_F(CommandBarControlsTest, SetIdLoadsThePromptOnlyWithoutACaption)
{
    test::TestResourceModule module;
    module.AddString(40001, "Open a file\nOpen");
    module.AddString(40018, "Just one text");
    const HMODULE hOld = XTGetResourceHandle();
    XTSetResourceHandle(module.Module());

    CXTPControlButton fresh;
    fresh.SetID(40001);
    EXPECT_EQ(fresh.GetID(), 40001);
    EXPECT_STREQ(fresh.GetDescription(), "Open a file");
    EXPECT_STREQ(fresh.GetTooltip(), "Open");
    EXPECT_STREQ(fresh.GetCaption(), "Open");

    CXTPControlButton single;
    single.SetID(40018);
    EXPECT_STREQ(single.GetDescription(), "Just one text");
    EXPECT_STREQ(single.GetTooltip(), "Just one text");

    CXTPControlButton named;
    named.SetCaption("名字");
    named.SetID(40001);
    EXPECT_EQ(named.GetID(), 40001);
    EXPECT_STREQ(named.GetCaption(), "名字") << "with a caption only the id changes";
    EXPECT_STREQ(named.GetDescription(), "");

    CXTPControlButton missing;
    missing.SetID(40999);
    EXPECT_STREQ(missing.GetCaption(), "") << "no string: the texts stay empty";
    missing.SetPrompt("");
    EXPECT_STREQ(missing.GetTooltip(), "");
    XTSetResourceHandle(hOld);
}

TEST_F(CommandBarControlsTest, CompareAndCopy)
{
    CXTPControlButton base;
    base.SetID(7);
    base.SetCaption("名字");
    base.SetStyle(2);
    base.SetParameter("p");

    struct Case {
        const char* what;
        void (*change)(CXTPControl&);
        bool equal;
    } cases[] = {
        {"same", [](CXTPControl&) {}, true},
        {"id", [](CXTPControl& c) { c.m_nId = 8; }, false},
        {"caption", [](CXTPControl& c) { c.m_strCaption = "x"; }, false},
        {"tooltip", [](CXTPControl& c) { c.SetTooltip("t"); }, false},
        {"description", [](CXTPControl& c) { c.SetDescription("d"); }, false},
        {"custom caption", [](CXTPControl& c) { c.SetCustomCaption("c"); }, false},
        {"parameter", [](CXTPControl& c) { c.SetParameter("q"); }, false},
        {"begin group", [](CXTPControl& c) { c.m_bBeginGroup = TRUE; }, false},
        {"type", [](CXTPControl& c) { c.SetType(xtpControlLabel); }, false},
        {"custom style same as style", [](CXTPControl& c) { c.SetCustomStyle(2); }, false},
        {"style", [](CXTPControl& c) { c.SetStyle(3); }, false},
        {"icon id equal to the command id", [](CXTPControl& c) { c.SetIconId(7); }, true},
        {"icon id", [](CXTPControl& c) { c.SetIconId(9); }, false},
        {"custom icon id", [](CXTPControl& c) { c.SetCustomIconId(9); }, false},
        {"hide flag 16", [](CXTPControl& c) { c.SetHideFlags(xtpHideCustomize); }, false},
        {"other hide flags", [](CXTPControl& c) { c.SetHideFlags(xtpHideGeneric | xtpHideWrap); }, true},
        {"checked", [](CXTPControl& c) { c.SetChecked(1); }, true},
        {"enabled", [](CXTPControl& c) { c.m_bEnabled = FALSE; }, true},
        {"category", [](CXTPControl& c) { c.SetCategory("k"); }, true},
    };
    for (const Case& c : cases) {
        CXTPControlButton other;
        other.Copy(&base);
        EXPECT_TRUE(other.Compare(&base)) << "a copy equals its source";
        c.change(other);
        EXPECT_EQ(other.Compare(&base) != FALSE, c.equal) << c.what;
        EXPECT_EQ(base.Compare(&other) != FALSE, c.equal) << c.what;
    }

    // Copy takes every stored field, but not the place on a bar.
    CXTPControlButton source;
    source.SetID(11);
    source.SetTag(5);
    source.SetFlags(xtpFlagManualUpdate);
    source.SetCaption("a\tCtrl+A");
    source.SetShortcutText("S");
    source.SetTooltip("t");
    source.SetDescription("d");
    source.SetCustomIconId(3);
    source.SetIconId(4);
    source.SetTemporary(TRUE);
    source.SetCustomCaption("cc");
    source.SetCategory("cat");
    source.SetHideFlags(xtpHideGeneric);
    source.SetDefaultItem(TRUE);
    source.m_bEnabled = FALSE;
    source.SetChecked(1);
    source.SetCustomStyle(6);
    source.SetStyle(5);
    source.m_bBeginGroup = TRUE;
    source.SetCloseSubMenuOnClick(FALSE);
    source.GetAssignedTemplates().SetAt(128, TRUE);
    source.SetRect(CRect(1, 2, 3, 4));
    CXTPControl* pClone = source.Clone();
    ASSERT_TRUE(pClone->IsKindOf(RUNTIME_CLASS(CXTPControlButton)));
    EXPECT_EQ(pClone->GetID(), 11);
    EXPECT_EQ(pClone->GetTag(), 5u);
    EXPECT_EQ(pClone->GetFlags(), static_cast<DWORD>(xtpFlagManualUpdate));
    EXPECT_STREQ(pClone->m_strCaption, "a");
    EXPECT_STREQ(pClone->GetAutoShortcutText(), "Ctrl+A");
    EXPECT_STREQ(pClone->GetShortcutText(), "S");
    EXPECT_STREQ(pClone->GetTooltip(), "t");
    EXPECT_STREQ(pClone->GetDescription(), "d");
    EXPECT_EQ(pClone->GetIconId(), 3);
    EXPECT_EQ(pClone->m_nIconId, 4);
    EXPECT_TRUE(pClone->IsTemporary());
    EXPECT_STREQ(pClone->GetCaption(), "cc");
    EXPECT_STREQ(pClone->GetCategory(), "cat");
    EXPECT_EQ(pClone->GetHideFlags(), static_cast<DWORD>(xtpHideGeneric));
    EXPECT_TRUE(pClone->GetDefaultItem());
    EXPECT_FALSE(pClone->GetEnabled());
    EXPECT_EQ(pClone->GetChecked(), 1);
    EXPECT_EQ(pClone->GetStyle(), 6);
    EXPECT_EQ(pClone->m_buttonStyle, 5);
    EXPECT_TRUE(pClone->GetBeginGroup());
    EXPECT_FALSE(pClone->GetCloseSubMenuOnClick());
    EXPECT_EQ(pClone->GetAssignedTemplates().GetCount(), 1);
    EXPECT_TRUE(pClone->GetRect().IsRectEmpty());
    pClone->InternalRelease();
}

TEST_F(CommandBarControlsTest, HideFlagsAndRarelyUsed)
{
    CXTPControlButton control;
    EXPECT_TRUE(control.SetHideFlag(xtpHideWrap, TRUE));
    EXPECT_FALSE(control.SetHideFlag(xtpHideWrap, TRUE)) << "no change";
    EXPECT_FALSE(control.IsVisible());
    control.SetHideFlag(xtpHideExpand, TRUE);
    control.SetRarelyUsed(TRUE);
    EXPECT_EQ(control.GetHideFlags(), static_cast<DWORD>(xtpHideWrap | xtpHideExpand));
    control.SetRarelyUsed(FALSE);
    EXPECT_EQ(control.GetHideFlags(), static_cast<DWORD>(xtpHideWrap)) << "not rarely used: never hidden for it";
    EXPECT_TRUE(control.SetHideFlag(xtpHideWrap, FALSE));
    EXPECT_TRUE(control.IsVisible());
}

TEST_F(CommandBarControlsTest, MenuItemsBecomeControls)
{
    SitedBar bar;
    CMenu menu, sub;
    ASSERT_TRUE(bar.pBar->LoadMenu(BuildMenu(menu, sub)));
    CXTPControls* pControls = bar.Controls();
    ASSERT_EQ(pControls->GetCount(), 6) << "the placeholder makes no control";
    struct Expected {
        int id;
        const char* caption;
        const char* shortcut;
        int type;
        BOOL group, checked, enabled, isDefault;
    } expected[] = {
        {101, "打开(&O)", "Ctrl+O", xtpControlButton, TRUE, 0, TRUE, FALSE},
        {102, "工具栏(&T)", "", xtpControlButton, FALSE, 1, TRUE, FALSE},
        {103, "保存(&S)", "", xtpControlButton, FALSE, 0, FALSE, FALSE},
        {104, "默认项", "", xtpControlButton, TRUE, 0, TRUE, TRUE},
        {105, "之后", "", xtpControlButton, TRUE, 0, TRUE, FALSE},
        {-1, "最近(&R)", "", xtpControlPopup, FALSE, 0, TRUE, FALSE},
    };
    for (int i = 0; i < 6; ++i) {
        const Expected& e = expected[i];
        CXTPControl* pControl = pControls->GetAt(i);
        EXPECT_EQ(pControl->GetID(), e.id) << i;
        EXPECT_STREQ(pControl->GetCaption(), e.caption) << i;
        EXPECT_STREQ(pControl->GetAutoShortcutText(), e.shortcut) << i;
        EXPECT_EQ(pControl->GetType(), e.type) << i;
        EXPECT_EQ(pControl->GetBeginGroup(), e.group) << i;
        EXPECT_EQ(pControl->GetChecked(), e.checked) << i;
        EXPECT_EQ(pControl->GetEnabled(), e.enabled) << i;
        EXPECT_EQ(pControl->GetDefaultItem(), e.isDefault) << i;
        EXPECT_EQ(pControl->GetIndex(), i);
        EXPECT_EQ(pControl->GetParent(), bar.pBar);
        EXPECT_EQ(pControl->GetControls(), pControls);
    }
    EXPECT_TRUE(pControls->GetAt(0)->IsKindOf(RUNTIME_CLASS(CXTPControlButton)));
    auto* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pControls->GetAt(5));
    ASSERT_TRUE(pPopup);
    CXTPCommandBar* pSub = pPopup->GetCommandBar();
    ASSERT_TRUE(pSub && pSub->IsKindOf(RUNTIME_CLASS(CXTPPopupBar)));
    EXPECT_STREQ(pSub->GetTitle(), "最近(R)") << "the title loses its mnemonic";
    EXPECT_EQ(pSub->m_dwRef, 1) << "the control holds the popup's only reference";
    ASSERT_EQ(pSub->GetControlCount(), 2);
    EXPECT_EQ(pSub->GetControl(1)->GetID(), 202);
    EXPECT_STREQ(pSub->GetControl(1)->GetAutoShortcutText(), "F2");
    // The site was asked for every item and for the popup bar.
    EXPECT_EQ(bar.site.Messages(WM_CREATE_BAR_CONTROL).size(), 8u);
    EXPECT_EQ(bar.site.Messages(WM_CREATE_COMMAND_BAR).size(), 1u);

    // Loading again replaces the controls unless asked to keep them.
    ASSERT_TRUE(bar.pBar->LoadMenu(&menu));
    EXPECT_EQ(pControls->GetCount(), 6);
    ASSERT_TRUE(bar.pBar->LoadMenu(&menu, FALSE));
    EXPECT_EQ(pControls->GetCount(), 12);
    EXPECT_FALSE(bar.pBar->LoadMenu(nullptr));
    CMenu bogus;
    bogus.Attach(reinterpret_cast<HMENU>(0x1234));
    EXPECT_FALSE(bar.pBar->LoadMenu(&bogus));
    bogus.Detach();
}

TEST_F(CommandBarControlsTest, TheSiteAnswersForMenuItems)
{
    SitedBar bar;
    CXTPControlLabel* pOwn = nullptr;
    bar.site.m_handler = [&](UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
        if (message != WM_CREATE_BAR_CONTROL)
            return false;
        auto* info = reinterpret_cast<CreateBarControlInfo*>(lParam);
        EXPECT_FALSE(info->bToolBar);
        if (info->nID == 101) { // a changed record
            EXPECT_EQ(info->pCommandBar, bar.pBar);
            EXPECT_EQ(info->nIndex, 0);
            EXPECT_STREQ(info->strCaption, "一");
            info->nID = 111;
            info->strCaption = "改过\tF9";
            info->controlType = xtpControlSplitButtonPopup;
            info->buttonStyle = 3;
            *result = 1;
        } else if (info->nID == 102) { // the site's own control
            pOwn = new CXTPControlLabel;
            info->pControl = pOwn;
            info->strCaption = "标签";
            *result = 1;
        } else if (info->nID == 104) { // a drop-down whose items come from menu resource 157
            info->controlType = xtpControlButtonPopup;
            info->nID = 157;
            *result = 1;
        } else if (info->nID == 103) { // changed, but answered 0
            info->nID = 999;
            info->strCaption = "不用";
            *result = 0;
        } else {
            return false;
        }
        return true;
    };
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, 101, "一");
    menu.AppendMenu(MF_STRING, 102, "二");
    menu.AppendMenu(MF_STRING, 103, "三");
    menu.AppendMenu(MF_STRING, 104, "四");
    ASSERT_TRUE(bar.Controls()->LoadMenu(&menu));
    ASSERT_EQ(bar.Controls()->GetCount(), 4);
    CXTPControl* pDropDown = bar.Controls()->GetAt(3);
    EXPECT_EQ(pDropDown->GetID(), 157);
    ASSERT_TRUE(pDropDown->GetCommandBar());
    EXPECT_GT(pDropDown->GetCommandBar()->GetControlCount(), 3) << "the resource's first submenu";
    CXTPControl* pChanged = bar.Controls()->GetAt(0);
    EXPECT_EQ(pChanged->GetID(), 111);
    EXPECT_STREQ(pChanged->GetCaption(), "改过");
    EXPECT_STREQ(pChanged->GetAutoShortcutText(), "F9");
    EXPECT_EQ(pChanged->GetType(), xtpControlSplitButtonPopup);
    EXPECT_EQ(pChanged->GetStyle(), 3);
    ASSERT_TRUE(pChanged->IsKindOf(RUNTIME_CLASS(CXTPControlPopup)));
    EXPECT_TRUE(pChanged->GetCommandBar()) << "a popup type gets its popup bar";
    EXPECT_EQ(bar.Controls()->GetAt(1), pOwn);
    EXPECT_STREQ(pOwn->GetCaption(), "标签");
    EXPECT_EQ(pOwn->GetID(), 102);
    EXPECT_EQ(bar.Controls()->GetAt(2)->GetID(), 103);
    EXPECT_STREQ(bar.Controls()->GetAt(2)->GetCaption(), "三");
}

TEST_F(CommandBarControlsTest, TheSitesPopupBarIsUsed)
{
    SitedBar bar;
    std::vector<CString> titles;
    bar.site.m_handler = [&](UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
        if (message != WM_CREATE_COMMAND_BAR)
            return false;
        auto* info = reinterpret_cast<CreateBarInfo*>(lParam);
        EXPECT_TRUE(info->bPopup);
        titles.push_back(info->lpcstrCaption);
        info->pCommandBar = new CountedPopupBar;
        *result = 1;
        return true;
    };
    CMenu menu, sub;
    BuildMenu(menu, sub);
    ASSERT_TRUE(bar.Controls()->LoadMenu(&menu));
    CXTPCommandBar* pSub = bar.Controls()->GetAt(5)->GetCommandBar();
    ASSERT_TRUE(pSub);
    EXPECT_TRUE(pSub->IsKindOf(RUNTIME_CLASS(CountedPopupBar)));
    EXPECT_EQ(pSub->m_dwRef, 1);
    EXPECT_EQ(pSub->GetControlCount(), 2);
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_STREQ(titles[0], "最近(R)");

    // The factory asks too, for a popup with an id of a menu resource.
    CXTPControl* pSplit = bar.Controls()->Add(xtpControlSplitButtonPopup, 157);
    ASSERT_TRUE(pSplit);
    EXPECT_EQ(pSplit->GetID(), 157);
    EXPECT_TRUE(pSplit->GetCommandBar()->IsKindOf(RUNTIME_CLASS(CountedPopupBar)));
    EXPECT_EQ(pSplit->GetCommandBar()->m_dwRef, 1);
    EXPECT_GT(pSplit->GetCommandBar()->GetControlCount(), 3) << "the resource's first submenu";
    // A plain popup keeps id 0 and makes its bar without asking.
    titles.clear();
    CXTPControl* pPlain = bar.Controls()->Add(xtpControlPopup, 0);
    EXPECT_EQ(pPlain->GetID(), 0);
    EXPECT_TRUE(titles.empty());
    EXPECT_FALSE(pPlain->GetCommandBar()->IsKindOf(RUNTIME_CLASS(CountedPopupBar)));
}

TEST_F(CommandBarControlsTest, TheFactoryByType)
{
    CXTPControls* pControls = new CXTPControls;
    struct Case {
        int type;
        int id;
        CRuntimeClass* rc;
    } cases[] = {
        {xtpControlButton, 5, RUNTIME_CLASS(CXTPControlButton)},
        {xtpControlButton, XTP_ID_WINDOWLIST, RUNTIME_CLASS(CXTPControlWindowList)},
        {xtpControlButton, XTP_ID_WORKSPACE_ACTIONS, RUNTIME_CLASS(CXTPControlWorkspaceActions)},
        {xtpControlButton, XTP_ID_TOOLBARLIST, RUNTIME_CLASS(CXTPControlToolbars)},
        {xtpControlButton, XTP_ID_FILE_MRU, RUNTIME_CLASS(CXTPControlRecentFileList)},
        {xtpControlButton, XTP_ID_MENU_MRU_FILE1, RUNTIME_CLASS(CXTPControlButton)},
        {xtpControlPopup, 6, RUNTIME_CLASS(CXTPControlPopup)},
        {xtpControlButtonPopup, 7, RUNTIME_CLASS(CXTPControlPopup)},
        {xtpControlComboBox, 8, RUNTIME_CLASS(CXTPControlComboBox)},
        {xtpControlEdit, 9, RUNTIME_CLASS(CXTPControlEdit)},
        {xtpControlCustom, 10, RUNTIME_CLASS(CXTPControlCustom)},
        {xtpControlLabel, 11, RUNTIME_CLASS(CXTPControlLabel)},
    };
    for (const Case& c : cases) {
        CXTPControl* pControl = pControls->Add(c.type, c.id, "参数", -1, TRUE);
        ASSERT_TRUE(pControl) << c.type;
        EXPECT_EQ(pControl->GetRuntimeClass(), c.rc) << c.type << "/" << c.id;
        // A custom control keeps the button's type.
        const int nType = c.type == xtpControlCustom ? xtpControlButton : c.type;
        EXPECT_EQ(pControl->GetType(), nType);
        EXPECT_EQ(pControl->GetID(), c.type == xtpControlPopup ? 0 : c.id);
        EXPECT_STREQ(pControl->GetParameter(), "参数");
        EXPECT_TRUE(pControl->IsTemporary());
        CXTPControl* pClone = pControl->Clone();
        EXPECT_EQ(pClone->GetRuntimeClass(), c.rc);
        EXPECT_EQ(pClone->GetType(), nType);
        pClone->InternalRelease();
    }
    EXPECT_TRUE(pControls->GetAt(11)->IsLabel());
    EXPECT_EQ(pControls->Add(0, 1), nullptr);
    EXPECT_EQ(pControls->Add(9, 1), nullptr);
    // Inserting before an index; an index outside appends.
    CXTPControl* pFirst = pControls->Add(xtpControlButton, 77, nullptr, 0);
    EXPECT_EQ(pControls->GetFirst(), pFirst);
    CXTPControl* pLast = pControls->Add(xtpControlButton, 78, nullptr, 99);
    EXPECT_EQ(pLast->GetIndex(), pControls->GetCount() - 1);
    EXPECT_EQ(pControls->FindControl(78)->GetIndex(), pControls->GetCount() - 1);
    EXPECT_EQ(pControls->FindControl(-1), pFirst);
    EXPECT_EQ(pControls->FindControl(4242), nullptr);
    int nWalked = 0;
    for (CXTPControl* p = pControls->GetFirst(); p; pControls->GetNextControl(p))
        ++nWalked;
    EXPECT_EQ(nWalked, pControls->GetCount());
    pControls->InternalRelease();
}

TEST_F(CommandBarControlsTest, KeyboardWalk)
{
    struct Setup {
        int hide[5];
        int flags[5];
        int temporary[5];
    };
    struct Case {
        const char* what;
        Setup setup;
        int start, step;
        BOOL keyboard, skipTemporary, skipCollapsed;
        int expected;
    } cases[] = {
        {"forward from none", {{0}, {0}, {0}}, -1, 1, TRUE, FALSE, TRUE, 0},
        {"backward from none", {{0}, {0}, {0}}, -1, -1, TRUE, FALSE, TRUE, 4},
        {"next", {{0}, {0}, {0}}, 1, 1, TRUE, FALSE, TRUE, 2},
        {"wraps forward", {{0}, {0}, {0}}, 4, 1, TRUE, FALSE, TRUE, 0},
        {"wraps backward", {{0}, {0}, {0}}, 0, -1, TRUE, FALSE, TRUE, 4},
        {"only the last selectable", {{1, 1, 1, 1, 0}, {0}, {0}}, -1, 1, TRUE, FALSE, TRUE, 4},
        {"nothing selectable forward", {{1, 1, 1, 1, 1}, {0}, {0}}, -1, 1, TRUE, FALSE, TRUE, -1},
        {"nothing selectable backward", {{1, 1, 1, 1, 1}, {0}, {0}}, -1, -1, TRUE, FALSE, TRUE, -1},
        {"from none no wrap", {{0, 0, 0, 0, 0}, {2, 2, 2, 2, 2}, {0}}, -1, 1, TRUE, FALSE, TRUE, -1},
        {"back to the start", {{1, 0, 1, 1, 1}, {0}, {0}}, 1, 1, TRUE, FALSE, TRUE, 1},
        {"scrolled out counts", {{0, 0, 8, 0, 0}, {0}, {0}}, 1, 1, TRUE, FALSE, TRUE, 2},
        {"scrolled and hidden", {{0, 0, 9, 0, 0}, {0}, {0}}, 1, 1, TRUE, FALSE, TRUE, 3},
        {"collapsed skipped", {{0, 0, 32, 0, 0}, {0}, {0}}, 1, 1, TRUE, FALSE, TRUE, 3},
        {"collapsed kept", {{0, 0, 32, 0, 0}, {0}, {0}}, 1, 1, TRUE, FALSE, FALSE, 2},
        {"wrap hidden", {{0, 0, 2, 0, 0}, {0}, {0}}, 1, 1, TRUE, FALSE, FALSE, 3},
        {"flag 2 by keyboard", {{0}, {0, 0, 2, 0, 0}, {0}}, 1, 1, TRUE, FALSE, TRUE, 3},
        {"flag 2 by mouse", {{0}, {0, 0, 2, 0, 0}, {0}}, 1, 1, FALSE, FALSE, TRUE, 2},
        {"temporary skipped", {{0}, {0}, {0, 0, 1, 0, 0}}, 1, 1, TRUE, TRUE, TRUE, 3},
        {"temporary kept", {{0}, {0}, {0, 0, 1, 0, 0}}, 1, 1, TRUE, FALSE, TRUE, 2},
        {"wraps once only", {{0, 1, 1, 1, 1}, {0}, {0}}, 2, 1, TRUE, FALSE, TRUE, 0},
    };
    for (const Case& c : cases) {
        CXTPControls* pControls = new CXTPControls;
        for (int i = 0; i < 5; ++i) {
            CXTPControl* pControl = pControls->Add(xtpControlButton, i + 1);
            pControl->SetHideFlags(static_cast<DWORD>(c.setup.hide[i]));
            pControl->SetFlags(static_cast<DWORD>(c.setup.flags[i]));
            pControl->SetTemporary(c.setup.temporary[i]);
        }
        EXPECT_EQ(pControls->GetNext(c.start, c.step, c.keyboard, c.skipTemporary, c.skipCollapsed), c.expected)
            << c.what;
        pControls->InternalRelease();
    }
    CXTPControls* pEmpty = new CXTPControls;
    EXPECT_EQ(pEmpty->GetNext(-1, 1), -1);
    pEmpty->InternalRelease();
}

TEST_F(CommandBarControlsTest, HitTestAndVisibleCount)
{
    CXTPControls* pControls = new CXTPControls;
    const CRect rects[] = {{0, 0, 10, 10}, {10, 0, 20, 10}, {10, 0, 20, 10}, {20, 0, 30, 10}};
    for (const CRect& rc : rects)
        pControls->Add(xtpControlButton, 1)->SetRect(rc);
    pControls->GetAt(1)->SetHideFlags(xtpHideWrap);
    pControls->GetAt(3)->SetHideFlags(xtpHideGeneric);
    EXPECT_EQ(pControls->HitTest(CPoint(5, 5)), pControls->GetAt(0));
    EXPECT_EQ(pControls->HitTest(CPoint(15, 5)), pControls->GetAt(2)) << "the first that is not hidden";
    EXPECT_EQ(pControls->HitTest(CPoint(25, 5)), nullptr);
    EXPECT_EQ(pControls->HitTest(CPoint(10, 10)), nullptr) << "right and bottom edges are outside";
    EXPECT_EQ(pControls->GetVisibleCount(TRUE), 2);
    EXPECT_EQ(pControls->GetVisibleCount(FALSE), 3);
    pControls->InternalRelease();
}

TEST_F(CommandBarControlsTest, DuplicatesComparisonsAndChanges)
{
    SitedBar bar;
    CMenu menu, sub;
    bar.Controls()->LoadMenu(BuildMenu(menu, sub));
    CXTPControls* pControls = bar.Controls();
    EXPECT_TRUE(pControls->IsChanged()) << "no initial set";
    pControls->CreateInitialControls();
    EXPECT_FALSE(pControls->IsChanged());

    pControls->Add(xtpControlButton, 500, nullptr, 2, TRUE);
    EXPECT_FALSE(pControls->IsChanged()) << "temporaries do not count";
    CXTPControls* pCopy = pControls->Duplicate(TRUE);
    EXPECT_EQ(pCopy->GetCount(), pControls->GetCount() - 1) << "temporaries are not copied";
    EXPECT_TRUE(pCopy->Compare(pControls));
    EXPECT_TRUE(pCopy->GetOriginalControls()) << "the initial set goes along";
    EXPECT_FALSE(pCopy->IsChanged());
    CXTPCommandBar* pCopiedSub = pCopy->GetAt(5)->GetCommandBar();
    EXPECT_NE(pCopiedSub, pControls->GetAt(6)->GetCommandBar()) << "a recursive copy has popups of its own";
    EXPECT_EQ(pCopiedSub->GetControlCount(), 2);

    CXTPControls* pShallow = pControls->Duplicate(FALSE);
    EXPECT_EQ(pShallow->GetAt(5)->GetCommandBar(), pControls->GetAt(6)->GetCommandBar()) << "shared popup";
    EXPECT_EQ(pControls->GetAt(6)->GetCommandBar()->m_dwRef, 2);
    pShallow->InternalRelease();
    EXPECT_EQ(pControls->GetAt(6)->GetCommandBar()->m_dwRef, 1);

    pCopy->GetAt(0)->SetCaption("变了");
    EXPECT_TRUE(pCopy->IsChanged());
    EXPECT_FALSE(pCopy->Compare(pControls));
    pCopy->GetAt(0)->SetCaption("打开(&O)");
    pCopy->GetAt(5)->GetCommandBar()->GetControl(0)->SetCaption("子");
    EXPECT_FALSE(pCopy->Compare(pControls)) << "popup contents are compared";
    pCopy->Remove(0);
    EXPECT_TRUE(pCopy->IsChanged());
    pCopy->InternalRelease();

    // Popup contents count only when both have a popup bar.
    CXTPControlPopup withBar, withoutBar;
    withBar.SetCommandBar(pControls->GetAt(6)->GetCommandBar());
    EXPECT_TRUE(withoutBar.Compare(&withBar));
    CXTPControlButton button;
    EXPECT_FALSE(withBar.Compare(&button)) << "not a popup control";
    withBar.SetCommandBar(nullptr);
}

TEST_F(CommandBarControlsTest, RemovingTheSelectedControl)
{
    test::TestSite site;
    test::TestBar bar;
    ASSERT_TRUE(bar.CreateIn(&site, CRect(0, 0, 300, 30)));
    for (int i = 0; i < 3; ++i)
        bar.GetControls()->Add(xtpControlButton, 10 + i);
    bar.SetSelected(1);
    CXTPControl* pSelected = bar.GetControl(1);
    pSelected->InternalAddRef();
    EXPECT_EQ(pSelected->GetSelected(), 1);
    bar.GetControls()->Remove(pSelected);
    EXPECT_EQ(bar.GetSelectedIndex(), -1);
    EXPECT_EQ(pSelected->GetSelected(), 0);
    EXPECT_EQ(pSelected->GetParent(), nullptr);
    EXPECT_EQ(pSelected->GetControls(), nullptr);
    EXPECT_EQ(pSelected->m_dwRef, 1) << "the collection's reference went";
    pSelected->InternalRelease();
    EXPECT_EQ(bar.GetControl(1)->GetIndex(), 1);
    EXPECT_EQ(bar.GetControl(1)->GetID(), 12);
    bar.GetControls()->Remove(7);
    bar.GetControls()->Remove(static_cast<CXTPControl*>(nullptr));
    EXPECT_EQ(bar.GetControlCount(), 2);
}

TEST_F(CommandBarControlsTest, NothingLeaksAfterCopiesBothWays)
{
    g_nLive = 0;
    {
        SitedBar bar;
        bar.site.m_handler = [&](UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
            if (message == WM_CREATE_BAR_CONTROL) {
                auto* info = reinterpret_cast<CreateBarControlInfo*>(lParam);
                if (info->controlType != xtpControlButton)
                    return false;
                info->pControl = new CountedButton;
                *result = 1;
                return true;
            }
            if (message == WM_CREATE_COMMAND_BAR) {
                reinterpret_cast<CreateBarInfo*>(lParam)->pCommandBar = new CountedPopupBar;
                *result = 1;
                return true;
            }
            return false;
        };
        CMenu menu, sub, deeper;
        BuildMenu(menu, sub);
        deeper.CreatePopupMenu();
        deeper.AppendMenu(MF_STRING, 301, "更深");
        CMenu* pSub = menu.GetSubMenu(9);
        ASSERT_TRUE(pSub);
        pSub->AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(deeper.Detach()), "下一层");
        ASSERT_TRUE(bar.pBar->LoadMenu(&menu));
        const int nBuilt = g_nLive;
        EXPECT_EQ(nBuilt, 5 + 2 + 1 + 2) << "buttons, their items and the two popup bars";
        bar.Controls()->CreateInitialControls();
        EXPECT_EQ(g_nLive, 2 * nBuilt);

        CXTPCommandBar* pDeep = bar.pBar->Clone(TRUE);
        CXTPCommandBar* pShallow = bar.pBar->Clone(FALSE);
        CXTPControls* pDeepControls = bar.Controls()->Duplicate(TRUE);
        CXTPControls* pShallowControls = bar.Controls()->Duplicate(FALSE);
        EXPECT_GT(g_nLive, 2 * nBuilt);
        pDeep->InternalRelease();
        pShallow->InternalRelease();
        pDeepControls->InternalRelease();
        pShallowControls->InternalRelease();
        EXPECT_EQ(g_nLive, 2 * nBuilt);
    }
    EXPECT_EQ(g_nLive, 0);
}

// Layout --------------------------------------------------------------------

namespace {

struct LayoutItem {
    int width;
    BOOL group;
    DWORD flags;
};

// A collection of buttons with ids 1.. sized by the test theme.
CXTPControls* MakeRow(test::TestPaintManager* pTheme, const std::vector<LayoutItem>& items)
{
    auto* pControls = new CXTPControls;
    for (size_t i = 0; i < items.size(); ++i) {
        const int nId = static_cast<int>(i) + 1;
        CXTPControl* pControl = pControls->Add(xtpControlButton, nId);
        pTheme->m_sizes[nId] = CSize(items[i].width, 22);
        pControl->SetBeginGroup(items[i].group);
        pControl->SetFlags(items[i].flags);
    }
    return pControls;
}

} // namespace

TEST_F(CommandBarControlsTest, LayoutWrapsAtTheLastGroupThatFits)
{
    ScopedTestTheme theme;
    test::Canvas canvas(10, 10);
    std::vector<LayoutItem> items(10, LayoutItem{40, FALSE, 0});
    items[3].group = items[6].group = TRUE;
    CXTPControls* pControls = MakeRow(theme.Get(), items);
    const CRect border(2, 2, 2, 2);
    CSize sz = pControls->CalcDynamicSize(canvas.DC(), 300, LM_HORZDOCK | LM_COMMIT, border);
    EXPECT_EQ(sz, CSize(300, 54)) << "stretched to the length; two rows with a group gap";
    EXPECT_EQ(pControls->GetAt(0)->GetRect(), CRect(2, 2, 42, 24));
    EXPECT_EQ(pControls->GetAt(3)->GetRect(), CRect(128, 2, 168, 24)) << "a group line before it";
    EXPECT_EQ(pControls->GetAt(5)->GetRect(), CRect(208, 2, 248, 24));
    EXPECT_EQ(pControls->GetAt(6)->GetRect(), CRect(2, 30, 42, 52)) << "the row starts at the group";
    EXPECT_TRUE(pControls->GetAt(6)->GetWrap());
    EXPECT_FALSE(pControls->GetAt(7)->GetWrap());
    EXPECT_EQ(pControls->GetAt(9)->GetRect(), CRect(122, 30, 162, 52));
    EXPECT_EQ(pControls->GetAt(9)->GetRowRect(), CRect(2, 30, 298, 52));

    // Hiding instead of wrapping: what does not fit is hidden for lack of room.
    sz = pControls->CalcDynamicSize(canvas.DC(), 300, LM_HORZDOCK | LM_COMMIT | LM_HIDEWRAP, border);
    EXPECT_EQ(sz, CSize(300, 26));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(pControls->GetAt(i)->GetHideFlags(), i >= 7 ? static_cast<DWORD>(xtpHideWrap) : 0u) << i;
    EXPECT_EQ(pControls->GetAt(6)->GetRect(), CRect(254, 2, 294, 24));
    // With room again they come back.
    pControls->CalcDynamicSize(canvas.DC(), 600, LM_HORZDOCK | LM_COMMIT | LM_HIDEWRAP, border);
    EXPECT_EQ(pControls->GetVisibleCount(TRUE), 10);
    pControls->InternalRelease();
}

TEST_F(CommandBarControlsTest, LayoutRightAlignedAndStretched)
{
    ScopedTestTheme theme;
    test::Canvas canvas(10, 10);
    CXTPControls* pControls = MakeRow(theme.Get(), {{40, FALSE, 0},
                                                    {40, FALSE, xtpFlagControlStretched},
                                                    {40, FALSE, xtpFlagControlStretched},
                                                    {40, FALSE, xtpFlagRightAlign}});
    const CSize sz =
        pControls->CalcDynamicSize(canvas.DC(), 301, LM_HORZDOCK | LM_STRETCH | LM_COMMIT, CRect(2, 2, 2, 2));
    EXPECT_EQ(sz, CSize(301, 26));
    EXPECT_EQ(pControls->GetAt(0)->GetRect(), CRect(2, 2, 42, 24));
    EXPECT_EQ(pControls->GetAt(1)->GetRect(), CRect(42, 2, 150, 24)) << "half of 137";
    EXPECT_EQ(pControls->GetAt(2)->GetRect(), CRect(150, 2, 259, 24)) << "the last takes the remainder";
    EXPECT_EQ(pControls->GetAt(3)->GetRect(), CRect(259, 2, 299, 24)) << "at the end of the bar";

    // A right-aligned control that would start before the border stays.
    CXTPControls* pTight = MakeRow(theme.Get(), {{40, FALSE, xtpFlagRightAlign}});
    pTight->CalcDynamicSize(canvas.DC(), 30, LM_HORZDOCK | LM_COMMIT, CRect(2, 2, 2, 2));
    EXPECT_EQ(pTight->GetAt(0)->GetRect(), CRect(2, 2, 42, 24));
    pTight->InternalRelease();
    pControls->InternalRelease();
}

TEST_F(CommandBarControlsTest, LayoutVerticalColumnsThicknessAndLengthY)
{
    ScopedTestTheme theme;
    test::Canvas canvas(10, 10);
    const CRect border(2, 2, 2, 2);
    CXTPControls* pColumns = MakeRow(theme.Get(), std::vector<LayoutItem>(5, LayoutItem{40, FALSE, 0}));
    CSize sz = pColumns->CalcDynamicSize(canvas.DC(), 100, LM_VERTDOCK | LM_COMMIT, border);
    EXPECT_EQ(sz, CSize(84, 100));
    EXPECT_EQ(pColumns->GetAt(0)->GetRect(), CRect(42, 2, 82, 24)) << "the first column on the right";
    EXPECT_EQ(pColumns->GetAt(3)->GetRect(), CRect(42, 68, 82, 90));
    EXPECT_EQ(pColumns->GetAt(4)->GetRect(), CRect(2, 2, 42, 24));
    EXPECT_TRUE(pColumns->GetAt(4)->GetWrap());
    pColumns->InternalRelease();

    CXTPControls* pThin = MakeRow(theme.Get(), {{40, FALSE, 0}});
    sz = pThin->CalcDynamicSize(canvas.DC(), 300, LM_HORZDOCK | LM_COMMIT, border, 40);
    EXPECT_EQ(sz, CSize(44, 40)) << "the minimum thickness";
    EXPECT_EQ(pThin->GetAt(0)->GetRect(), CRect(2, 2, 42, 24));
    sz = pThin->CalcDynamicSize(canvas.DC(), 300, LM_VERTDOCK | LM_COMMIT, border, 60);
    EXPECT_EQ(sz.cx, 60);
    pThin->InternalRelease();

    CXTPControls* pFloating = MakeRow(theme.Get(), std::vector<LayoutItem>(6, LayoutItem{40, FALSE, 0}));
    sz = pFloating->CalcDynamicSize(canvas.DC(), 50, LM_LENGTHY | LM_COMMIT, border);
    EXPECT_EQ(sz, CSize(124, 48)) << "the narrowest wrapping whose height fits";
    sz = pFloating->CalcDynamicSize(canvas.DC(), 130, LM_COMMIT, border);
    EXPECT_EQ(sz, CSize(124, 48)) << "the smallest width with the rows of the length";
    pFloating->InternalRelease();
}

TEST_F(CommandBarControlsTest, AnEmptyBarMeasures23By22PlusBorders)
{
    ScopedTestTheme theme;
    test::Canvas canvas(10, 10);
    CXTPControls* pControls = new CXTPControls;
    EXPECT_EQ(pControls->CalcDynamicSize(canvas.DC(), 300, LM_HORZDOCK, CRect(2, 3, 4, 5)), CSize(29, 30));
    pControls->Add(xtpControlButton, 1)->SetHideFlags(xtpHideGeneric);
    EXPECT_EQ(pControls->CalcDynamicSize(canvas.DC(), 300, LM_HORZDOCK, CRect(2, 3, 4, 5), 40), CSize(29, 40));
    EXPECT_EQ(pControls->CalcDynamicSize(canvas.DC(), 300, LM_VERTDOCK, CRect(2, 3, 4, 5), 40), CSize(40, 30));
    pControls->InternalRelease();
}
