// The caption's auto-hide window: it holds the caption's hidden pane under
// an inner caption with a pin button, and asks the caption to close it once
// the keyboard focus has left it, or to put the pane back when pinned. It
// only posts those requests: the caption destroys it outside its handlers.
#pragma once

#include "platform/mfc/Wnd.h"
#include "toolkit/controls/XTCaption.h"

class CXTCaptionPopupWnd : public CWnd {
    DECLARE_DYNAMIC(CXTCaptionPopupWnd)
public:
    CXTCaptionPopupWnd();
    ~CXTCaptionPopupWnd() override;

    using CWnd::Create;
    // Both windows must exist; the child moves into the popup.
    virtual BOOL Create(const CRect& rect, CXTCaption* pCaption, CWnd* pChild);
    virtual void RecalcLayout();
    // The child goes back to its previous parent.
    virtual void RestoreParent();
    // Asks the caption to close the popup when the focus is outside it.
    virtual void CheckFocus();

    CXTCaption& GetInnerCaption() { return m_Caption; }
    CXTCaptionButton& GetPinButton() { return m_CaptionButton; }

protected:
    void OnTimer(UINT_PTR nIDEvent);
    void OnPaint();
    void OnDestroy();
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostToCaption(UINT message);
    DECLARE_MESSAGE_MAP()

    CXTCaption* m_pParentWnd = nullptr;
    CWnd* m_pChildWnd = nullptr;
    HWND m_hWndChildParent = nullptr;
    CXTCaption m_Caption;
    CXTCaptionButton m_CaptionButton;
    HICON m_hIconOff = nullptr;
    HICON m_hIconOn = nullptr;
};
