// The framework's kinds of views: a scrolling view over a fixed total size,
// a form view that is a child dialog made from a template, and views that
// are a control (tree, list).
#pragma once

#include "platform/mfc/DataExchange.h"
#include "platform/mfc/Document.h"
#include "platform/mfc/ListCtrl.h"
#include "platform/mfc/Rect.h"
#include "platform/mfc/TreeCtrl.h"
#include "platform/win/Dialog.h"

#include <vector>

#ifndef MM_TEXT
#define MM_TEXT 1
#endif

// A view whose content is larger than its window: the window's scroll bars
// move a total size (logical units, MM_TEXT: pixels) under the client area.
class CScrollView : public CView {
    DECLARE_DYNAMIC(CScrollView)
public:
    static const SIZE sizeDefault;

    // The total size; a page and a line default to a tenth and a hundredth.
    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                        const SIZE& sizeLine = sizeDefault);
    CSize GetTotalSize() const { return m_totalLog; }
    void GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const;
    CPoint GetScrollPosition() const;
    CPoint GetDeviceScrollPosition() const;
    void ScrollToPosition(POINT pt);

    void OnPrepareDC(CDC* pDC, void* pInfo = nullptr) override;
    // nScrollCode: the horizontal code in the low byte and the vertical one
    // in the high byte (0xFF: none).
    virtual BOOL OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll = TRUE);
    virtual BOOL OnScrollBy(CSize sizeScroll, BOOL bDoScroll = TRUE);

    void OnSize(UINT nType, int cx, int cy);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);

protected:
    CScrollView() = default;
    // Shows, hides and ranges the bars for the client size.
    void UpdateBars();

    int m_nMapMode = 0;
    CSize m_totalLog;
    CSize m_totalDev;
    CSize m_pageDev;
    CSize m_lineDev;
    BOOL m_bInsideUpdate = FALSE;
    DECLARE_MESSAGE_MAP()
};

// A view made from a dialog template: a child dialog (DS_CONTROL) with the
// dialog's keyboard interface, data exchange and the template's size as its
// total size, so a pane smaller than the form scrolls.
class CFormView : public CScrollView {
    DECLARE_DYNAMIC(CFormView)
public:
    // The base class's forms stay callable beside these.
    using CWnd::Create;
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID, void* pContext = nullptr) override;
    void OnDraw(CDC*) override {}
    void OnInitialUpdate() override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    void OnSetFocus(CWnd* pOldWnd);

    LPCTSTR m_lpszTemplateName = nullptr;
    CCreateContext* m_pCreateContext = nullptr; // while the view is being made

protected:
    explicit CFormView(LPCTSTR lpszTemplateName);
    explicit CFormView(UINT nIDTemplate);
    HWND m_hWndFocus = nullptr; // the control that had the focus last
    DECLARE_MESSAGE_MAP()
};

// A view that is a control window of a given class; the control paints.
class CCtrlView : public CView {
    DECLARE_DYNAMIC(CCtrlView)
public:
    CCtrlView(LPCTSTR lpszClass, DWORD dwStyle);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnDraw(CDC*) override {}
    void OnPaint() { Default(); }

    CString m_strClass;
    DWORD m_dwDefaultStyle;

protected:
    DECLARE_MESSAGE_MAP()
};

class CTreeView : public CCtrlView {
    DECLARE_DYNCREATE(CTreeView)
public:
    CTreeView();
    ~CTreeView() override;
    // The view's window as a tree control.
    CTreeCtrl& GetTreeCtrl() const;

private:
    mutable CTreeCtrl m_tree; // shares the view's handle, never in the handle map
};

class CListView : public CCtrlView {
    DECLARE_DYNCREATE(CListView)
public:
    CListView();
    ~CListView() override;
    CListCtrl& GetListCtrl() const;

private:
    mutable CListCtrl m_list;
};
