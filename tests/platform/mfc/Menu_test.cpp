// Menus through the framework: the tray menu of the program's resources,
// update handlers run against its items, and string resources with their
// %1/%2 arguments.
#include "platform/mfc/Resource.h"
#include "platform/mfc/WinApp.h"
#include "platform/mfc/res/FrameworkIds.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CMenuOwner : public CCmdTarget {
public:
    void OnAbout() {}
    void OnExit() {}
    void OnUpdateAbout(CCmdUI* ui)
    {
        ui->SetCheck(1);
        ui->SetText("关于(&A)");
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CMenuOwner, CCmdTarget)
    ON_COMMAND(ID_APP_ABOUT, OnAbout)
    ON_UPDATE_COMMAND_UI(ID_APP_ABOUT, OnUpdateAbout)
    ON_COMMAND(ID_APP_EXIT, OnExit)
END_MESSAGE_MAP()

} // namespace

TEST(FrameworkMenu, UpdateHandlersChangeTheItemsOfTheTrayMenu)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TRAY_MENU));
    CMenu* popup = menu.GetSubMenu(0);
    ASSERT_NE(popup, nullptr);
    CMenuOwner owner;
    // What the frame does when a popup opens: one update request per item.
    CCmdUI state;
    state.m_pMenu = popup;
    state.m_nIndexMax = popup->GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = popup->GetMenuItemID(static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0)
            continue; // a separator
        state.m_pSubMenu = state.m_nID == static_cast<UINT>(-1) ? popup->GetSubMenu(static_cast<int>(state.m_nIndex)) : nullptr;
        state.DoUpdate(&owner, TRUE);
    }
    struct Case {
        UINT id;
        UINT state; // MF_ bits of interest
    };
    const Case cases[] = {
        {ID_APP_ABOUT, MF_CHECKED},     // its update handler checks it
        {ID_APP_EXIT, 0},               // a handler: enabled
        {ID_OPTIONS, MF_GRAYED},        // nobody handles it: disabled
        {ID_SHOW_MAIN_WINDOW, MF_GRAYED},
    };
    for (const Case& c : cases)
        EXPECT_EQ(popup->GetMenuState(c.id, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED), c.state) << c.id;
    CString text;
    popup->GetMenuString(ID_APP_ABOUT, text, MF_BYCOMMAND);
    EXPECT_EQ(std::string(text), "关于(&A)");
    EXPECT_TRUE(popup->GetMenuState(ID_APP_ABOUT, MF_BYCOMMAND) & MF_CHECKED) << "a new text keeps the check";
    // The submenu itself is left as it was.
    EXPECT_FALSE(popup->GetMenuState(3, MF_BYPOSITION) & MF_GRAYED);
}

TEST(FrameworkMenu, StringResourcesAndTheirArguments)
{
    CString text;
    ASSERT_TRUE(AfxLoadString(AFX_IDP_PARSE_INT_RANGE, text));
    AfxFormatString2(text, AFX_IDP_PARSE_INT_RANGE, "1", "%1");
    EXPECT_EQ(std::string(text), "Please enter an integer between 1 and %1.") << "an argument is never replaced again";
    EXPECT_FALSE(AfxLoadString(0xFFF0, text));
    EXPECT_TRUE(text.IsEmpty());
}
