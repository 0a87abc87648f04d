// The toolkit's extension of a tree control window: per-item colours, fonts
// and bold labels, pre-order walks, text search, multi-selection with Shift,
// Ctrl and a rubber band, hot tracking and flicker-free painting. It holds a
// pointer to its tree window, so any tree window can carry it: the window's
// message map passes the tree messages here (ON_XT_TREE_MESSAGES) and its
// OnChildNotify the reflected notifications (OnTreeChildNotify).
#pragma once

#include "platform/base/List.h"
#include "platform/controls/TreeView.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/Wnd.h"

#include <unordered_map>

// The caret item; never stored in the control.
#define TVIS_FOCUSED 0x0001
// The item under the pointer while hot tracking; kept in the control's state.
#define XT_TVIS_HOT 0x00010000

// The window messages the extension handles, for the tree window's map.
#define ON_XT_TREE_MESSAGE(msg)                                                                                   \
    AFX_MSG_ENTRY(msg, 0, 0, 0, 0, return p_->OnTreeWndMsg(msg, a_.wParam, a_.lParam, &a_.result);)
#define ON_XT_TREE_MESSAGES()                                                                                     \
    ON_XT_TREE_MESSAGE(WM_LBUTTONDOWN)                                                                            \
    ON_XT_TREE_MESSAGE(WM_RBUTTONDOWN)                                                                            \
    ON_XT_TREE_MESSAGE(WM_SETFOCUS)                                                                               \
    ON_XT_TREE_MESSAGE(WM_KILLFOCUS)                                                                              \
    ON_XT_TREE_MESSAGE(WM_KEYDOWN)                                                                                \
    ON_XT_TREE_MESSAGE(WM_SIZE)                                                                                   \
    ON_XT_TREE_MESSAGE(WM_MOUSEMOVE)                                                                              \
    ON_XT_TREE_MESSAGE(WM_TIMER)                                                                                  \
    ON_XT_TREE_MESSAGE(WM_NCMOUSEMOVE)                                                                            \
    ON_XT_TREE_MESSAGE(WM_PAINT)

// How one item's label is drawn.
struct CXTTreeItemStyle {
    LOGFONT logfont{};             // an empty face name: no font of its own
    COLORREF clrText = 0xFFFFFFFF; // 0xFFFFFFFF: no colour of its own
};

class CXTTreeBase {
public:
    CXTTreeBase() = default;
    virtual ~CXTTreeBase() = default;
    CXTTreeBase(const CXTTreeBase&) = delete;
    CXTTreeBase& operator=(const CXTTreeBase&) = delete;

