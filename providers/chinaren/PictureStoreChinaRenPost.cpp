// Posting to the album: a photo comment with its verification code, queued
// photo uploads, and deleting photos with the album's confirmation.
#include "providers/chinaren/PictureStoreChinaRen.h"

#include "core/model/Account.h"
#include "core/model/SchoolClass.h"
#include "core/services/HttpClient.h"
#include "core/services/TextUtil.h"
#include "platform/base/FileApi.h"
#include "platform/base/Time.h"
#include "platform/win/MessageBox.h"
#include "providers/chinaren/AlbumRecords.h"
#include "providers/chinaren/AuthCode.h"
#include "providers/common/Escape.h"
#include "providers/common/PageScrape.h"
#include "providers/common/PictureSteps.h"
#include "providers/common/Session.h"
#include "providers/common/StoreEvents.h"
#include "providers/common/UploadForm.h"

#include <string>
#include <vector>

namespace {

const char kCommentPath[] = "/album/classalbum_singlephoto.jsp";
const char kCommentForm[] = "classuuid=%s&picid=%s&add=1&met=add&show=0&msg=%s&ark=%s&tm=%s";
const char kRejected[] = "<script>alert('请输入正确的认证信息');history.go(-1)</script>";
const char kUploadPath[] = "/album/classalbum_upload.jsp?classuuid=";
const char kDeletePath[] = "/album/classalbum_delselectpics.jsp";
// The upload form's description field.
const char kDescriptionField[] = "PICINTRO";
const int kMaxCharacters = 100;

} // namespace

