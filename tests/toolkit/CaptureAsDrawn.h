// Display tests: a window's capture once it shows what the window drew.
#pragma once

#include "platform/display/GtkPresenter.h"
#include "platform/mfc/Wnd.h"
#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/support/DisplayPump.h"

#include <memory>

namespace tavrin::test {

// The capture (null when none came) once it equals the window's own
// surface, or the last one after five seconds; pbSame tells which.
inline std::unique_ptr<Surface> CaptureAsDrawn(display::GtkPresenter* pPresenter, CWnd* pWnd, bool* pbSame)
{
    std::unique_ptr<Surface> shot;
    *pbSame = PumpUntil([&] {
        pWnd->RedrawWindow(nullptr, nullptr, RDW_UPDATENOW);
        pPresenter->Flush();
        shot = pPresenter->CaptureWindow(pWnd->m_hWnd);
        return shot && ShowsOwnSurface(*shot, pWnd->m_hWnd);
    }, 5000);
    return shot;
}

} // namespace tavrin::test
