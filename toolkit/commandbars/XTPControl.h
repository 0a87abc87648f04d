// The base of every item on a command bar: identity, texts, states, its
// place on the bar, and how a chosen item becomes a command.
#pragma once

#include "platform/base/Map.h"
#include "platform/mfc/CmdTarget.h"
#include "platform/mfc/Dc.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"

class CXTPCommandBar;
class CXTPCommandBars;
class CXTPControls;
class CXTPImageManagerIcon;
class CXTPPaintManager;
class CXTPPropExchange;

// Document templates a control is shown for (or hidden for).
typedef CMap<UINT, UINT, BOOL, BOOL> CXTPControlTemplateMap;

class CXTPControl : public CCmdTarget {
    DECLARE_SERIAL(CXTPControl)
public:
    CXTPControl();
    ~CXTPControl() override;

    // Overridable behaviour, in the order the derived controls share.
    virtual CString GetTooltip(LPPOINT pPoint = nullptr, LPRECT lpRectTip = nullptr, int* nHit = nullptr) const;
    virtual void SetBeginGroup(BOOL bBeginGroup);
    virtual void SetEnabled(BOOL bEnabled);
    virtual int GetSelected() const { return m_bSelected; }
    virtual void SetRect(CRect rcControl) { m_rcControl = rcControl; }
    virtual BOOL Compare(CXTPControl* pOther);
    virtual CXTPCommandBar* GetCommandBar() { return nullptr; }
    virtual BOOL IsLabel() const { return FALSE; }
    virtual void SetHideFlags(DWORD dwFlags) { m_dwHideFlags = dwFlags; }
    virtual void OnExecute();
    virtual CSize GetSize(CDC* pDC);
    virtual void Draw(CDC* pDC);
    virtual void OnCalcDynamicSize(DWORD dwMode) { (void)dwMode; }
    virtual CXTPImageManagerIcon* GetImage(int nWidth = 16) const;
    virtual void DoPropExchange(CXTPPropExchange* pPX);
    virtual BOOL OnHookKeyDown(UINT nChar, LPARAM lParam)
    {
        (void)nChar;
        (void)lParam;
        return FALSE;
    }
    virtual void SetParent(CXTPCommandBar* pParent) { m_pParent = pParent; }
    virtual void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE);
    virtual BOOL OnSetPopup(BOOL bPopup)
    {
        (void)bPopup;
        return FALSE;
    }
    virtual void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0))
    {
        (void)bKeyboard;
        (void)pt;
    }
    virtual void OnLButtonUp(CPoint point) { (void)point; }
    virtual void OnRButtonUp(CPoint point) { (void)point; }
    virtual BOOL OnLButtonDblClk(CPoint point);
    virtual void OnMouseMove(CPoint point) { (void)point; }
    virtual void OnMouseHover();
    virtual BOOL OnSetSelected(int bSelected);
    virtual void OnCustomizeMouseDown(CPoint point);
    virtual BOOL OnCustomizeResize(CPoint point);
    virtual void OnCustomizeDragOver(CXTPControl* pDataObject, CPoint point);
    virtual BOOL IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint point)
    {
        (void)pCommandBar;
        (void)point;
        return TRUE;
    }
    virtual BOOL IsCustomizeResizeAllow() const { return FALSE; }
    virtual int GetCustomizeMinWidth() const { return 0; }
    virtual void SetWidth(int nWidth) { (void)nWidth; }
    // A new control of this one's class with Copy of this one; the caller
    // holds its one reference.
    virtual CXTPControl* Clone(BOOL bRecursive = FALSE);

    // Identity and texts
    void SetID(int nID);
    int GetID() const { return m_nId; }
    void SetPrompt(LPCTSTR lpszPrompt);
    void SetCaption(LPCTSTR lpszCaption);
    CString GetCaption() const { return m_strCustomCaption.IsEmpty() ? m_strCaption : m_strCustomCaption; }
    void SetCustomCaption(LPCTSTR lpszCaption) { m_strCustomCaption = lpszCaption; }
    CString GetShortcutText() const { return m_strShortcutText; }
    void SetShortcutText(LPCTSTR lpszText) { m_strShortcutText = lpszText; }
    CString GetAutoShortcutText() const { return m_strShortcutTextAuto; }
    void SetTooltip(LPCTSTR lpszTooltip) { m_strTooltipText = lpszTooltip; }
    CString GetDescription() const { return m_strDescriptionText; }
    void SetDescription(LPCTSTR lpszDescription) { m_strDescriptionText = lpszDescription; }
    CString GetParameter() const { return m_strParameter; }
    void SetParameter(LPCTSTR lpszParameter) { m_strParameter = lpszParameter; }
    CString GetCategory() const { return m_strCategory; }
    void SetCategory(LPCTSTR lpszCategory) { m_strCategory = lpszCategory; }
    DWORD_PTR GetTag() const { return m_nTag; }
    void SetTag(DWORD_PTR nTag) { m_nTag = nTag; }
    int GetIconId() const { return m_nCustomIconId != 0 ? m_nCustomIconId : (m_nIconId > 0 ? m_nIconId : m_nId); }
    void SetIconId(int nId) { m_nIconId = nId; }
    void SetCustomIconId(int nId) { m_nCustomIconId = nId; }
    int GetType() const { return m_controlType; }
    void SetType(int nType) { m_controlType = nType; }
    int GetStyle() const { return m_buttonCustomStyle != 0 ? m_buttonCustomStyle : m_buttonStyle; }
    void SetStyle(int nStyle) { m_buttonStyle = nStyle; }
    void SetCustomStyle(int nStyle) { m_buttonCustomStyle = nStyle; }

    // Flags and states
    void SetFlags(DWORD dwFlags) { m_dwFlags = dwFlags; }
    DWORD GetFlags() const { return m_dwFlags; }
    DWORD GetHideFlags() const { return m_dwHideFlags; }
    BOOL SetHideFlag(DWORD dwFlag, BOOL bSet);
    BOOL IsVisible() const { return m_dwHideFlags == 0; }
    void SetRarelyUsed(BOOL bRarelyUsed);
    BOOL IsRarelyUsed() const { return m_bRarelyUsed; }
    void SetDefaultItem(BOOL bDefault);
    BOOL GetDefaultItem() const { return m_bDefaultItem; }
    void SetChecked(int nChecked);
    int GetChecked() const { return m_bChecked; }
    BOOL GetEnabled() const { return m_bEnabled; }
    int GetPressed() const { return m_bPressed; }
    void SetPressed(int nPressed) { m_bPressed = nPressed; }
    BOOL GetBeginGroup() const { return m_bBeginGroup; }
    BOOL GetWrap() const { return m_bWrap; }
    void SetWrap(BOOL bWrap) { m_bWrap = bWrap; }
    BOOL IsTemporary() const { return m_bTemporary; }
    void SetTemporary(BOOL bTemporary) { m_bTemporary = bTemporary; }
    BOOL GetCloseSubMenuOnClick() const { return m_bCloseSubMenuOnClick; }
    void SetCloseSubMenuOnClick(BOOL bClose) { m_bCloseSubMenuOnClick = bClose; }
    CRect GetRect() const { return m_rcControl; }
    CRect GetRowRect() const { return m_rcRow; }
    void SetRowRect(CRect rcRow) { m_rcRow = rcRow; }
    CXTPCommandBar* GetParent() const { return m_pParent; }
    CXTPControls* GetControls() const { return m_pControls; }
    int GetIndex() const { return m_nIndex; }
    CXTPControlTemplateMap& GetAssignedTemplates() { return m_mapDocTemplatesAssigned; }
    CXTPControlTemplateMap& GetExcludedTemplates() { return m_mapDocTemplatesExcluded; }

    CXTPPaintManager* GetPaintManager() const;
    CXTPCommandBars* GetCommandBars() const;
    BOOL IsCustomizeMode() const;
    BOOL IsCursorOver() const;
    void DelayLayoutParent();
    void RedrawParent();
    void InvalidateParent();
    // Presses the control until the button is released; runs it when the
    // release falls inside the rectangle (the control's own when empty).
    void ClickToolBarButton(CRect rcActiveRect = CRect(0, 0, 0, 0));

    // The collection keeps these.
    void SetIndex(int nIndex) { m_nIndex = nIndex; }
    void SetControls(CXTPControls* pControls) { m_pControls = pControls; }

