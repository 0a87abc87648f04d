// Uploads, comments and deletions at the class's photo album.
#include "providers/5460/PictureStore5460.h"
#include "providers/common/PageScrape.h"
#include "providers/common/PictureSteps.h"
#include "providers/common/Session.h"

#include "core/model/Account.h"
#include "core/model/ModelEvents.h"
#include "core/model/SchoolClass.h"
#include "core/services/TextUtil.h"
#include "core/services/XmlText.h"
#include "platform/base/CodePage.h"
#include "platform/base/FileApi.h"
#include "platform/win/MessageBox.h"
#include "providers/5460/PhotoUpload.h"
#include "providers/5460/site.h"

#include <string>
#include <string_view>
#include <vector>

void CPictureStore5460::Upload(CByteArray& form, int)
{
    // The base queues the body; only the upload that holds the flag sends,
    // this body and every one queued meanwhile, on this thread.
    bool started = false;
    RunUploads(CString(reinterpret_cast<const char*>(form.GetData()), static_cast<int>(form.GetSize())),
               [&](const CString& body) {
                   if (!started) {
                       started = true;
                       Log("[照片]开始上传...");
                       PrepareHttpClient(&m_uploadClient);
                       m_uploadClient.SetRetryCount(1);
                   }
                   // Only a closing store stops the upload client.
                   if (!m_uploadClient.IsStopped())
                       UploadOne(body);
               });
    if (!started)
        return;
    Log("[照片]全部照片上传完毕.");
    StartUpdate(CStringArray(), 0);
}

void CPictureStore5460::UploadOne(const CString& body)
{
    tavrin::p5460::UploadForm upload;
    tavrin::p5460::UploadFormError error = tavrin::p5460::ParseUploadForm(body.View(), upload);
    if (error == tavrin::p5460::UploadFormError::NoTitle) {
        Log("[照片]未知错误, 上传失败.");
        return;
    }
    CString line;
    line.Format("[照片]开始上传 %s ...", CString(upload.title));
    Log(line);
    std::string file;
    if (error != tavrin::p5460::UploadFormError::None || !tavrin::ReadWholeFile(upload.fileName.c_str(), file)) {
        Log("[照片]文件错误, 上传失败.");
        return;
    }
    if (!Login(&m_uploadClient)) {
        Log("[照片]登录失败, 无法上传.");
        return;
    }
    CByteArray request = tavrin::UploadBytes(tavrin::p5460::BuildUploadRequest(upload, file));
    file.clear();
    const CString url = CString("http://") + tavrin::p5460::kUploadHost + tavrin::p5460::kUploadPath;
    CByteArray reply;
    m_uploadClient.SetFollowRedirects(FALSE);
    if (m_uploadClient.RequestWithRetry(url, request, reply, CString(upload.boundary)) && !m_uploadClient.IsStopped() &&
        tavrin::p5460::IsUploadAccepted(m_uploadClient.GetLocation()))
        Log("[照片]上传成功.");
    else
        Log("[照片]网络错误, 上传失败.");
    m_uploadClient.SetFollowRedirects(TRUE);
}

