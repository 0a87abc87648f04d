// The photo index update: the album index page, its photo data and comments
// scripts, the merge into "picture.xml", and in the details mode the images
// and comments of stored photos.
#include "providers/chinaren/PictureStoreChinaRen.h"

#include "core/model/Account.h"
#include "core/model/SchoolClass.h"
#include "core/services/XmlFile.h"
#include "platform/base/Time.h"
#include "providers/chinaren/AlbumRecords.h"
#include "providers/chinaren/site.h"
#include "providers/common/Escape.h"
#include "providers/common/NumericId.h"
#include "providers/common/PageScrape.h"
#include "providers/common/PhotoMerge.h"
#include "providers/common/PictureFetch.h"
#include "providers/common/PictureSteps.h"
#include "providers/common/StoreEvents.h"

#include <cstdlib>
#include <deque>
#include <memory>

namespace tavrin::chinaren {

CString AlbumUrl(const CString& pathAndQuery)
{
    return CString("http://") + kAlbumHost + pathAndQuery;
}

CString AlbumIndexUrl(const CString& classId)
{
    return AlbumUrl("/album/classpic_index.jsp?classuuid=" + EscapeUrl(classId));
}

bool Answered(CHttpClient& client, BOOL ok)
{
    return ok && !client.IsStopped() && client.GetStatusCode() < 400;
}

} // namespace tavrin::chinaren

namespace {

int Number(const CString& text)
{
    return atoi(text);
}

} // namespace

struct CPictureStoreChinaRen::IndexRun {
    int counter = 0;
    CString stopId;
    // The comments script's text once read, and its index.
    CString commentsText;
    std::unique_ptr<tavrin::chinaren::AlbumComments> comments;
    // The photos to store, each put at the front: oldest first.
    std::deque<CPictureItemChinaRen> picked;
};

CString CPictureStoreChinaRen::ClassId()
{
    CSchoolClass* schoolClass = GetSchoolClass();
    return schoolClass ? schoolClass->GetId() : CString();
}

void CPictureStoreChinaRen::Log(const CString& text)
{
    tavrin::LogToClass(*this, text);
}

CString CPictureStoreChinaRen::PhotoPath(const CString& fileName)
{
    // A stored name is checked again: the file may have been edited.
    if (!tavrin::chinaren::IsPhotoFileName(fileName))
        return CString();
    return GetClassFolder() + "\\pictures\\" + fileName;
}

bool CPictureStoreChinaRen::ReadElement(const char* attribute, const CString& value, CPictureItemChinaRen& item)
{
    return tavrin::ReadStoredPhoto(m_xml, attribute, value, item);
}

void CPictureStoreChinaRen::UpdateIndex(CStringArray& ids, int mode)
{
    // The update task holds the busy flag for the whole run.
    tavrin::PostClassEvent(*this, 28);
    m_newPictureCount = 0;
    m_newCommentCount = 0;
    PrepareHttpClient(&m_updateClient);
    m_updateClient.SetReferer(tavrin::chinaren::AlbumIndexUrl(ClassId()));

    if (mode == 0 || mode == 1 || mode == 2) {
        Log("[照片]开始更新索引...");
        IndexRun run;
        run.counter = tavrin::HighestPhotoNumber(m_xml);
        if (mode == 0) {
            CXmlCursor cursor(m_xml);
            m_xml.ResetPos(cursor.GetId());
            if (cursor.FindChildElem("picture") && cursor.FindChildElem("last"))
                run.stopId = cursor.GetAttrib("id");
        }
        if (ReadIndex(run))
            MergeIndex(run, ids);
        m_updateClient.SetAcceptCookies(FALSE);
        if (mode == 2)
            ReadDetails(ids, run.comments.get());
    }
    Log("[照片]更新完成.");
    tavrin::PostClassEvent(*this, 7);
}

