// A frame for the menu-bar tests: every command has a handler (items stay
// enabled) and the commands it runs are recorded; its accelerators are the
// fixture's table of the main menu.
#pragma once

#include "tests/toolkit/ToolBarTestFrame.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Accelerator.h"

#include <vector>

namespace tavrin::test {

class CMenuBarTestFrame : public CToolBarTestFrame {
public:
    std::vector<UINT> m_commands;
    // Codes of the bars' notifications.
    std::vector<UINT> m_notifications;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_BAR_CONTROL_NOTIFY)
            m_notifications.push_back(reinterpret_cast<NMHDR*>(lParam)->code);
        return CToolBarTestFrame::WindowProc(message, wParam, lParam);
    }

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (nCode == CN_COMMAND && nID >= 100 && nID != 35001 && nID < 0xF000) {
            if (!pHandlerInfo)
                m_commands.push_back(nID);
            return TRUE;
        }
        return CToolBarTestFrame::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }
    // The keys of the thread go through the frame first, as in the program's loop.
    static void Pump()
    {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!AfxPreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
    }
};

} // namespace tavrin::test
