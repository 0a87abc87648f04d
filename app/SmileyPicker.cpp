#include "app/SmileyPicker.h"

#include "app/ComposeEdit.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/ImageList.h"
#include "platform/mfc/Resource.h"
#include "platform/win/ResourceImage.h"
#include "res/resource.h"

#include <cmath>

namespace {

constexpr int kFirstIconId = 2000;
constexpr COLORREF kBorderColour = RGB(79, 107, 160);
constexpr COLORREF kRowLineColour = RGB(222, 222, 222);
constexpr COLORREF kColumnLineColour = RGB(165, 182, 222);
constexpr COLORREF kHoverColour = RGB(241, 238, 231);

HBITMAP LoadResourceBitmap(UINT id)
{
    LPCSTR name = MAKEINTRESOURCE(id);
    return ::LoadBitmapA(AfxFindResourceHandle(name, RT_BITMAP), name);
}

} // namespace

BOOL CreateSmileyImageList(CImageList& list)
{
    HBITMAP bitmap = LoadResourceBitmap(IDB_SMILEYS);
    if (!bitmap)
        return FALSE;
    BOOL made = list.Create(21, 21, ILC_COLOR24 | ILC_MASK, kSmileyCount, 0);
    if (made)
        made = ::ImageList_AddMasked(list.m_hImageList, bitmap, RGB(255, 255, 255)) >= 0;
    ::DeleteObject(bitmap);
    return made;
}

// ---- icon button

IMPLEMENT_DYNAMIC(CSmileyIconButton, CButton)

BEGIN_MESSAGE_MAP(CSmileyIconButton, CButton)
ON_WM_ERASEBKGND()
ON_WM_MOUSEMOVE()
ON_WM_MOUSEHOVER()
ON_WM_MOUSELEAVE()
ON_WM_CLOSE()
END_MESSAGE_MAP()

void CSmileyIconButton::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    ModifyStyle(0, BS_OWNERDRAW);
}

void CSmileyIconButton::SetImage(CImageList* pImageList, int nIndex)
{
    int width = 0;
    int height = 0;
    if (!pImageList || !pImageList->GetIconSize(&width, &height))
        return;
    CClientDC screen(nullptr);
    CDC dc;
    m_bitmap.DeleteObject();
    if (!dc.CreateCompatibleDC(&screen) || !m_bitmap.CreateCompatibleBitmap(&screen, width, height))
        return;
    CBitmap* old = dc.SelectObject(&m_bitmap);
    dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
    pImageList->Draw(&dc, nIndex, CPoint(0, 0), ILD_NORMAL);
    dc.SelectObject(old);
}

BOOL CSmileyIconButton::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
    CBrush brush(RGB(255, 255, 255));
    CPen* oldPen = pDC->SelectObject(&pen);
    CBrush* oldBrush = pDC->SelectObject(&brush);
    pDC->Rectangle(&client);
    pDC->SelectObject(oldPen);
    pDC->SelectObject(oldBrush);
    return TRUE;
}

void CSmileyIconButton::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bTracking) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = m_hWnd;
        track.dwHoverTime = 1;
        m_bTracking = ::TrackMouseEvent(&track);
    }
    CButton::OnMouseMove(nFlags, point);
}

void CSmileyIconButton::OnMouseHover(UINT, CPoint)
{
    m_bHover = TRUE;
    Invalidate();
}

void CSmileyIconButton::OnMouseLeave()
{
    m_bHover = FALSE;
    m_bTracking = FALSE;
    Invalidate();
}

void CSmileyIconButton::OnClose()
{
    m_bitmap.DeleteObject();
    Default();
}

void CSmileyIconButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CDC* dc = CDC::FromHandle(lpDrawItemStruct->hDC);
    const CRect rect(lpDrawItemStruct->rcItem);
    if (m_bHover)
        dc->FillSolidRect(&rect, kHoverColour);
    BITMAP info{};
    if (m_bitmap.GetSafeHandle() && m_bitmap.GetBitmap(&info)) {
        CDC memory;
        if (memory.CreateCompatibleDC(dc)) {
            CBitmap* old = memory.SelectObject(&m_bitmap);
            if (info.bmWidth <= rect.Width() && info.bmHeight <= rect.Height())
                dc->BitBlt(0, 0, rect.Width(), rect.Height(), &memory, 0, 0, SRCCOPY);
            else
                dc->StretchBlt(0, 0, rect.Width(), rect.Height(), &memory, 0, 0, info.bmWidth, info.bmHeight,
                               SRCCOPY);
            memory.SelectObject(old);
        }
    }
    if (!m_bHover)
        return;
    CBitmap overlay;
    CDC memory;
    if (overlay.Attach(LoadResourceBitmap(IDB_SMILEY_HOVER)) && memory.CreateCompatibleDC(dc)) {
        CBitmap* old = memory.SelectObject(&overlay);
        dc->BitBlt(0, 0, rect.Width(), rect.Height(), &memory, 0, 0, SRCAND);
        memory.SelectObject(old);
    }
    CPen pen(PS_SOLID, 1, kBorderColour);
    CPen* oldPen = dc->SelectObject(&pen);
    CGdiObject* oldBrush = dc->SelectStockObject(HOLLOW_BRUSH);
    dc->Rectangle(&rect);
    dc->SelectObject(oldPen);
    dc->SelectObject(oldBrush);
}

// ---- popup

IMPLEMENT_DYNAMIC(CSmileyPopupWnd, CWnd)

BEGIN_MESSAGE_MAP(CSmileyPopupWnd, CWnd)
ON_WM_PAINT()
ON_WM_KILLFOCUS()
ON_WM_CLOSE()
END_MESSAGE_MAP()

CSmileyPopupWnd::~CSmileyPopupWnd()
{
    // The windows go first, while their objects still answer them.
    if (m_hWnd)
        DestroyWindow();
    for (CSmileyIconButton* button : m_buttons)
        delete button;
}

BOOL CSmileyPopupWnd::Create(int right, int bottom, CSmileyButton* pOwner, CImageList* pImageList)
{
    const int count = pImageList ? pImageList->GetImageCount() : 0;
    if (count < 1)
        return FALSE;
    int width = 0;
    int height = 0;
    pImageList->GetIconSize(&width, &height);
    m_pOwner = pOwner;
    m_nColumns = static_cast<int>(std::sqrt(static_cast<double>(count)));
    m_nCellWidth = width + 4;
    m_nCellHeight = height + 4;
    m_nRows = count / m_nColumns + (count % m_nColumns ? 1 : 0);
    const CRect frame(right - m_nColumns * m_nCellWidth, bottom - m_nRows * m_nCellHeight, right, bottom);
    if (!CreateEx(WS_EX_TOOLWINDOW, AfxRegisterWndClass(0), "", WS_POPUP | WS_VISIBLE, frame, nullptr, 0))
        return FALSE;
    for (int r = 0; r * m_nColumns < count; ++r) {
        for (int c = 0; c < m_nColumns && r * m_nColumns + c < count; ++c) {
            const int i = r * m_nColumns + c;
            CRect cell(c * m_nCellWidth, r * m_nCellHeight, (c + 1) * m_nCellWidth, (r + 1) * m_nCellHeight);
            cell.DeflateRect(2, 2);
            auto* button = new CSmileyIconButton;
            if (!button->Create("", WS_CHILD | WS_VISIBLE, cell, this, kFirstIconId + i)) {
                delete button;
                continue;
            }
            button->SetImage(pImageList, i);
            button->ShowWindow(SW_SHOW);
            m_buttons.push_back(button);
        }
    }
    return TRUE;
}

