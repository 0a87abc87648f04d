// The framework's tool tips: a window that enables them gets a tip over its
// child controls, with the text asked from it by notification.
#include "platform/base/Clock.h"
#include "platform/controls/ToolTip.h"
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class CTipsWnd : public CWnd {
public:
    int m_asked = 0;
    UINT_PTR m_askedFor = 0;
    BOOL OnToolTipText(UINT, NMHDR* header, LRESULT* result)
    {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        ++m_asked;
        m_askedFor = header->idFrom;
        std::strcpy(info->szText, "提示");
        *result = 0;
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTipsWnd, CWnd)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
END_MESSAGE_MAP()

// The loop of a framework thread: pre-translation along the window chain.
void PumpThroughPreTranslation(HWND top)
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (CWnd::WalkPreTranslateTree(top, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

} // namespace

TEST(FrameworkToolTips, AChildControlShowsTheTipItsOwnerNames)
{
    tavrin::clock::ManualScope clock(1000000);
    CTipsWnd main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, "tips", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, nullptr, nullptr));
    CWnd child;
    ASSERT_TRUE(child.Create(nullptr, "", WS_VISIBLE, CRect(10, 10, 60, 40), &main, 7));
    main.SetActiveWindow();
    EXPECT_FALSE(main.EnableToolTips(TRUE));

    tavrin::win::InjectMouseMove(120, 120); // over the child
    PumpThroughPreTranslation(main.m_hWnd);
    tavrin::clock::Advance(1000); // past the hover time
    PumpThroughPreTranslation(main.m_hWnd);
    tavrin::win::InjectMouseMove(121, 120);
    PumpThroughPreTranslation(main.m_hWnd);
    tavrin::clock::Advance(1000);
    PumpThroughPreTranslation(main.m_hWnd);

    EXPECT_GE(main.m_asked, 1) << "the tip asked its owner for the text";
    EXPECT_EQ(main.m_askedFor, reinterpret_cast<UINT_PTR>(child.m_hWnd)) << "the tool is the child window";
    HWND tip = ::FindWindowA(TOOLTIPS_CLASSA, nullptr);
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(::IsWindowVisible(tip));

    // A press hides it; leaving the child removes the tool.
    tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, true);
    PumpThroughPreTranslation(main.m_hWnd);
    tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, false);
    PumpThroughPreTranslation(main.m_hWnd);
    EXPECT_FALSE(::IsWindowVisible(tip));
    main.DestroyWindow();
}
