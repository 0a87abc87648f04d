// The "表情" drop-down: a button that opens a grid of smiley pictures above
// itself and posts the pick (or -3 when dismissed) to its parent as
// WM_INSERT_SMILEY.
#pragma once

#include "platform/mfc/Button.h"
#include "platform/mfc/GdiObject.h"

#include <vector>

class CImageList;
class CSmileyButton;

// The 64 smiley pictures of the resources: 21 x 21, white transparent.
BOOL CreateSmileyImageList(CImageList& list);

class CSmileyIconButton : public CButton {
    DECLARE_DYNAMIC(CSmileyIconButton)
public:
    CSmileyIconButton() = default;
    // The button's picture: image nIndex on white.
    void SetImage(CImageList* pImageList, int nIndex);
    BOOL IsHovering() const { return m_bHover; }

protected:
    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnMouseHover(UINT nFlags, CPoint point);
    void OnMouseLeave();
    void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    int m_bTracking = 0;
    int m_bHover = 0;
    CBitmap m_bitmap;
};

class CSmileyPopupWnd : public CWnd {
    DECLARE_DYNAMIC(CSmileyPopupWnd)
public:
    CSmileyPopupWnd() = default;
    ~CSmileyPopupWnd() override;

    // A borderless tool window whose bottom-right corner is the screen point,
    // one button per image; FALSE without images.
    BOOL Create(int right, int bottom, CSmileyButton* pOwner, CImageList* pImageList);
    // Hides the popup and posts the index to the owner button's parent.
    void Select(int nIndex);

    BOOL IsShown() const { return m_bShown; }
    int GetColumns() const { return m_nColumns; }
    int GetRows() const { return m_nRows; }
    CSmileyIconButton* GetIconButton(int nIndex) const
    {
        return nIndex >= 0 && nIndex < static_cast<int>(m_buttons.size()) ? m_buttons[static_cast<size_t>(nIndex)] : nullptr;
    }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnPaint();
    void OnKillFocus(CWnd* pNewWnd);
    void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    friend class CSmileyButton;
    int m_bShown = 1;
    int m_nCellHeight = 0;
    int m_nCellWidth = 0;
    int m_nColumns = 0;
    int m_nRows = 0;
    CSmileyButton* m_pOwner = nullptr;
    std::vector<CSmileyIconButton*> m_buttons;
};

class CSmileyButton : public CButton {
    DECLARE_DYNAMIC(CSmileyButton)
public:
    CSmileyButton() = default;
    ~CSmileyButton() override;

    // The borrowed list the popup shows.
    void SetImageList(CImageList* pImageList) { m_pImageList = pImageList; }
    CSmileyPopupWnd* GetPopup() const { return m_pPopup; }

protected:
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void ClosePopup();
    CSmileyPopupWnd* m_pPopup = nullptr;
    CImageList* m_pImageList = nullptr;
};
