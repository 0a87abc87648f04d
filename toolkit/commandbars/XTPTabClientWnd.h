// Tabbed workspaces over a client area whose child windows are documents:
// every visible document gets a tab, tabs are grouped into workspaces laid
// out side by side or one above the other, and the group commands move a
// document between them.
#pragma once

#include "platform/base/String.h"
#include "platform/mfc/Wnd.h"

#include <memory>
#include <vector>

class CFrameWnd;

// Sent to the frame with the new tab item as wParam.
#define WM_XTP_NEWTABITEM 0x488

#define XTP_ID_WORKSPACE_MOVEPREVIOUS 9420
#define XTP_ID_WORKSPACE_MOVENEXT 9421
#define XTP_ID_WORKSPACE_NEWHORIZONTAL 9422
#define XTP_ID_WORKSPACE_NEWVERTICAL 9423

class CXTPTabClientWnd : public CWnd {
    DECLARE_DYNAMIC(CXTPTabClientWnd)
public:
    struct CTabItem {
        HWND hWnd = nullptr;
        CString strCaption;
        CRect rcItem{0, 0, 0, 0};
        CRect rcClose{0, 0, 0, 0};
        BOOL bHot = FALSE;
        BOOL bFound = FALSE;
    };
    class CWorkspace {
    public:
        std::vector<std::unique_ptr<CTabItem>> m_arrItems;
        // Its part of the client area; the shares add up to 1.
        double m_dShare = 1.0;
        BOOL m_bActive = FALSE;
        int m_nSelected = -1;
        // Never above 0: how far the tabs are scrolled to the left.
        int m_nScrollOffset = 0;
        CRect m_rcWorkspace{0, 0, 0, 0};
        CRect m_rcStrip{0, 0, 0, 0};

        int FindItem(HWND hWnd) const;
        CTabItem* GetSelected() const;
        // Selects the tab that takes its index, else the last one.
        void RemoveItem(int nIndex);
        // Tabs side by side from the strip's left edge, by caption width.
        void RepositionTabs(CDC* pDC);
        // Scrolls so the tab lies within the strip.
        void EnsureVisible(int nIndex);
    };

    CXTPTabClientWnd();
    ~CXTPTabClientWnd() override;

    // Covers the client window (a plain window whose children are the
    // documents) and serves the frame; FALSE when the window cannot be made.
    BOOL Attach(CFrameWnd* pFrame, CWnd* pClient, BOOL bEnableGroups = TRUE);
    void Detach();

    void Refresh(BOOL bRecalcLayout = FALSE);
    void UpdateContents();

    CTabItem* FindItem(HWND hWnd, CWorkspace** ppWorkspace = nullptr) const;
    int FindWorkspace(const CWorkspace* pWorkspace) const;
    int GetWorkspaceCount() const { return static_cast<int>(m_arrWorkspaces.size()); }
    CWorkspace* GetWorkspace(int nIndex) const { return m_arrWorkspaces[static_cast<size_t>(nIndex)].get(); }
    CWorkspace* GetActiveWorkspace() const { return m_pActiveWorkspace; }

    BOOL IsCommandEnabled(UINT nID, CTabItem** ppItem = nullptr) const;
    // The group commands 9420 to 9423 on the active document.
    BOOL OnWorkspaceCommand(UINT nID);

    void SetHorizontalGroups(BOOL bHorizontal) { m_bHorizontalGroups = bHorizontal; }
    BOOL IsHorizontalGroups() const { return m_bHorizontalGroups; }
    // The document the frame has active: the client's topmost visible child.
    virtual HWND GetActiveDocument() const;

    // Lays out the workspaces over the client rectangle.
    void RecalcLayout();

    void OnPaint();
    void OnMouseMove(UINT nFlags, CPoint point);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    void OnSize(UINT nType, int cx, int cy);

    static const int s_nStripHeight = 22;

protected:
    void RemoveWorkspace(size_t nIndex);
    void UpdateHot(CPoint pt);
    void MoveItem(CWorkspace* pFrom, int nIndex, CWorkspace* pTo);

    std::vector<std::unique_ptr<CWorkspace>> m_arrWorkspaces;
    CFrameWnd* m_pFrame = nullptr;
    CWnd* m_pClient = nullptr;
    BOOL m_bAttached = FALSE;
    CWorkspace* m_pActiveWorkspace = nullptr;
    BOOL m_bEnableGroups = TRUE;
    BOOL m_bHorizontalGroups = FALSE;
    BOOL m_bUpdating = FALSE;
    BOOL m_bRefreshing = FALSE;
    BOOL m_bLayoutPending = FALSE;
    CTabItem* m_pHot = nullptr;

    DECLARE_MESSAGE_MAP()
};
