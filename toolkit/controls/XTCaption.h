// CXTCaption: a title strip above a pane (text, an optional icon at the
// right, a frame and colours) drawn by its caption style. Its one child
// button is either a small close button at the right edge or a button over
// the text that pops the hidden pane up in a CXTCaptionPopupWnd.
#pragma once

#include "platform/mfc/ImageList.h"
#include "platform/mfc/Static.h"
#include "toolkit/controls/XTButton.h"
#include "toolkit/controls/XTCaptionTheme.h"

class CXTCaptionPopupWnd;

// Posted by the popup to its caption; the caption passes them on to its owner.
#define WM_CAPTION_POPUP_PIN 0x0DD9
#define WM_CAPTION_POPUP_CLOSE 0x0DDA

// Caption styles (the low three bits of Create's caption style).
constexpr DWORD CPWS_EX_GROOVE_EDGE = 0x0001; // sunken outside, raised inside
constexpr DWORD CPWS_EX_RAISED_EDGE = 0x0002;
constexpr DWORD CPWS_EX_CLOSEBUTTON = 0x0004;

// The caption's child button: it takes the caption's colours and font.
class CXTCaptionButton : public CXTButton {
    DECLARE_DYNAMIC(CXTCaptionButton)
public:
    // Keeps the bits, takes the caption's colours and font again.
    DWORD SetXButtonStyle(DWORD dwxStyle, BOOL bRedraw = TRUE) override;
    // Face, text and dark shadow from the caption when it is the parent.
    void RefreshFromCaption();
    void SetCaptionColors(COLORREF clrFace, COLORREF clrText, COLORREF clrDarkShadow);
};

class CXTCaption : public CStatic, public CXTThemeManagerStyleHost {
    DECLARE_DYNAMIC(CXTCaption)
public:
    CXTCaption();
    ~CXTCaption() override;

    virtual void SetCaptionColors(COLORREF clrBorder, COLORREF clrBackground, COLORREF clrText);
    // Each value only when given.
    virtual void ModifyCaptionStyle(int nBorder, CFont* pFont = nullptr, LPCTSTR lpszCaption = nullptr,
                                    HICON hIcon = nullptr);
    virtual void SetChildWindow(CWnd* pChild, CWnd* pNotify);
    virtual void KillChildWindow();
    virtual BOOL ShowPopupWindow();
    virtual void UpdateCaption(LPCTSTR lpszCaption, HICON hIcon);
    using CStatic::Create;
    // The caption style is dwCaptionStyle's low three bits; the other bits
    // go to the extended window style. FALSE when a window fails.
    virtual BOOL Create(CWnd* pParent, LPCTSTR lpszCaption, DWORD dwCaptionStyle, DWORD dwStyle, const CRect& rect,
                        UINT nID = 0xFFFF);
    virtual CRect GetTextRect();
    virtual void DrawCaptionBack(CDC* pDC, CRect& rc);
    virtual void DrawCaptionText(CDC* pDC);
    virtual void DrawCaptionIcon(CDC* pDC, CRect& rc);
    virtual void UpdateCaptionText(CDC* pDC);
    virtual CRect GetButtonRect();

    void OnThemeChanged() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // What the caption styles read.
    CXTCaptionTheme* GetCaptionTheme() { return dynamic_cast<CXTCaptionTheme*>(GetTheme()); }
    int GetBorder() const { return m_nBorder; }
    DWORD GetCaptionStyle() const { return m_dwExStyle; }
    HICON GetCaptionIcon() const { return m_hIcon; }
    CSize GetIconSize() const { return m_sizeIcon; }
    const CString& GetCaptionText() const { return m_strWindowText; }
    COLORREF GetBorderColor() const { return m_clrBorder; }
    COLORREF GetBackgroundColor() const { return m_clrBackground; }
    COLORREF GetTextColor() const { return m_clrFont; }
    BOOL HasCustomColors() const { return m_bUserColors; }
    CXTCaptionButton& GetCaptionButton() { return m_btnCaption; }
    CXTCaptionPopupWnd* GetPopupWnd() const { return m_pPopupWnd; }

protected:
    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    void OnSysColorChange();
    LRESULT OnPopupPin(WPARAM wParam, LPARAM lParam);
    LRESULT OnPopupClose(WPARAM wParam, LPARAM lParam);
    // A message of the current popup (stale ones name a popup that is gone).
    BOOL IsFromPopup(LPARAM lParam) const;
    void DestroyPopup();
    void NotifyOwner(UINT message);
    void MoveButton();
    DECLARE_MESSAGE_MAP()

    int m_nBorder = 0;
    int m_nOffset = 0;
    BYTE m_bUserColors = FALSE;
    CWnd* m_pChildWnd = nullptr;
    CWnd* m_pParentView = nullptr;
    CWnd* m_pSplitterWnd = nullptr;
    CSize m_sizeIcon{0, 0};
    CRect m_rcChild;
    CRect m_rcParent;
    CRect m_rcSplitter;
    DWORD m_dwExStyle = 0;
    HICON m_hIcon = nullptr;
    CString m_strWindowText;
    COLORREF m_clrBorder;
    COLORREF m_clrBackground;
    COLORREF m_clrFont;
    CImageList m_ImageList;
    CXTCaptionButton m_btnCaption;
    CXTCaptionPopupWnd* m_pPopupWnd = nullptr;
};
