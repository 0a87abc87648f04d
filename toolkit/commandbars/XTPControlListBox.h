// The list box of the bars: a list of lines, or of controls drawn as items.
// With multiple selection, hovering selects every line from the first down
// to the one under the mouse.
#pragma once

#include "platform/mfc/ListBox.h"
#include "toolkit/commandbars/XTPControl.h"

class CXTPControlListBox;

// Notification codes of the list-box control to the site.
#define XTP_LBN_SELCHANGE 0x1003
#define XTP_LBN_POPUP 0x1004

// The list-box window of the control.
class CXTPControlListBoxCtrl : public CListBox {
public:
    explicit CXTPControlListBoxCtrl(CXTPControlListBox* pControl) : m_pControl(pControl) {}
    ~CXTPControlListBoxCtrl() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CXTPControlListBox* m_pControl;
};

class CXTPControlListBox : public CXTPControl {
    DECLARE_SERIAL(CXTPControlListBox)
public:
    CXTPControlListBox();
    ~CXTPControlListBox() override;


    void SetEnabled(BOOL bEnabled) override;
    void SetRect(CRect rcControl) override;
    CSize GetSize(CDC* pDC) override;
    void Draw(CDC*) override {}
    void OnCalcDynamicSize(DWORD dwMode) override;
    void DoPropExchange(CXTPPropExchange* pPX) override;
    BOOL OnHookKeyDown(UINT nChar, LPARAM lParam) override;
    void SetParent(CXTPCommandBar* pParent) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    BOOL OnSetSelected(int bSelected) override;
    void SetWidth(int nWidth) override { m_nWidth = nWidth; }

    // The icon size of the items: the manager's for toolbars.
    CSize GetIconSize() const;
    CListBox* GetListCtrl() const { return m_pListBox; }
    // Re-creates the window with or without multiple selection, keeping its items.
    void SetMultiplSel(BOOL bMultiplSel);
    BOOL GetMultiplSel() const { return m_bMultiplSel; }
    int GetWidth() const { return m_nWidth; }
    void SetLinesMinMax(int nMin, int nMax)
    {
        m_nListBoxLinesMin = nMin;
        m_nListBoxLinesMax = nMax;
    }

    // The list box's mouse: the line under the point becomes the current one.
    void OnListMouseMove(CPoint point);
    // After any change: with multiple selection exactly lines 0 to the
    // current one are selected; then the site hears XTP_LBN_SELCHANGE.
    void ApplySelectionRule();
    void Notify(UINT nCode);

    int m_nListBoxLinesMin = 1;
    int m_nListBoxLinesMax = 12;
    BOOL m_bMultiplSel = FALSE;
    int m_nWidth = 100;
    BOOL m_bMouseLocked = FALSE;

private:
    void CreateListBox();
    int GetCurrentItem() const;

    CXTPControlListBoxCtrl* m_pListBox = nullptr;
    int m_nCurrent = -1;
};

// The items of a list-box window as the section "Items": the count, then
// each text as "Item%i". Loading appends to the list.
void XTPExchangeListBoxItems(CXTPPropExchange* pPX, HWND hListBox);
// Appends every item of the source list to the destination list.
void XTPCopyListBoxItems(HWND hDest, HWND hSource);
