// Buttons the factory and the menu builder make for the framework's own
// command ids: the window list, the workspace actions, the toolbars list,
// the recent files and the OLE verbs. Each expands into items of its own,
// generated after it at every layout of its bar. And the grid selector.
#pragma once

#include "toolkit/commandbars/XTPControlButton.h"

// Dragged over only inside a popup.
class CXTPControlPlaceholder : public CXTPControlButton {
public:
    BOOL IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint point) override;

protected:
    // Removes the items generated before; FALSE in customize mode, where
    // the placeholder shows itself and generates nothing.
    BOOL BeginGenerating(BOOL (*pfnGenerated)(CXTPControl*));
    // A plain button after the placeholder (after the ones added so far).
    CXTPControl* AddGenerated(CXTPControl* pItem, int nID, LPCTSTR lpszCaption, LPCTSTR lpszParameter);

    int m_nGenerated = 0;
};

// A frame without child windows lists none and shows the placeholder.
class CXTPControlWindowList : public CXTPControlPlaceholder {
    DECLARE_DYNCREATE(CXTPControlWindowList)
public:
    void OnCalcDynamicSize(DWORD dwMode) override;
};

// Actions of a tabbed child-window workspace; none without one.
class CXTPControlWorkspaceActions : public CXTPControlPlaceholder {
    DECLARE_DYNCREATE(CXTPControlWorkspaceActions)
public:
    void OnCalcDynamicSize(DWORD dwMode) override;
};

// One check item per listed toolbar: checked while shown; choosing it shows
// or hides the bar.
class CXTPControlToolbars : public CXTPControlPlaceholder {
    DECLARE_DYNCREATE(CXTPControlToolbars)
public:
    void OnCalcDynamicSize(DWORD dwMode) override;
};

// The framework keeps no recent-file list: the placeholder stays hidden.
class CXTPControlRecentFileList : public CXTPControlPlaceholder {
    DECLARE_DYNCREATE(CXTPControlRecentFileList)
public:
    void OnCalcDynamicSize(DWORD dwMode) override;
};

// The framework has no embedded documents: the placeholder stays hidden.
class CXTPControlOleItems : public CXTPControlPlaceholder {
    DECLARE_DYNCREATE(CXTPControlOleItems)
public:
    void OnCalcDynamicSize(DWORD dwMode) override;
};

// A grid of cells (a table size chooser): the selection follows the
// pointer from the top-left cell, and the grid grows while the pointer is
// dragged beyond its right or bottom edge.
class CXTPControlSelector : public CXTPControl {
    DECLARE_SERIAL(CXTPControlSelector)
public:
    CXTPControlSelector();

    CSize GetSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    void OnMouseMove(CPoint point) override;
    BOOL OnSetSelected(int bSelected) override;
    void OnLButtonUp(CPoint point) override;
    void OnCalcDynamicSize(DWORD dwMode) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    void DoPropExchange(CXTPPropExchange* pPX) override;
    // Drawn on each cell after its background.
    virtual void DrawSelectorItem(CDC* pDC, CRect rcItem, COLORREF clrItem)
    {
        (void)pDC;
        (void)rcItem;
        (void)clrItem;
    }

    // Sends the change to the site when it is one, or when forced.
    void SetSelectedCells(CSize szSelected, BOOL bForce);
    CSize GetSelectedCells() const { return m_szSelected; }
    CSize GetExecutedCells() const { return m_szResult; }
    CSize GetVisibleGrid() const { return m_szItemsVisible; }

    CSize m_szItemsCount{5, 4};
    CSize m_szItemsMax{12, 12};
    CSize m_szSelected{0, 0};
    CSize m_szItem{28, 28};
    CSize m_szResult{0, 0};
    CSize m_szItemsVisible{5, 4};
    int m_bLockUpdate = FALSE;

private:
    void NotifySite();
};

// The code a selector sends with each change of its selection.
#define XTP_SN_SELECTION_CHANGED 0x1006

// The command ids these stand for.
#define XTP_ID_WINDOWLIST 35000
#define XTP_ID_CUSTOMIZE 35001
#define XTP_ID_WORKSPACE_ACTIONS 35002
#define XTP_ID_FILE_MRU 35003
#define XTP_ID_TOOLBARLIST 59392
#define XTP_ID_MENU_MRU_FILE1 57616
#define XTP_ID_OLE_VERB_FIRST 57872
