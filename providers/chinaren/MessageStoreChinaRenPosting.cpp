// Posting to the board: new messages and replies with their verification
// code, the class vote's ballot, and deleting messages.
#include "providers/chinaren/MessageStoreChinaRen.h"

#include "core/model/Account.h"
#include "core/model/SchoolClass.h"
#include "core/services/HttpClient.h"
#include "core/services/TextUtil.h"
#include "core/services/XmlFile.h"
#include "platform/base/Time.h"
#include "platform/win/MessageBox.h"
#include "providers/chinaren/AuthCode.h"
#include "providers/chinaren/site.h"
#include "providers/common/Escape.h"
#include "providers/common/PageScrape.h"
#include "providers/common/Session.h"
#include "providers/common/StoreEvents.h"

#include <vector>

namespace {

const char kWordsPath[] = "/class/class_leaveword.jsp";
const char kWordsForm[] = "classuuid=%s&type=0&isedit=+&met=add&msgtype=1&wordid=0&add=1&remLen=%d&ark=%s&tm=%s&words=%s";
const char kVotePath[] = "/class/class_vote.jsp?action=VOTE";
const char kDeletePath[] = "/class/class_leaveword.jsp?type=2&wordid=%s&classuuid=%s&met=del&add=1";
const char kCheckPath[] = "/class/class_leaveword.jsp?type=2&wordid=%s&classuuid=%s&msgtype=1&met=edit&add=1";
const char kRejected[] = "请输入正确的认证信息";
const char kVoted[] = "<script language=\"JavaScript\">window.location.href='class_vote.jsp?classuuid=";
const char kGone[] = "<SCRIPT>alert('装入留言失败');history.go(-1);</SCRIPT>";
const int kMaxCharacters = 1000;

// Whether a request reached the site and was answered with a page: an error
// status is no answer of the board.
bool Answered(CHttpClient& client, BOOL ok)
{
    return ok && !client.IsStopped() && client.GetStatusCode() < 400;
}

CString ClassUrl(const CString& pathAndQuery)
{
    return CString("http://") + tavrin::chinaren::kClassHost + pathAndQuery;
}

} // namespace