void CPictureStore5460::SendComment(CString, CString text, CString id, int)
{
    Log("[照片]开始发送评论...");
    bool sent = false;
    const int characters = tavrin::CharacterCount(text);
    if (characters == 0 &&
        MessageBox(GetOwnerWnd(), "您的评论为空，就这样发送？", "信息", MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK) {
        Log("[照片]评论内容为空, 放弃发送...");
    } else if (characters > 500) {
        MessageBox(GetOwnerWnd(), "对不起，照片评论不能多于500个字！", "错误", MB_ICONHAND);
    } else {
        // The comment task holds the busy flag for the whole run.
        PrepareHttpClient(&m_commentClient);
        CPictureItem5460 photo;
        if (id.IsEmpty() || !ReadElement("id", id, photo)) {
            Log("[照片]发送评论失败.");
        } else {
            const CString url = PageUrl("/gy5460/jsp/picture/picturePL.jsp?picid=" + UrlEncode(photo.m_commentId));
            CString body;
            body.Format("addCritique=yes&picid=%s&comment=%s", UrlEncode(id), UrlEncode(text));
            m_commentClient.SetRetryCount(1);
            // A fresh sign-in, not a reused cookie.
            if (CAccount* account = GetAccount())
                account->SetCookie(CString());
            m_commentClient.SetAcceptCookies(TRUE);
            if (!Login(&m_commentClient)) {
                Log("[照片]登录失败, 无法发送评论.");
                m_commentClient.SetAcceptCookies(FALSE);
            } else {
                m_commentClient.SetAcceptCookies(FALSE);
                CByteArray reply;
                if (!m_commentClient.Request(url, body, reply, "") || m_commentClient.IsStopped()) {
                    Log("[照片]发送评论失败.");
                    Log("[照片]为避免重复, 请先更新再重试.");
                } else {
                    Log("[照片]发送评论成功.");
                    SetComposeContent(CString());
                    SetComposeSubject(CString());
                    sent = true;
                }
            }
        }
    }
    Log("[照片]发送评论完成.");
    Post(11);
    if (sent)
        tavrin::StartPhotoDetails(*this, id);
}

// Removes a photo from the document and the list. One the album knows is
// found by its comment page number, which an update does not change.
void CPictureStore5460::RemoveStoredPhoto(const CString& custoId, const CString& commentId)
{
    ItemsLock lock = LockItems();
    CXmlCursor cursor(m_xml);
    m_xml.ResetPos(cursor.GetId());
    CString id;
    CString storedCustoId = custoId;
    bool found = commentId.IsEmpty();
    if (cursor.FindChildElem("picture")) {
        if (!found && cursor.FindChildElem("item")) {
            do {
                if (cursor.GetChildData("comment_id") == commentId) {
                    id = cursor.GetAttrib("id");
                    storedCustoId = cursor.GetAttrib("custo_id");
                    found = true;
                    break;
                }
            } while (m_xml.FindNextElem(TRUE, cursor.GetId()));
            m_xml.OutOfElem(cursor.GetId());
        }
        if (found && !id.IsEmpty())
            cursor.RemoveChildElemWithAttrib("item", "id", XmlEscapeString(id));
        else if (found)
            cursor.RemoveChildElemWithAttrib("item", "custo_id", XmlEscapeString(storedCustoId));
    }
    int index = -1;
    if (found && LookupItem(id, storedCustoId, &index) && index >= 0) {
        CStoreItem* item = GetItem(index);
        RemoveItem(index);
        delete item;
    }
}

void CPictureStore5460::Delete(CStringArray& custoIds, int)
{
    Log("[照片]开始删除...");
    // A photo the album knows goes when the album confirms its deletion: a
    // refused or failed one stays in the album, so it stays here too. One
    // without a comment page number goes at once.
    struct Target {
        CString custoId;
        CString commentId;
    };
    std::vector<Target> targets;
    {
        ItemsLock lock = LockItems();
        CXmlCursor cursor(m_xml);
        for (INT_PTR n = 0; n < custoIds.GetSize(); ++n) {
            const CString& custoId = custoIds[n];
            int index = -1;
            if (!LookupItem(CString(), custoId, &index) || index < 0)
                continue;
            CString commentId;
            m_xml.ResetPos(cursor.GetId());
            if (cursor.FindChildElem("picture") &&
                cursor.FindChildElemWithAttrib("item", "custo_id", XmlEscapeString(custoId)))
                commentId = cursor.GetChildData("comment_id");
            if (commentId.IsEmpty())
                RemoveStoredPhoto(custoId, CString());
            else
                targets.push_back({custoId, commentId});
        }
    }

    // The delete task holds the busy flag for the whole run.
    PrepareHttpClient(&m_deleteClient);
    CAccount* account = GetAccount();
    if (!account || !Login(&m_deleteClient)) {
        Log("[照片]登录失败, 无法删除.");
    } else {
        const CString userId = account->GetUserId();
        for (const Target& target : targets) {
            const CString& commentId = target.commentId;
            CString line;
            line.Format("[照片]开始执行删除, 编号%s...", commentId);
            Log(line);
            CString path;
            path.Format("/gy5460/jsp/picture/picturemanager.jsp?pdid=%s&picid=%s&modify=yes&delete=1",
                        UrlEncode(userId), UrlEncode(commentId));
            const CString url = PageUrl(path);
            CByteArray reply;
            if (!m_deleteClient.Request(url, "", reply, "") || m_deleteClient.IsStopped()) {
                // An aborted request deleted nothing, and neither will the rest.
                Log("[照片]删除失败.");
                if (m_deleteClient.IsStopped())
                    break;
                continue;
            }
            const CString page = tavrin::PageText(reply);
            if (page.Find(url) >= 0) {
                Log("[照片]删除失败");
            } else {
                Log("[照片]成功删除.");
                RemoveStoredPhoto(target.custoId, commentId);
            }
        }
    }
    Log("[照片]删除完成.");
    Post(8);
}
