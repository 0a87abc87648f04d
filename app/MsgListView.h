// The item lists (upper right pane): a tab control with four report lists,
// the current class's messages, photos, contacts and notes. The lists are
// owner-data lists: they keep a row count, and each cell is read from the
// store when it is drawn. Selecting a row writes the item's page into the
// class folder and shows it in the display pane; a one-shot timer per list
// then marks the shown item read.
#pragma once

#include "app/ItemListRules.h"
#include "platform/mfc/GdiObject.h"
#include "platform/mfc/ImageList.h"
#include "toolkit/controls/XTHeaderCtrl.h"
#include "toolkit/controls/XTListCtrl.h"
#include "toolkit/controls/XTResizeFormView.h"
#include "toolkit/controls/XTTabCtrl.h"

class CMsgDispView;
class CSchoolClass;

// The lists' tab control. The lists become its pages, so their
// notifications reach it; it hands them on to the view as they stand.
class CListTabCtrl : public CXTTabCtrl {
public:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CMsgListView : public CXTResizeFormView {
    DECLARE_DYNCREATE(CMsgListView)
public:
    CMsgListView();
    ~CMsgListView() override;

    // Row counts and captions of all pages from the current class's stores;
    // a set flag empties that page instead (a store is storing a page).
    // Re-selects the current page's current item, or shows the empty page.
    void UpdateTabTitles(BOOL bMessages, BOOL bPictures, BOOL bContacts, BOOL bNotes);
    // The four captions from the class's stores.
    void SetCaptions(CSchoolClass* pClass);
    // Selects a row of the photo list for the photo viewer and restarts its
    // read timer.
    void SelectItem(int nRow);

    // The display pane's list links: the first contact of that real name,
    // the photo of that id or small id, the previous or next page of the
    // current page.
    void ShowContact(const CString& realName);
    void ShowPicture(const CString& id);
    void ShowPreviousPage();
    void ShowNextPage();

    // The page the tab control shows.
    int GetCurrentPage() const;
    CXTListCtrl& GetList(int page);
    CXTFlatHeaderCtrl& GetHeader(int page);

    // The read timers by page; the contact page has none.
    enum { kNoteTimer = 0, kMessageTimer = 1, kPictureTimer = 2 };

    CListTabCtrl m_wndTab;
    CXTListCtrl m_wndNoteList;
    CXTListCtrl m_wndPictureList;
    CXTListCtrl m_wndMessageList;
    CXTListCtrl m_wndContactList;
    CImageList m_imageList;
    // Message, contact, photo and note headers, in that order.
    CXTFlatHeaderCtrl m_wndHeaders[4];
    int m_nThumbnailPageSize = 0;
    BOOL m_bThumbnailPageCurrent = FALSE;

    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnInitialUpdate() override;

    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    void OnTimer(UINT_PTR nIDEvent);
    void OnContextMenu(CWnd* pWnd, CPoint point);
    void OnDblClkMessageList(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDblClkList(NMHDR* pNMHDR, LRESULT* pResult);
    void OnSelectAll();

protected:
    // The page whose list (or its header) sent the notification; -1 for none.
    int PageOfSender(HWND hwnd);
    void OnGetDispInfo(int page, NMLVDISPINFOA* pInfo);
    LRESULT OnCustomDraw(int page, NMLVCUSTOMDRAW* pDraw);
    void OnItemChanged(int page, const NMLISTVIEW* pItem);
    void OnHeaderItemClick(int page, const NMHEADERA* pHeader);
    void OnTabChanged();
    // Renders the row's item, writes and shows its page, makes it the
    // store's current item and starts the page's read timer.
    void ShowItemPage(int page, int row);
    // Writes the page text into the page's file of the class folder and
    // shows it; a page that cannot be written shows the empty page.
    void WriteAndShowPage(CSchoolClass* pClass, int page, const CString& text);
    void ShowEmptyPage();
    void MarkRead(int page);
    void ClearSelection(CXTListCtrl& list);
    void SelectRow(CXTListCtrl& list, int row);
    void LayoutColumns(int page);
    // Moves the given page's list to a row found by the match.
    void ShowFoundRow(int page, const CString& text);
    void ShowPagedRow(bool bNext);
    CMsgDispView* GetDispView() const;
    int GetDispWidth() const;
    void MakeRowFonts(CXTListCtrl& list);

    CFont m_fontNormal;
    CFont m_fontBold;

    DECLARE_MESSAGE_MAP()
};
