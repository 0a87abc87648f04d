#include "tests/toolkit/TreeHost.h"

#include "platform/controls/CommCtrl.h"

namespace tavrin::test {

BOOL TreeHost::Make(CWnd* pParent, DWORD dwStyle, const RECT& rect)
{
    InitCommonControls();
    return CreateEx(0, WC_TREEVIEW, "", dwStyle | WS_CHILD | WS_VISIBLE, rect, pParent, 100);
}

HTREEITEM TreeHost::Insert(const char* text, HTREEITEM hParent)
{
    TVINSERTSTRUCT insert{};
    insert.hParent = hParent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text);
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TreeHost::SetItemText(HTREEITEM hItem, const char* text)
{
    TVITEM item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = hItem;
    item.pszText = const_cast<char*>(text);
    SendMessage(TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item));
}

TreeHost::Sample TreeHost::FillSample()
{
    Sample s{};
    s.school = Insert("班级");
    s.alpha = Insert("Alpha", s.school);
    s.alphaOne = Insert("alpha_one", s.alpha);
    s.abcd = Insert("ab cd", s.alpha);
    s.beta = Insert("Beta ab", s.school);
    s.xab = Insert("xab_", s.school);
    SendMessage(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(s.school));
    SendMessage(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(s.alpha));
    return s;
}

std::string TreeHost::Selection() const
{
    std::string out;
    for (HTREEITEM h = GetFirstSelectedItem(); h; h = GetNextSelectedItem(h))
        out += (out.empty() ? "" : "|") + std::string(GetItemText(h).GetString());
    return out;
}

BEGIN_MESSAGE_MAP(TreeHost, CWnd)
    ON_XT_TREE_MESSAGES()
END_MESSAGE_MAP()

BOOL TreeHost::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    OnTreeChildNotify(message, wParam, lParam, pResult);
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL TreeParent::Make(int x, int y, int cx, int cy, DWORD dwStyle)
{
    return CreateEx(0, AfxRegisterWndClass(0, nullptr, GetSysColorBrush(COLOR_BTNFACE)), "tree", dwStyle, x, y, cx, cy,
                    nullptr, nullptr);
}

BOOL TreeParent::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    codes.push_back(hdr->code);
    if (hdr->code == TVN_SELCHANGED && quitOnChange >= 0) {
        PostQuitMessage(quitOnChange);
        quitOnChange = -1;
    }
    if (hdr->code == TVN_SELCHANGING && vetoSelection) {
        *pResult = TRUE;
        return TRUE;
    }
    return CWnd::OnNotify(wParam, lParam, pResult);
}

LRESULT TreeParent::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CONTEXTMENU)
        ++contextMenus;
    return CWnd::WindowProc(message, wParam, lParam);
}

} // namespace tavrin::test