void CPictureStoreChinaRen::SendComment(CString, CString text, CString id, int)
{
    Log("[照片]开始发送评论...");
    const CString current = GetCurrentCustoId();
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    HWND owner = account ? account->GetNotifyWnd() : nullptr;
    bool sent = false;
    const int length = tavrin::CharacterCount(text);
    if (length == 0 &&
        MessageBox(owner, "您的评论为空，就这样发送？", "信息", MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK) {
        Log("[照片]评论内容为空, 放弃发送.");
    } else if (length > kMaxCharacters) {
        MessageBox(owner, "您的评论最多100个字！", "错误", MB_OK | MB_ICONHAND);
        Log("[照片]评论内容太长, 放弃发送.");
    } else {
        // The comment task holds the busy flag for the whole run.
        PrepareHttpClient(&m_commentClient);
        CString body;
        body.Format(kCommentForm, tavrin::EscapeUrl(ClassId()), tavrin::EscapeUrl(id), UrlEncode(text),
                    GetAuthCode(""), GetAuthKey(""));
        m_commentClient.SetRetryCount(1);
        CByteArray reply;
        if (!tavrin::SignInFor(*this, &m_commentClient)) {
            Log("[照片]登录失败, 无法发送评论.");
        } else if (!tavrin::chinaren::Answered(
                       m_commentClient,
                       m_commentClient.Request(tavrin::chinaren::AlbumUrl(kCommentPath), body, reply, ""))) {
            Log("[照片]发送评论失败.");
            Log("[照片]为避免重复, 请先更新再重试.");
        } else if (tavrin::PageText(reply).Find(kRejected) >= 0) {
            if (tavrin::chinaren::RefreshRejectedCode(&m_commentClient, this, tavrin::chinaren::kPhotoAuthKind,
                                                      current))
                tavrin::PostClassEvent(*this, 15);
            Log("[照片]认证信息错误.");
            Log("[照片]发送评论失败.");
        } else {
            Log("[照片]发送评论成功.");
            SetComposeContent(CString());
            SetComposeSubject(CString());
            sent = true;
        }
    }
    tavrin::PostClassEvent(*this, 11);
    if (sent)
        tavrin::StartPhotoDetails(*this, id);
}

void CPictureStoreChinaRen::Upload(CByteArray& form, int)
{
    // The base queues the entry; only the upload that holds the flag sends,
    // this entry and every one queued meanwhile, in order, on this thread.
    bool started = false;
    bool uploaded = false;
    RunUploads(CString(reinterpret_cast<const char*>(form.GetData()), static_cast<int>(form.GetSize())),
               [&](const CString& entry) {
                   if (!started) {
                       started = true;
                       Log("[照片]开始上传...");
                       PrepareHttpClient(&m_uploadClient);
                       m_uploadClient.SetRetryCount(1);
                   }
                   // Only a closing store stops the upload client.
                   if (m_uploadClient.IsStopped())
                       return;
                   if (UploadOne(entry))
                       uploaded = true;
               });
    if (!started)
        return;
    Log("[照片]全部照片上传完毕.");
    if (uploaded)
        StartUpdate(CStringArray(), 0);
}

bool CPictureStoreChinaRen::UploadOne(const CString& entry)
{
    // The entry ends after the file part's header lines: whatever the
    // browser put after them is not sent, the file is read from disk.
    tavrin::UploadForm upload;
    const tavrin::UploadFormError error = tavrin::ParseUploadForm(entry.View(), kDescriptionField, upload);
    if (error == tavrin::UploadFormError::NoTitle) {
        Log("[照片]未知错误, 上传失败.");
        return false;
    }
    CString line;
    line.Format("[照片]开始上传 %s ...", CString(upload.title.c_str()));
    Log(line);
    std::string body;
    if (error != tavrin::UploadFormError::None || !tavrin::ReadWholeFile(upload.fileName.c_str(), body)) {
        Log("[照片]文件错误, 上传失败.");
        return false;
    }
    body.insert(0, upload.head);
    body += "\r\n" + upload.boundary + "--\r\n";
    const CString url = tavrin::chinaren::AlbumUrl(kUploadPath + tavrin::EscapeUrl(ClassId()));
    // Every photo goes right after a sign-in of its own.
    if (CSchoolClass* schoolClass = GetSchoolClass())
        if (CAccount* account = schoolClass->GetAccount())
            account->SetCookie(CString());
    if (!tavrin::SignInFor(*this, &m_uploadClient)) {
        Log("[照片]登录失败, 无法上传.");
        return false;
    }
    CByteArray reply;
    if (!m_uploadClient.RequestWithRetry(url, tavrin::UploadBytes(body), reply, CString(upload.boundary.c_str())) ||
        m_uploadClient.IsStopped()) {
        // The photo may have reached the album all the same.
        Log("[照片]上传完成, 无法确认结果.");
    } else if (m_uploadClient.GetStatusCode() == 200) {
        Log("[照片]上传成功.");
        return true;
    } else {
        Log("[照片]网络错误, 上传失败.");
    }
    return false;
}

void CPictureStoreChinaRen::Delete(CStringArray& custoIds, int)
{
    Log("[照片]开始删除...");
    // The chosen photos leave the list and the document first; the album is
    // asked afterwards.
    std::vector<CString> kept;
    CString idList;
    for (const CString& id : tavrin::RemoveListedItems(*this, "picture", custoIds)) {
        if (id.IsEmpty())
            continue;
        idList += tavrin::EscapeUrl(id) + "%2C";
        kept.push_back(id);
    }

    // The delete task holds the busy flag for the whole run.
    PrepareHttpClient(&m_deleteClient);
    const CString classId = ClassId();
    const CString indexUrl = tavrin::chinaren::AlbumIndexUrl(classId);
    m_deleteClient.SetReferer(indexUrl);
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    if (!account || !tavrin::SignInFor(*this, &m_deleteClient)) {
        Log("[照片]登录失败, 无法删除.");
    } else {
        Log("[照片]开始执行删除...");
        CString body;
        body.Format("classuuid=%s&delpicidlist=%s&del=1", tavrin::EscapeUrl(classId), idList);
        CByteArray reply;
        m_deleteClient.Request(tavrin::chinaren::AlbumUrl(kDeletePath), body, reply, "");

        m_deleteClient.SetAcceptCookies(TRUE);
        const bool read = tavrin::chinaren::Answered(m_deleteClient, m_deleteClient.Request(indexUrl, "", reply, ""));
        m_deleteClient.SetAcceptCookies(FALSE);
        if (read) {
            account->SetCookie(m_deleteClient.GetCookies());
            account->SetCookieTime(CTime::GetCurrentTime());
            const CString scriptUrl = tavrin::chinaren::FindReloadDataScript(tavrin::PageText(reply));
            CByteArray script;
            if (scriptUrl.IsEmpty() ||
                !tavrin::chinaren::Answered(m_deleteClient, m_deleteClient.Request(scriptUrl, "", script, ""))) {
                Log("[照片]无法确认是否成功删除.");
            } else {
                const CString text = tavrin::PageText(script);
                for (const CString& id : kept) {
                    if (!tavrin::chinaren::HoldsPhotoRecord(text, id))
                        continue;
                    CString line;
                    line.Format("[照片]删除失败, 编号%s.", id);
                    Log(line);
                }
            }
        }
    }
    Log("[照片]删除完成.");
    tavrin::PostClassEvent(*this, 8);
}
