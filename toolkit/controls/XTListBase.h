// The toolkit's extension of a report list: a flat sortable header, list,
// sorted-column and per-row colours, column helpers (build, add, auto-size,
// hit-test by cell, copy and move rows), a minimum and a maximum column
// width, a lockable header and column widths kept in the settings store.
#pragma once

#include "platform/base/List.h"
#include "platform/base/String.h"
#include "platform/mfc/ListCtrl.h"
#include "toolkit/controls/XTHeaderCtrl.h"

struct XT_ROWCOLOR {
    int iItem;
    COLORREF crBack;
    COLORREF crText;
};

class CXTListBase {
public:
    CXTListBase();
    virtual ~CXTListBase();
    CXTListBase(const CXTListBase&) = delete;
    CXTListBase& operator=(const CXTListBase&) = delete;

    void ImplAttach(CListCtrl* pListCtrl) { m_pListCtrl = pListCtrl; }

    virtual int SetSortColumn(int nCol, BOOL bAscending);
    virtual int GetStoredColumnWidth(int nCol);
    virtual void RestoreColumnWidth(int nCol);
    virtual void LoadColumnWidths();
    virtual void SaveColumnWidths();
    virtual void AutoSizeColumn(int nCol = -1);
    virtual void AutoSaveColumns(LPCTSTR lpszSection = nullptr, LPCTSTR lpszEntry = nullptr,
                                 LPCTSTR lpszDefault = nullptr);
    virtual BOOL SubclassHeader(BOOL bBoldFont = FALSE);
    // The base sorts nothing: a derived list supplies the sort.
    virtual BOOL SortList(int nCol, BOOL bAscending);
    virtual void AddExtendedStyle(DWORD dwExStyle);
    virtual DWORD GetExtendedStyle();
    virtual void SetLockHeader(BOOL bLockHeader) { m_bLockHeader = static_cast<BYTE>(bLockHeader != FALSE); }
    virtual int HitTestEx(CPoint& point, int* pCol = nullptr);
    virtual int AddColumn(LPCTSTR lpszColHeading, int nWidth = -1, int nFormat = LVCFMT_LEFT);
    virtual BOOL BuildColumns(int nCols, int* nWidth, LPCTSTR* lpszColHeading);
    virtual BOOL BuildColumns(int nCols, int* nWidth, UINT* nColHeading);
    virtual int GetColumnCount();
    virtual int CopyRow(int nFrom, int nTo);
    virtual BOOL MoveRow(int nFrom, int nTo);
    virtual void SetListColors(COLORREF clrText, COLORREF clrBack);
    virtual void SetRowColor(const XT_ROWCOLOR& record);
    virtual void SetRowColor(int iItem, COLORREF crText, COLORREF crBack);
    virtual void RemoveAllRowColors();
    virtual XT_ROWCOLOR* FindRowColor(int iItem);
    virtual BOOL ModifyExtendedStyle(DWORD dwRemove, DWORD dwAdd);
    virtual void InitializeList();
    // Header notifications: TRUE when refused (the result is set).
    virtual BOOL OnNotify(WPARAM wParam, NMHDR* pNMHDR, LRESULT* pResult);

    // Colours from the system or the custom ones.
    void RefreshColors();
    COLORREF GetListBackColor() const;
    COLORREF GetListTextColor() const;
    COLORREF GetSortBackColor() const;
    COLORREF GetSortTextColor() const;
    // The list's header window (its child 0), wrapped when it is ours.
    CXTHeaderCtrl* GetXTHeader() const;
    CXTFlatHeaderCtrl* GetFlatHeaderCtrl() { return &m_flatHeader; }
    // Colours of one cell of the reflected custom draw.
    void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    // The flicker-free paint with the sorted column shaded.
    void OnPaintList();

    int m_nMinColWidth = 0;
    int m_nMaxColWidth = 0;
    int m_nSortedCol = -1;
    BYTE m_bInitControl = TRUE;
    BYTE m_bAutoSave = FALSE;
    BYTE m_bListColor = FALSE;
    BYTE m_bRowColor = FALSE;
    BYTE m_bSortColor = FALSE;
    BYTE m_bAscending = TRUE;
    BYTE m_bLockHeader = FALSE;
    CString m_strSection;
    CString m_strEntry;
    CString m_strDefault;
    COLORREF m_clrText = XT_LIST_COLOR_UNSET;
    COLORREF m_clrTextBk = XT_LIST_COLOR_UNSET;
    COLORREF m_clrSortText = XT_LIST_COLOR_UNSET;
    COLORREF m_clrSortBk = XT_LIST_COLOR_UNSET;

    static constexpr COLORREF XT_LIST_COLOR_UNSET = 0xFFFFFFFF;

protected:
    BOOL IsReportView() const;
    CList<XT_ROWCOLOR*, XT_ROWCOLOR*> m_arRowColors;
    CXTFlatHeaderCtrl m_flatHeader;
    CListCtrl* m_pListCtrl = nullptr;
};