bool CMessageStoreChinaRen::MayPost(const CString& text)
{
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    HWND owner = account ? account->GetNotifyWnd() : nullptr;
    const int length = tavrin::CharacterCount(text);
    if (length == 0 &&
        MessageBox(owner, "您的留言为空，就这样发送？", "信息", MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK) {
        Log("[留言]内容为空, 放弃发送.");
        return false;
    }
    if (length > kMaxCharacters) {
        MessageBox(owner, "对不起，留言不能超过1000个字！", "错误", MB_OK | MB_ICONHAND);
        Log("[留言]内容太长, 放弃发送.");
        return false;
    }
    return true;
}

bool CMessageStoreChinaRen::PostWords(CHttpClient& client, const CString& text, const char* verb,
                                      const CString& currentId, WPARAM rejectEvent)
{
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    if (!account)
        return false;
    PrepareHttpClient(&client);
    const CString words = UrlEncode(text);
    CString body;
    body.Format(kWordsForm, schoolClass->GetId(), kMaxCharacters - words.GetLength(), GetAuthCode(""),
                GetAuthKey(""), words);
    client.SetRetryCount(1);
    CString line;
    if (!tavrin::SignInFor(*this, &client)) {
        line.Format("[留言]登录失败, 无法%s.", verb);
        Log(line);
        return false;
    }
    client.SetAcceptCookies(TRUE);
    CByteArray reply;
    const BOOL ok = client.Request(ClassUrl(kWordsPath), body, reply, "");
    if (!Answered(client, ok)) {
        line.Format("[留言]%s失败.", verb);
        Log(line);
        Log("[留言]为避免重复, 请先更新后再重试.");
        client.SetAcceptCookies(FALSE);
        return false;
    }
    // The answer may renew the session; an empty jar never replaces it.
    const CString cookies = client.GetCookies();
    if (!cookies.IsEmpty()) {
        account->SetCookie(cookies);
        account->SetCookieTime(CTime::GetCurrentTime());
    }
    client.SetAcceptCookies(FALSE);
    if (tavrin::PageText(reply).Find(kRejected) >= 0) {
        if (tavrin::chinaren::RefreshRejectedCode(&client, this, tavrin::chinaren::kMessageAuthKind, currentId))
            PostEvent(rejectEvent);
        Log("[留言]认证信息错误.");
        line.Format("[留言]%s失败.", verb);
        Log(line);
        return false;
    }
    line.Format("[留言]%s成功.", verb);
    Log(line);
    SetComposeSubject(CString());
    SetComposeContent(CString());
    return true;
}

void CMessageStoreChinaRen::Send(CString, CString text, int)
{
    Log("[留言]开始发送...");
    // The task that runs this holds the send busy flag.
    const bool sent = MayPost(text) && PostWords(m_sendClient, text, "发送", CString(), 14);
    PostEvent(9);
    if (sent)
        StartUpdate(0, 0);
}

void CMessageStoreChinaRen::Reply(CString, CString text, CString, int)
{
    Log("[留言]开始回复...");
    // The site has no threads: a reply is a message addressed to the author.
    const CString current = GetCurrentCustoId();
    if (!current.IsEmpty()) {
        CMessageItemChinaRen item;
        ReadStoredItem(current, item);
        text = "To " + item.m_user + ": " + text;
    }
    // The task that runs this holds the reply busy flag.
    const bool sent = MayPost(text) && PostWords(m_replyClient, text, "回复", current, 16);
    PostEvent(10);
    if (sent)
        StartUpdate(0, 0);
}

void CMessageStoreChinaRen::Vote(CByteArray& form, int)
{
    Log("[留言]开始投票...");
    // The ballot is shown without its button from now on, whatever the
    // site answers, so it is not sent twice.
    {
        CXmlCursor cursor(m_xml);
        m_xml.ResetPos(cursor.GetId());
        if (cursor.FindChildElem("message", TRUE) && cursor.FindChildElem("vote") && cursor.FindChildElem("item")) {
            CMessageItemChinaRen vote;
            CMessageItemChinaRen::ReadXml(&vote, &cursor);
            vote.m_content.Replace(tavrin::chinaren::kVoteButton, "");
            CMessageItemChinaRen::WriteXml(&vote, &cursor);
        }
    }
    // The task that runs this holds the vote busy flag.
    PrepareHttpClient(&m_voteClient);
    const int size = static_cast<int>(form.GetSize());
    int length = 0;
    while (length < size && form[length] != 0)
        ++length;
    const CString body(reinterpret_cast<const char*>(form.GetData()), length);
    bool voted = false;
    if (!tavrin::SignInFor(*this, &m_voteClient)) {
        Log("[留言]登录失败, 无法投票.");
    } else {
        CByteArray reply;
        const BOOL ok = m_voteClient.Request(ClassUrl(kVotePath), body, reply, "");
        if (!Answered(m_voteClient, ok))
            Log("[留言]投票失败.");
        else if (tavrin::PageText(reply).Find(kVoted) >= 0) {
            Log("[留言]投票成功.");
            voted = true;
        } else
            Log("[留言]未知错误, 无法投票.");
    }
    Log("[留言]投票完成.");
    PostEvent(13);
    if (voted)
        StartUpdate(0, 0);
}

void CMessageStoreChinaRen::Delete(CStringArray& custoIds, int)
{
    Log("[留言]开始删除...");
    // The chosen messages leave the list and the document first; the site
    // is asked afterwards.
    const std::vector<CString> ids = tavrin::RemoveListedItems(*this, "message", custoIds);

    // The task that runs this holds the delete busy flag.
    PrepareHttpClient(&m_deleteClient);
    CSchoolClass* schoolClass = GetSchoolClass();
    const CString classId = tavrin::EscapeUrl(schoolClass ? schoolClass->GetId() : CString());
    CString line;
    CString path;
    for (size_t n = 0; n < ids.size() && !m_deleteClient.IsStopped(); ++n) {
        if (ids[n].IsEmpty())
            continue;
        const CString id = tavrin::EscapeUrl(ids[n]);
        line.Format("[留言]开始删除留言, 编号%s...", ids[n]);
        Log(line);
        if (!tavrin::SignInFor(*this, &m_deleteClient)) {
            Log("[留言]登录失败, 无法删除留言.");
            break;
        }
        CByteArray reply;
        path.Format(kDeletePath, id, classId);
        if (Answered(m_deleteClient, m_deleteClient.Request(ClassUrl(path), "", reply, ""))) {
            line.Format("[留言]成功删除留言, 编号%s...", ids[n]);
            Log(line);
            continue;
        }
        // The message's edit page tells whether it is gone.
        bool gone = false;
        if (tavrin::SignInFor(*this, &m_deleteClient)) {
            CByteArray check;
            path.Format(kCheckPath, id, classId);
            gone = Answered(m_deleteClient, m_deleteClient.Request(ClassUrl(path), "", check, "")) &&
                   tavrin::PageText(check).Find(kGone) >= 0;
        }
        line.Format(gone ? "[留言]成功删除留言, 编号%s." : "[留言]删除留言失败, 编号%s.", ids[n]);
        Log(line);
    }
    Log("[留言]删除完成.");
    PostEvent(5);
}
