#include "app/MsgDispView.h"

#include "app/CurrentSelection.h"
#include "app/MainFrm.h"
#include "app/MsgListView.h"
#include "app/PageFiles.h"
#include "core/model/Account.h"
#include "core/model/MessageStore.h"
#include "core/model/PictureStore.h"
#include "core/model/SchoolClass.h"
#include "platform/base/FileApi.h"
#include "res/resource.h"

#include <cstring>
#include <string_view>

IMPLEMENT_DYNCREATE(CMsgDispView, CDocHostHtmlView)

BEGIN_MESSAGE_MAP(CMsgDispView, CDocHostHtmlView)
    ON_COMMAND(ID_COPY, OnCopy)
    ON_COMMAND(ID_SELECT_ALL, OnSelectAll)
END_MESSAGE_MAP()

namespace {

struct LinkText {
    CMsgDispView::Link link;
    const char* prefix;
    const char* close; // ends the bracketed name; null when the link has none
};

const LinkText kLinks[] = {
    {CMsgDispView::LinkUpdateProfile, "tavrin:修改个人档案", nullptr},
    {CMsgDispView::LinkShowContact, "tavrin:点击查看[", "]的通讯录"},
    {CMsgDispView::LinkShowPhoto, "tavrin:点击查看编号[", "]的照片"},
    {CMsgDispView::LinkUploadPhotos, "tavrin:上传照片", nullptr},
    {CMsgDispView::LinkVote, "tavrin:投票", nullptr},
    {CMsgDispView::LinkPreviousPage, "tavrin:上一页", nullptr},
    {CMsgDispView::LinkNextPage, "tavrin:下一页", nullptr},
    {CMsgDispView::LinkThumbnails, "tavrin:缩略图", nullptr},
};

} // namespace

CMsgDispView::Link CMsgDispView::MatchLink(const CString& url, CString* subMatch)
{
    const std::string_view text(static_cast<LPCTSTR>(url), static_cast<size_t>(url.GetLength()));
    for (const LinkText& candidate : kLinks) {
        const std::string_view prefix(candidate.prefix);
        if (text.substr(0, prefix.size()) != prefix)
            continue;
        if (!candidate.close)
            return candidate.link;
        // The shortest name followed by the closing text.
        const size_t end = text.find(candidate.close, prefix.size());
        if (end == std::string_view::npos)
            continue;
        if (subMatch) {
            const std::string_view name = text.substr(prefix.size(), end - prefix.size());
            *subMatch = CString(name.data(), static_cast<int>(name.size()));
        }
        return candidate.link;
    }
    return LinkNone;
}

void CMsgDispView::ShowPage(CString path)
{
    if (!tavrin::app::PageFileExists(path))
        path = tavrin::app::EmptyPagePath();
    if (tavrin::app::PageFileExists(path))
        Navigate2(path, 0, nullptr, nullptr, nullptr, 0);
}

BOOL CMsgDispView::IsShowingThumbnails() const
{
    const CString url = GetLocationURL();
    static const char kTail[] = "/thumbnail.html";
    const int n = static_cast<int>(sizeof kTail - 1);
    return url.GetLength() >= n && url.Right(n) == kTail;
}

CMsgListView* CMsgDispView::GetListView() const
{
    auto* frame = dynamic_cast<CMainFrame*>(GetParentFrame());
    return frame ? frame->m_pListView : nullptr;
}

BOOL CMsgDispView::PreTranslateMessage(MSG* pMsg) { return CDocHostHtmlView::PreTranslateMessage(pMsg); }

void CMsgDispView::OnBeforeNavigate2(LPCTSTR lpszURL, DWORD, LPCTSTR, CByteArray& baPostedData, LPCTSTR,
                                     BOOL* pbCancel)
{
    CString name;
    const Link link = MatchLink(lpszURL ? CString(lpszURL) : CString(), &name);
    if (link == LinkNone)
        return;
    *pbCancel = TRUE;
    CSchoolClass* schoolClass = tavrin::app::GetCurrentClass();
    switch (link) {
    case LinkUpdateProfile:
        if (CAccount* account = tavrin::app::GetCurrentAccount())
            account->StartUpdateProfile(baPostedData, 0);
        break;
    case LinkUploadPhotos:
        if (CPictureStore* store = schoolClass ? schoolClass->GetPictureStore() : nullptr) {
            store->StartUpload(baPostedData, 0);
            ::MessageBox(m_hWnd, "上传任务已添加，你可以继续添加任务。", "上传照片", MB_OK | MB_ICONINFORMATION);
        }
        break;
    case LinkVote:
        if (CMessageStore* store = schoolClass ? schoolClass->GetMessageStore() : nullptr) {
            store->StartVote(baPostedData, 0);
            if (CMsgListView* lists = GetListView())
                lists->UpdateTabTitles(FALSE, FALSE, FALSE, FALSE);
        }
        break;
    case LinkShowContact:
        if (CMsgListView* lists = GetListView())
            lists->ShowContact(name);
        break;
    case LinkShowPhoto:
        if (CMsgListView* lists = GetListView())
            lists->ShowPicture(name);
        break;
    case LinkPreviousPage:
        if (CMsgListView* lists = GetListView())
            lists->ShowPreviousPage();
        break;
    case LinkNextPage:
        if (CMsgListView* lists = GetListView())
            lists->ShowNextPage();
        break;
    default:
        // Thumbnails come with the thumbnail pages: the page stays.
        break;
    }
}

void CMsgDispView::OnCopy() { ExecWB(OLECMDID_COPY, OLECMDEXECOPT_DONTPROMPTUSER, nullptr, nullptr); }

void CMsgDispView::OnSelectAll() { ExecWB(OLECMDID_SELECTALL, OLECMDEXECOPT_DONTPROMPTUSER, nullptr, nullptr); }
