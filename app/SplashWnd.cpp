#include "app/SplashWnd.h"

#include "platform/mfc/Dc.h"
#include "platform/mfc/Resource.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/ResourceImage.h"

BOOL CSplashWnd::c_bShowSplashWnd = FALSE;
CSplashWnd* CSplashWnd::c_pSplashWnd = nullptr;

BEGIN_MESSAGE_MAP(CSplashWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CSplashWnd::~CSplashWnd()
{
    if (c_pSplashWnd == this)
        c_pSplashWnd = nullptr;
}

void CSplashWnd::EnableSplashScreen(BOOL bEnable) { c_bShowSplashWnd = bEnable; }

BOOL CSplashWnd::ShowSplashScreen(UINT uTimeOut, UINT uBitmapID, CWnd* pParentWnd)
{
    if (!c_bShowSplashWnd || c_pSplashWnd)
        return FALSE;
    auto* splash = new CSplashWnd;
    c_pSplashWnd = splash;
    HBITMAP bitmap = ::LoadBitmap(AfxFindResourceHandle(MAKEINTRESOURCE(uBitmapID), RT_BITMAP), MAKEINTRESOURCE(uBitmapID));
    if (!bitmap || !splash->m_bitmap.Attach(bitmap) || !splash->Create(pParentWnd)) {
        delete splash;
        return FALSE;
    }
    splash->CenterWindow();
    splash->UpdateWindow();
    splash->SetTimer(1, uTimeOut, nullptr);
    return TRUE;
}

BOOL CSplashWnd::Create(CWnd* pParentWnd)
{
    BITMAP bm{};
    m_bitmap.GetBitmap(&bm);
    CString cls = AfxRegisterWndClass(0, AfxGetApp()->LoadStandardCursor(IDC_ARROW));
    return CreateEx(0, cls, nullptr, WS_POPUP | WS_VISIBLE, 0, 0, bm.bmWidth, bm.bmHeight,
                    pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr, nullptr);
}

BOOL CSplashWnd::PreTranslateAppMessage(MSG* pMsg)
{
    if (!c_pSplashWnd)
        return FALSE;
    switch (pMsg->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        c_pSplashWnd->HideSplashScreen();
        return TRUE;
    default:
        return FALSE;
    }
}

void CSplashWnd::HideSplashScreen()
{
    DestroyWindow();
    if (CWnd* main = AfxGetMainWnd())
        main->UpdateWindow();
}

void CSplashWnd::OnPaint()
{
    CPaintDC dc(this);
    CDC memDC;
    if (!memDC.CreateCompatibleDC(&dc))
        return;
    BITMAP bm{};
    m_bitmap.GetBitmap(&bm);
    CBitmap* old = memDC.SelectObject(&m_bitmap);
    dc.BitBlt(0, 0, bm.bmWidth, bm.bmHeight, &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(old);
}

void CSplashWnd::OnTimer(UINT_PTR) { HideSplashScreen(); }