    // Pre-order: the first child, else the next sibling, else the next
    // sibling of the nearest ancestor that has one; NULL at the end.
    virtual HTREEITEM GetNextItem(HTREEITEM hItem) const;
    virtual HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const;
    // The previous sibling's last descendant, else the parent.
    virtual HTREEITEM GetPrevItem(HTREEITEM hItem) const;
    // The last item in pre-order below the item (NULL: the whole tree).
    virtual HTREEITEM GetLastItem(HTREEITEM hItem) const;
    // From hStart (else the caret, else the root) down or up, wrapping
    // round; NULL when the search comes back to where it started.
    virtual HTREEITEM FindItem(const CString& str, BOOL bMatchCase = FALSE, BOOL bDown = TRUE, BOOL bWholeWord = FALSE,
                               HTREEITEM hItem = nullptr);
    // Depth first below hParent: each child's descendants before the child.
    virtual HTREEITEM FindItemInBranch(const CString& str, BOOL bMatchCase, BOOL bWholeWord, HTREEITEM hParent);
    virtual void SetItemFont(HTREEITEM hItem, LOGFONT* pLogFont);
    virtual BOOL GetItemFont(HTREEITEM hItem, LOGFONT* pLogFont);
    virtual void SetItemBold(HTREEITEM hItem, BOOL bBold = TRUE);
    virtual BOOL GetItemBold(HTREEITEM hItem);
    virtual void SetItemColor(HTREEITEM hItem, COLORREF color);
    virtual COLORREF GetItemColor(HTREEITEM hItem);
    virtual BOOL EnableMultiSelect(BOOL bMultiSelect = TRUE);
    virtual HTREEITEM GetPrevSelectedItem(HTREEITEM hItem);
    virtual LRESULT SendNotify(LPNMHDR pNMHDR);
    virtual void SelectAllIgnore(BOOL bSelect, HTREEITEM hIgnore);
    // TRUE lets the control do its default handling.
    virtual BOOL OnButtonDown(BOOL bLeft, UINT nFlags, int x, int y);
    virtual void SelectOnButtonDown(HTREEITEM hItem, BOOL bLeft, UINT nFlags);
    virtual void TrackClick(HTREEITEM hItem, BOOL bLeft, UINT nFlags, int x, int y);
    virtual void TrackRubberBand(UINT nFlags, int x, int y);
    virtual void SelectInRect(LPCRECT lpRect, UINT nFlags, CPtrList* pSelectedList);
    virtual BOOL IsFindValid(HTREEITEM hItem);
    virtual void DoPaint(CDC* pDC, BOOL bDrawItems = TRUE);
    // Keys for the label editor and Enter, then the window's own.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Keeps the tree's tooltip on top, then the window's own.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask);
    UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const;
    BOOL SelectItem(HTREEITEM hItem);
    BOOL FocusItem(HTREEITEM hItem);
    HTREEITEM GetFirstSelectedItem() const;
    HTREEITEM GetNextSelectedItem(HTREEITEM hItem) const;
    void SelectAll(BOOL bSelect = TRUE, HTREEITEM hItem = nullptr);
    void SelectItems(HTREEITEM hFirst, HTREEITEM hLast, BOOL bOnly = TRUE);
    BOOL SelectChildren(HTREEITEM hParent, BOOL bSelect = TRUE, BOOL bRecurse = TRUE);
    void GetSelectedList(CPtrList& list) const;
    BOOL IsMultiSelect() const { return m_bMultiSelect; }
    HTREEITEM GetFocusedItem() const { return Next(nullptr, TVGN_CARET); }

    // The tree window's messages and reflected notifications; FALSE: not ours.
    BOOL OnTreeWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL OnTreeChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // The key handling of PreTranslateMessage; TRUE when the key was used.
    BOOL PreTranslateTreeKey(MSG* pMsg);

protected:
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnFocusChange();
    void OnKeyDown(UINT nChar);
    void OnSize();
    void OnMouseMove(CPoint point);
    void OnTimer(UINT_PTR nIDEvent);
    void OnNcMouseMove(UINT nHitTest);
    void OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDeleteItem(NMHDR* pNMHDR);

    HWND TreeHwnd() const { return m_pTreeCtrl ? m_pTreeCtrl->GetSafeHwnd() : nullptr; }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    HTREEITEM Next(HTREEITEM hItem, UINT nCode) const;
    HTREEITEM HitTest(CPoint point, UINT* pFlags) const;
    BOOL GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const;
    CString GetItemText(HTREEITEM hItem) const;
    DWORD TreeStyle() const;
    BOOL IsSelected(HTREEITEM hItem) const { return (GetItemState(hItem, TVIS_SELECTED) & TVIS_SELECTED) != 0; }
    // Whether the label holds the (prepared) pattern.
    BOOL Matches(HTREEITEM hItem, const CString& strFind, BOOL bMatchCase, BOOL bWholeWord);
    void SetHot(HTREEITEM hItem, BOOL bHot);
    // Runs the message loop of a mouse tracking; FALSE once WM_QUIT came.
    static BOOL NextMessage(MSG& msg);

    BOOL m_bMultiSelect = FALSE;
    BOOL m_bBandLabel = TRUE;
    HTREEITEM m_hSelectAnchor = nullptr;
    HTREEITEM m_htiEdit = nullptr;
    HTREEITEM m_htiLast = nullptr;
    std::unordered_map<HTREEITEM, CXTTreeItemStyle> m_mapStyles;
    CWnd* m_pTreeCtrl = nullptr;
    BYTE m_bActionDone = 0;
    BYTE m_bOkToEdit = 1;
};
