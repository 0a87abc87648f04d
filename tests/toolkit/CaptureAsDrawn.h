// Display tests: a window's capture once it shows what the window drew.
#pragma once

#include "platform/display/GtkPresenter.h"
#include "platform/mfc/Wnd.h"
#include "platform/win/WindowSurface.h"
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
        auto own = win::GetWindowSurface(pWnd->m_hWnd);
        if (!shot || !own)
            return false;
        CRect rc;
        pWnd->GetClientRect(&rc);
        for (int y = 0; y < rc.bottom; ++y)
            for (int x = 0; x < rc.right; ++x)
                if ((shot->GetPixel(x, y) & 0xFFFFFF) != (own->GetPixel(x, y) & 0xFFFFFF))
                    return false;
        return true;
    }, 5000);
    return shot;
}

} // namespace tavrin::test
