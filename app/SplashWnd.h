// The splash window: a bitmap shown centred over the main window at
// start-up until its time runs out or the user presses a key or a button.
#pragma once

#include "platform/mfc/GdiObject.h"
#include "platform/mfc/Wnd.h"

class CSplashWnd : public CWnd {
public:
    ~CSplashWnd() override;

    static void EnableSplashScreen(BOOL bEnable = TRUE);
    // FALSE when disabled, already shown, or the bitmap or window cannot be made.
    static BOOL ShowSplashScreen(UINT uTimeOut, UINT uBitmapID, CWnd* pParentWnd = nullptr);
    // TRUE when the message hid the splash (it is then used up).
    static BOOL PreTranslateAppMessage(MSG* pMsg);
    static CSplashWnd* GetCurrent() { return c_pSplashWnd; }

    void HideSplashScreen();
    void PostNcDestroy() override { delete this; }

    void OnPaint();
    void OnTimer(UINT_PTR nIDEvent);

protected:
    CSplashWnd() = default;
    BOOL Create(CWnd* pParentWnd);

    CBitmap m_bitmap;
    static BOOL c_bShowSplashWnd;
    static CSplashWnd* c_pSplashWnd;
    DECLARE_MESSAGE_MAP()
};