void CSmileyPopupWnd::Select(int nIndex)
{
    // Cleared first: hiding takes the focus away, which must not dismiss again.
    m_bShown = 0;
    ShowWindow(SW_HIDE);
    if (m_pOwner) {
        if (CWnd* target = m_pOwner->GetParent())
            target->PostMessage(WM_INSERT_SMILEY, static_cast<WPARAM>(nIndex), 0);
        m_pOwner->SetState(FALSE);
    }
}

BOOL CSmileyPopupWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int index = static_cast<int>(LOWORD(wParam)) - kFirstIconId;
    if (index < 0 || index >= static_cast<int>(m_buttons.size()))
        return CWnd::OnCommand(wParam, lParam);
    Select(index);
    return TRUE;
}

void CSmileyPopupWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CPen border(PS_SOLID, 1, kBorderColour);
    CPen* old = dc.SelectObject(&border);
    dc.Rectangle(&client);
    CPen rowPen(PS_SOLID, 1, kRowLineColour);
    dc.SelectObject(&rowPen);
    for (int i = 1; i < m_nRows; ++i) {
        dc.MoveTo(2, i * m_nCellHeight);
        dc.LineTo(client.right - 2, i * m_nCellHeight);
    }
    CPen columnPen(PS_SOLID, 1, kColumnLineColour);
    dc.SelectObject(&columnPen);
    for (int j = 1; j < m_nColumns; ++j) {
        dc.MoveTo(j * m_nCellWidth, 2);
        dc.LineTo(j * m_nCellWidth, m_nRows * m_nCellHeight - 2);
    }
    dc.SelectObject(old);
}

void CSmileyPopupWnd::OnKillFocus(CWnd* pNewWnd)
{
    CWnd::OnKillFocus(pNewWnd);
    // Hidden already: the pick or dismissal was posted.
    if (!m_bShown)
        return;
    CPoint cursor;
    ::GetCursorPos(&cursor);
    HWND under = ::WindowFromPoint(cursor);
    // An icon being clicked picks; the owner button's own press closes.
    if (under && (::IsChild(m_hWnd, under) || (m_pOwner && under == m_pOwner->m_hWnd)))
        return;
    Select(-3);
}

void CSmileyPopupWnd::OnClose()
{
    for (CSmileyIconButton* button : m_buttons) {
        if (button->m_hWnd)
            button->SendMessage(WM_CLOSE);
        delete button;
    }
    m_buttons.clear();
    Default();
}

// ---- button

IMPLEMENT_DYNAMIC(CSmileyButton, CButton)

BEGIN_MESSAGE_MAP(CSmileyButton, CButton)
ON_WM_LBUTTONDOWN()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CSmileyButton::~CSmileyButton()
{
    delete m_pPopup;
}

void CSmileyButton::ClosePopup()
{
    if (!m_pPopup)
        return;
    if (m_pPopup->m_hWnd)
        m_pPopup->SendMessage(WM_CLOSE);
    delete m_pPopup;
    m_pPopup = nullptr;
}

void CSmileyButton::OnLButtonDown(UINT, CPoint)
{
    // The framework's press is not run: no BN_CLICKED reaches the view.
    if (m_pPopup && m_pPopup->m_bShown) {
        m_pPopup->m_bShown = 0;
        m_pPopup->ShowWindow(SW_HIDE);
        SetState(FALSE);
        return;
    }
    if (!m_pImageList)
        return;
    SetState(TRUE);
    CRect rect;
    GetWindowRect(&rect);
    ClosePopup();
    m_pPopup = new CSmileyPopupWnd;
    if (!m_pPopup->Create(rect.right, rect.top, this, m_pImageList)) {
        delete m_pPopup;
        m_pPopup = nullptr;
        SetState(FALSE);
        Invalidate(TRUE);
        return;
    }
    m_pPopup->ShowWindow(SW_SHOW);
    m_pPopup->UpdateWindow();
    m_pPopup->SetFocus();
}

void CSmileyButton::OnDestroy()
{
    ClosePopup();
    CButton::OnDestroy();
}
