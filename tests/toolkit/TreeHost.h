// A tree window carrying the toolkit's tree extension, as a view does, in a
// parent that records the notifications it hears.
#pragma once

#include "platform/mfc/Wnd.h"
#include "toolkit/controls/XTTreeBase.h"

#include <string>
#include <vector>

namespace tavrin::test {

class TreeHost : public CWnd, public CXTTreeBase {
public:
    TreeHost() { m_pTreeCtrl = this; }
    BOOL Make(CWnd* pParent, DWORD dwStyle, const RECT& rect);
    BOOL PreTranslateMessage(MSG* pMsg) override { return CXTTreeBase::PreTranslateMessage(pMsg); }
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        return CXTTreeBase::OnNotify(wParam, lParam, pResult);
    }
    HTREEITEM Insert(const char* text, HTREEITEM hParent = TVI_ROOT);
    CString Text(HTREEITEM hItem) const { return GetItemText(hItem); }
    void SetItemText(HTREEITEM hItem, const char* text);
    // The labels of the selected items, in order, "|" between them.
    std::string Selection() const;
    HTREEITEM Anchor() const { return m_hSelectAnchor; }

    // 班级 > Alpha > (alpha_one, "ab cd"), "Beta ab", xab_; all expanded.
    struct Sample {
        HTREEITEM school{}, alpha{}, alphaOne{}, abcd{}, beta{}, xab{};
    };
    Sample FillSample();

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    DECLARE_MESSAGE_MAP()
};

class TreeParent : public CWnd {
public:
    BOOL Make(int x, int y, int cx, int cy, DWORD dwStyle = WS_POPUP | WS_VISIBLE);
    std::vector<UINT> codes;  // every WM_NOTIFY code from the tree
    int contextMenus = 0;
    BOOL vetoSelection = FALSE;
    int quitOnChange = -1; // posts WM_QUIT with this code at the next TVN_SELCHANGED

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

} // namespace tavrin::test
