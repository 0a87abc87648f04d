// The ordered, reference-counted controls of one bar: the control factory,
// controls built from menus with the site's say, copies, searches, the
// keyboard walk, hit tests and the row layout.
#pragma once

#include "platform/mfc/CmdTarget.h"
#include "platform/mfc/ControlBar.h" // the layout modes
#include "platform/mfc/Dc.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"

#include <vector>

class CMenu;
class CWnd;
class CXTPCommandBar;
class CXTPCommandBars;
class CXTPControl;
class CXTPPopupBar;
class CXTPPropExchange;

class CXTPControls : public CCmdTarget {
    DECLARE_DYNCREATE(CXTPControls)
public:
    CXTPControls();
    ~CXTPControls() override;

    // The factory: a control of the type; null for a type outside 1 to 8.
    CXTPControl* Add(int controlType, int nId, LPCTSTR lpszParameter = nullptr, int nBefore = -1,
                     BOOL bTemporary = FALSE);
    // Takes over the caller's reference.
    CXTPControl* Add(CXTPControl* pControl, int nId, LPCTSTR lpszParameter = nullptr, int nBefore = -1,
                     BOOL bTemporary = FALSE);
    CXTPControl* AddClone(CXTPControl* pControl, int nBefore = -1, BOOL bRecursive = FALSE);
    CXTPControl* AddMenuItem(CMenu* pMenu, int nIndex);
    BOOL LoadMenu(CMenu* pMenu);

    // The collection in a new order at once: controls it leaves out are
    // released, controls new to it are taken over with their references.
    void Rearrange(std::vector<CXTPControl*> arrControls);
    void Remove(CXTPControl* pControl);
    void Remove(int nIndex);
    void RemoveAll();

    CXTPControl* GetAt(int nIndex) const;
    int GetCount() const { return static_cast<int>(m_arrControls.size()); }
    CXTPControl* GetFirst() const { return GetAt(0); }
    void GetNextControl(CXTPControl*& pControl) const;
    CXTPControl* FindControl(int nId) const;
    CXTPControl* HitTest(CPoint point) const;
    int GetNext(int nIndex, int nDirection, BOOL bKeyboard = TRUE, BOOL bSkipTemporary = FALSE,
                BOOL bSkipCollapsed = TRUE) const;
    int GetVisibleCount(BOOL bStrict = TRUE) const;

    void SetParent(CXTPCommandBar* pParent);
    CXTPCommandBar* GetParent() const { return m_pParent; }
    void RefreshIndexes();
    CXTPCommandBars* GetCommandBars() const;
    void SetCommandBars(CXTPCommandBars* pCommandBars) { m_pCommandBars = pCommandBars; }

    // A new collection (one reference for the caller).
    CXTPControls* Duplicate(BOOL bRecursive = FALSE);
    void CreateInitialControls();
    CXTPControls* GetOriginalControls() const { return m_pOriginalControls; }
    BOOL Compare(const CXTPControls* pOther) const;
    // Loading replaces every control; a control that cannot be made ends
    // the load with an archive exception.
    void DoPropExchange(CXTPPropExchange* pPX);
    // Takes the caller's reference of the copy.
    void SetOriginalControls(CXTPControls* pControls);
    BOOL IsChanged() const;

    CSize CalcDynamicSize(CDC* pDC, int nLength, DWORD dwMode, const CRect& rcBorder, int nWidth = 0);

    // The window that answers the site messages of this collection.
    CWnd* FindSite() const;

protected:
    void InsertAt(CXTPControl* pControl, int nBefore);
    // Inserts and gives the controls their indexes.
    void InsertAndIndex(CXTPControl* pControl, int nBefore);
    // The site's popup bar when it offers one (asked only with bAskSite).
    CXTPPopupBar* CreatePopupBarFor(LPCTSTR lpszTitle, UINT nID, BOOL bAskSite);
    // A popup control of the type holding a new popup bar with the title
    // and, when given, the menu's items (after the bar's own, unless
    // bRemoveControls).
    CXTPControl* CreatePopup(int controlType, LPCTSTR lpszTitle, UINT nID, BOOL bAskSite, CMenu* pContent,
                             BOOL bRemoveControls);

    struct LayoutEntry {
        CRect rcControl;
        CRect rcRow;
        CSize szControl;
        BOOL bVisible;
        BOOL bWrap;
        BOOL bHide;
        BOOL bBeginGroup;
    };
    int WrapToolBar(std::vector<LayoutEntry>& entries, int nWidth, DWORD& dwMode) const;
    CSize CalcSize(std::vector<LayoutEntry>& entries, BOOL bVert) const;
    void SizeToolBar(std::vector<LayoutEntry>& entries, int nLength, DWORD dwMode) const;
    void AdjustStretched(std::vector<LayoutEntry>& entries, CSize sz, const CRect& rcBorder, BOOL bVert) const;

    CXTPCommandBar* m_pParent = nullptr;
    std::vector<CXTPControl*> m_arrControls;
    CXTPCommandBars* m_pCommandBars = nullptr;
    CXTPControls* m_pOriginalControls = nullptr;
};