// The index page, its scripts and the record loop; false when the run
// cannot merge anything.
bool CPictureStoreChinaRen::ReadIndex(IndexRun& run)
{
    using namespace tavrin::chinaren;
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    if (!account || !tavrin::SignInFor(*this, &m_updateClient)) {
        Log("[照片]登录失败,无法更新索引.");
        return false;
    }
    m_updateClient.SetAcceptCookies(TRUE);
    CByteArray reply;
    if (!Answered(m_updateClient, m_updateClient.Request(AlbumIndexUrl(ClassId()), "", reply, ""))) {
        m_updateClient.SetAcceptCookies(FALSE);
        Log("[照片]网络错误,更新索引失败.");
        return false;
    }
    m_updateClient.SetAcceptCookies(FALSE);
    account->SetCookie(m_updateClient.GetCookies());
    account->SetCookieTime(CTime::GetCurrentTime());

    CString dataUrl, commentsUrl;
    FindAlbumScripts(tavrin::PageText(reply), dataUrl, commentsUrl);
    if (dataUrl.IsEmpty() || !Answered(m_updateClient, m_updateClient.Request(dataUrl, "", reply, ""))) {
        Log("[照片]网络错误,更新索引失败.");
        return false;
    }
    const CString classId = ClassId();
    for (const CString& record : PhotoRecords(tavrin::PageText(reply))) {
        CPictureItemChinaRen photo;
        if (!ReadPhotoRecord(record, classId, photo))
            continue;
        if (run.commentsText.IsEmpty() && !commentsUrl.IsEmpty()) {
            CByteArray comments;
            if (tavrin::SignInFor(*this, &m_updateClient) &&
                Answered(m_updateClient, m_updateClient.Request(commentsUrl, "", comments, "")))
                run.commentsText = tavrin::PageText(comments);
            // Indexed once, in one pass, however many photos follow.
            if (!run.commentsText.IsEmpty())
                run.comments = std::make_unique<AlbumComments>(run.commentsText);
        }
        if (run.comments) {
            run.comments->Find(photo.m_id, photo.m_commentNum, photo.m_comment);
        } else if (!commentsUrl.IsEmpty()) {
            CString line;
            line.Format("[照片]读取评论失败, 编号%s.", photo.m_id);
            Log(line);
        }
        if (!run.stopId.IsEmpty() && tavrin::IdsEqual(photo.m_id, run.stopId))
            break;
        bool pick = false;
        {
            ItemsLock lock = LockItems();
            CPictureItem* stored = FindItem(photo.m_id, CString());
            pick = !stored || Number(stored->m_commentNum) < Number(photo.m_commentNum);
        }
        if (pick)
            run.picked.push_front(photo);
    }
    tavrin::SendClassEvent(*this, 18);
    return true;
}

void CPictureStoreChinaRen::MergeIndex(IndexRun& run, CStringArray& ids)
{
    tavrin::PhotoCounts counts;
    tavrin::MergePickedPhotos<CPictureItemChinaRen>(*this, m_xml, run.picked, run.counter, ids, counts,
                                                    [this](CPictureItemChinaRen& photo) {
                                                        // A photo whose file is on disk needs no download.
                                                        const CString path = PhotoPath(photo.m_fileName);
                                                        if (!path.IsEmpty() && tavrin::IsPlainFile(path))
                                                            photo.m_status = "download";
                                                    });
    m_newPictureCount = counts.newPictures;
    m_newCommentCount = counts.newComments;
    tavrin::SavePicturesIfModified(m_xml);
    LoadItems(TRUE);
    tavrin::PostClassEvent(*this, 22);
    CString line;
    line.Format("[照片]共有%d张新照片.", counts.newPictures);
    Log(line);
    Log("[照片]更新索引完成.");
}

void CPictureStoreChinaRen::ReadDetails(const CStringArray& ids, const tavrin::chinaren::AlbumComments* comments)
{
    tavrin::WalkChosenPhotos<CPictureItemChinaRen>(*this, m_xml, m_updateClient, ids, [&](CPictureItemChinaRen& photo) {
        DownloadImage(photo);
        CString count, html;
        if (comments && comments->Find(photo.m_id, count, html)) {
            const int grown = Number(count) - Number(photo.m_commentNum);
            if (grown > 0)
                m_newCommentCount += grown;
            photo.m_commentNum = count;
            photo.m_comment = html;
        }
        return true;
    });
    tavrin::SavePicturesIfModified(m_xml);
    tavrin::SendClassEvent(*this, 18);
    LoadItems(FALSE);
    tavrin::PostClassEvent(*this, 22);
}

void CPictureStoreChinaRen::DownloadImage(CPictureItemChinaRen& photo)
{
    CString line;
    const CString path = PhotoPath(photo.m_fileName);
    if (!path.IsEmpty() && tavrin::IsPlainFile(path)) {
        photo.m_status = "download";
        return;
    }
    tavrin::PictureFetchDetail seen;
    tavrin::PictureFetch fetched = tavrin::PictureFetch::Failed;
    // A name the update never makes names no file.
    if (!path.IsEmpty() && tavrin::SignInFor(*this, &m_updateClient))
        fetched = tavrin::FetchPicture(m_updateClient, photo.m_url, &tavrin::chinaren::IsAlbumPhotoUrl,
                                       GetClassFolder() + "\\pictures", photo.m_fileName, &seen);
    if (fetched == tavrin::PictureFetch::Stored) {
        photo.m_status = "download";
        return;
    }
    if (seen.writeFailed)
        return;
    photo.m_status = "missing";
    // Only a 404 with a page says the photo is lost; anything else is a
    // failed read.
    const bool lost = seen.answered && seen.status == 404 && !seen.emptyBody;
    line.Format(lost ? "[照片]数据已丢失, 编号%s." : "[照片]读取数据失败, 编号%s.", photo.m_id);
    Log(line);
}