public:
    int m_nJoinedColumn = 0;
    DWORD_PTR m_nTag = 0;
    int m_nIndex = 0;
    int m_nId = 0;
    int m_nIconId = 0;
    int m_nCustomIconId = 0;
    BOOL m_bWrap = FALSE;
    BOOL m_bBeginGroup = FALSE;
    BOOL m_bEnabled = TRUE;
    int m_bChecked = 0;
    int m_bSelected = 0;
    int m_bPressed = 0;
    BOOL m_bTemporary = FALSE;
    CRect m_rcRow;
    CRect m_rcControl;
    DWORD m_dwHideFlags = 0;
    DWORD m_dwFlags = 0;
    CString m_strCaption;
    CString m_strCustomCaption;
    CString m_strShortcutText;
    CString m_strShortcutTextAuto;
    CString m_strTooltipText;
    CString m_strDescriptionText;
    CString m_strParameter;
    CXTPControls* m_pControls = nullptr;
    int m_controlType = 0;
    CXTPCommandBar* m_pParent = nullptr;
    BOOL m_bRarelyUsed = FALSE;
    CString m_strCategory;
    BOOL m_bDefaultItem = FALSE;
    CXTPControlTemplateMap m_mapDocTemplatesAssigned;
    CXTPControlTemplateMap m_mapDocTemplatesExcluded;
    int m_buttonStyle = 0;
    int m_buttonCustomStyle = 0;
    BOOL m_bCloseSubMenuOnClick = TRUE;
};

// The update object of a bar acting on one of its controls.
class CXTPControlCmdUI : public CCmdUI {
public:
    CXTPCommandBar* m_pBar = nullptr;
    void Enable(BOOL bOn = TRUE) override;
    void SetCheck(int nCheck = 1) override;
    void SetRadio(BOOL bOn = TRUE) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCTSTR lpszText) override;

private:
    CXTPControl* Control() const;
};
