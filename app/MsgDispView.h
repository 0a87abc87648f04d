// The display pane: shows the local pages the rest of the window writes and
// turns the "tavrin:" links and forms of those pages into the program's
// operations instead of navigations.
#pragma once

#include "app/DocHostHtmlView.h"

class CMsgListView;

class CMsgDispView : public CDocHostHtmlView {
    DECLARE_DYNCREATE(CMsgDispView)
public:
    // The in-page links, in the order they are tried.
    enum Link {
        LinkNone = 0,
        LinkUpdateProfile,
        LinkShowContact,
        LinkShowPhoto,
        LinkUploadPhotos,
        LinkVote,
        LinkPreviousPage,
        LinkNextPage,
        LinkThumbnails
    };
    // Which link the URL (GBK) is: only a URL that begins with the link's
    // text counts, so one URL is at most one link. subMatch receives the
    // bracketed name of a contact or photo link.
    static Link MatchLink(const CString& url, CString* subMatch);

    CMsgDispView() = default;
    ~CMsgDispView() override = default;

    // Shows the file, or the program's empty page when it does not exist;
    // keeps the current page when that is missing too.
    void ShowPage(CString path);
    BOOL IsShowingThumbnails() const;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName, CByteArray& baPostedData,
                           LPCTSTR lpszHeaders, BOOL* pbCancel) override;

    void OnCopy();
    void OnSelectAll();

protected:
    // The item lists the list links act on; null outside the main frame.
    CMsgListView* GetListView() const;
    DECLARE_MESSAGE_MAP()
};
