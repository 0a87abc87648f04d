// Posting to the message board: a new message, a reply, and deleting
// messages from the store and the board.
#include "providers/5460/MessageStore5460.h"
#include "providers/common/PageScrape.h"
#include "providers/common/Session.h"

#include "core/model/Account.h"
#include "core/model/SchoolClass.h"
#include "core/services/TextUtil.h"
#include "core/services/XmlText.h"
#include "platform/win/MessageBox.h"
#include "providers/5460/MessageText.h"
#include "providers/common/Escape.h"

#include <string>
#include <vector>

using tavrin::CharacterCount;
using tavrin::p5460::FirstPiece;

namespace {

const char kIllegalText[] = "对不起，留言中包含非法字符：\n“<”“>”“&lt”“&gt;”！";
const char kReplyForm[] = ">回帖内容：（注意换行，不能超过2000个字节）<";
const char kNoRight[] = "<p align=\"center\">对不起，你无权删除该留言</td>";

bool HasIllegalText(const CString& text)
{
    return text.Find("<") >= 0 || text.Find(">") >= 0 || text.Find("&lt") >= 0 || text.Find("&gt;") >= 0;
}

// The board's answer to a signed-in request: a page that asks to sign in
// means the session was gone and nothing was done.
bool IsSignInPage(const CString& page)
{
    return page.Find("请先登录") >= 0;
}

// Whether the request reached the board and was answered with a page of it.
bool Answered(CHttpClient& client, BOOL ok, const CByteArray& bytes)
{
    const int status = client.GetStatusCode();
    return ok && !client.IsStopped() && status >= 200 && status < 300 && !IsSignInPage(tavrin::PageText(bytes));
}

} // namespace

int CMessageStore5460::GetContentLength()
{
    return CharacterCount(GetComposeContent());
}

int CMessageStore5460::Confirm(const char* text)
{
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    return MessageBox(account ? account->GetNotifyWnd() : nullptr, text, "信息", MB_OKCANCEL | MB_ICONEXCLAMATION);
}

void CMessageStore5460::Refuse(const char* text)
{
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    MessageBox(account ? account->GetNotifyWnd() : nullptr, text, "错误", MB_OK | MB_ICONHAND);
}

void CMessageStore5460::Send(CString subject, CString text, int)
{
    Log("[留言]开始发送...");
    bool sent = false;
    const int textLength = CharacterCount(text);
    const int subjectLength = CharacterCount(subject);
    do {
        if (subjectLength == 0 && Confirm("您的留言主题为空，就这样发送？") != IDOK) {
            Log("[留言]主题为空, 放弃发送...");
            break;
        }
        if (textLength == 0 && Confirm("您的留言为空，就这样发送？") != IDOK) {
            Log("[留言]内容为空, 放弃发送...");
            break;
        }
        if (HasIllegalText(text)) {
            Refuse(kIllegalText);
            break;
        }
        if (subjectLength > 30) {
            Refuse("对不起，留言主题不能多于30个字！");
            break;
        }
        if (textLength > 2000) {
            Refuse("对不起，留言不能多于2000个字！");
            break;
        }

        // The task that runs this holds the send busy flag.
        PrepareHttpClient(&m_sendClient);
        m_sendClient.SetRetryCount(1);
        CString body;
        body.Format("Subject=%s&Info=%s&classID=%s", UrlEncode(subject), UrlEncode(text), UrlEncode(ClassId()));
        if (!Login(&m_sendClient)) {
            Log("[留言]登录失败, 无法发送留言.");
            break;
        }
        CByteArray reply;
        BOOL ok = m_sendClient.Request("http://" + WebHost() + "/gy5460/jsp/liuyan/input.jsp", body, reply, "");
        if (!Answered(m_sendClient, ok, reply)) {
            Log("[留言]发送失败.");
            Log("[留言]为避免重复, 请先更新后再重试.");
            break;
        }
        Log("[留言]发送成功.");
        SetComposeSubject(CString());
        SetComposeContent(CString());
        sent = true;
    } while (false);

    Log("[留言]发送完成.");
    PostEvent(9);
    if (sent)
        StartUpdate(0, 0);
}

void CMessageStore5460::Reply(CString, CString text, CString targetId, int)
{
    Log("[留言]开始回复...");
    bool sent = false;
    do {
        if (HasIllegalText(text)) {
            Refuse(kIllegalText);
            break;
        }
        if (CharacterCount(text) > 1000) {
            Refuse("对不起，留言不能多于1000个字！");
            break;
        }

        // The task that runs this holds the reply busy flag.
        PrepareHttpClient(&m_replyClient);
        m_replyClient.SetRetryCount(1);
        CString body;
        body.Format("liuyanID=%s&Info=%s&classID=%s", UrlEncode(targetId), UrlEncode(text), UrlEncode(ClassId()));
        if (!Login(&m_replyClient)) {
            Log("[留言]登录失败, 无法回复留言.");
            break;
        }
        CByteArray reply;
        BOOL ok =
            m_replyClient.Request("http://" + WebHost() + "/gy5460/jsp/liuyan/inputCritique.jsp", body, reply, "");
        if (!Answered(m_replyClient, ok, reply)) {
            Log("[留言]回复失败.");
            Log("[留言]为避免重复, 请先更新后再重试.");
            break;
        }
        Log("[留言]回复成功.");
        SetComposeSubject(CString());
        SetComposeContent(CString());
        sent = true;
    } while (false);

    Log("[留言]回复完成.");
    PostEvent(10);
    if (sent)
        StartUpdate(0, 0);
}

// Removes a message from the document and the list. It is found by its own
// id: an update may have stored it again under another custo_id meanwhile.
void CMessageStore5460::RemoveStoredMessage(const CString& custoId, const CString& id)
{
    ItemsLock lock = LockItems();
    CXmlCursor cursor(m_xml);
    m_xml.ResetPos(cursor.GetId());
    if (!cursor.FindChildElem("message"))
        return;
    CString storedCustoId = custoId;
    if (!id.IsEmpty() && cursor.FindChildElem("item")) {
        do {
            if (FirstPiece(cursor.GetAttrib("id")) == id) {
                storedCustoId = cursor.GetAttrib("custo_id");
                break;
            }
        } while (m_xml.FindNextElem(TRUE, cursor.GetId()));
        m_xml.OutOfElem(cursor.GetId());
    }
    m_xml.ResetPos(cursor.GetId());
    if (cursor.FindChildElem("message") &&
        cursor.FindChildElemWithAttrib("item", "custo_id", XmlEscapeString(storedCustoId))) {
        const bool same = id.IsEmpty() || FirstPiece(cursor.GetAttrib("id")) == id;
        m_xml.OutOfElem(cursor.GetId());
        if (same)
            cursor.RemoveChildElemWithAttrib("item", "custo_id", XmlEscapeString(storedCustoId));
    }
    for (int i = 0; i < GetItemCount(); ++i) {
        if (GetItem(i)->m_custoId == storedCustoId && (id.IsEmpty() || GetItem(i)->m_id == id)) {
            CStoreItem* item = GetItem(i);
            RemoveItem(i);
            delete item;
            break;
        }
    }
}

void CMessageStore5460::Delete(CStringArray& custoIds, int)
{
    Log("[留言]开始删除...");

    // A message the board knows goes when the board confirms its deletion: a
    // refused or failed one stays on the board, so it stays here too. One
    // without an id of the board goes at once.
    struct Target {
        CString custoId;
        CString id;
    };
    std::vector<Target> targets;
    {
        ItemsLock lock = LockItems();
        CXmlCursor cursor(m_xml);
        for (INT_PTR n = 0; n < custoIds.GetSize(); ++n) {
            const CString& custoId = custoIds[n];
            bool listed = false;
            for (int i = 0; i < GetItemCount() && !listed; ++i)
                listed = GetItem(i)->m_custoId == custoId;
            if (!listed)
                continue;
            CString id;
            m_xml.ResetPos(cursor.GetId());
            if (cursor.FindChildElem("message") &&
                cursor.FindChildElemWithAttrib("item", "custo_id", XmlEscapeString(custoId)))
                id = FirstPiece(cursor.GetAttrib("id"));
            if (id.IsEmpty())
                RemoveStoredMessage(custoId, CString());
            else
                targets.push_back({custoId, id});
        }
    }

    // The task that runs this holds the delete busy flag.
    PrepareHttpClient(&m_deleteClient);
    const CString host = "http://" + WebHost();
    const CString classId = tavrin::EscapeUrl(ClassId());
    for (size_t n = 0; n < targets.size() && !m_deleteClient.IsStopped(); ++n) {
        const CString& id = targets[n].id;
        CString line;
        line.Format("[留言]开始删除留言, 编号%s...", id);
        Log(line);
        if (!Login(&m_deleteClient)) {
            Log("[留言]登录失败, 无法删除留言.");
            break;
        }
        CString path;
        path.Format("/gy5460/jsp/liuyan/deleteLiuyan.jsp?liuyanID=%s&classID=%s", tavrin::EscapeUrl(id), classId);
        CByteArray reply;
        BOOL ok = m_deleteClient.Request(host + path, "", reply, "");
        const bool answered = Answered(m_deleteClient, ok, reply);
        if (answered && tavrin::PageText(reply).Find(kNoRight) >= 0) {
            line.Format("[留言]无权删除该留言, 编号%s...", id);
            Log(line);
            continue;
        }
        // Whatever the delete answered, the message's own page tells whether
        // it is gone: it shows its reply form while it exists.
        bool gone = false;
        if (Login(&m_deleteClient)) {
            path.Format("/gy5460/jsp/liuyan/critique.jsp?liuyanID=%s&classID=%s", tavrin::EscapeUrl(id), classId);
            CByteArray check;
            BOOL checked = m_deleteClient.Request(host + path, "", check, "");
            gone = Answered(m_deleteClient, checked, check) && tavrin::PageText(check).Find(kReplyForm) < 0;
        }
        if (!gone)
            line.Format("[留言]删除留言失败, 编号%s.", id);
        else if (answered)
            line.Format("[留言]成功删除留言, 编号%s...", id);
        else
            line.Format("[留言]成功删除留言, 编号%s.", id);
        Log(line);
        if (gone)
            RemoveStoredMessage(targets[n].custoId, id);
    }

    Log("[留言]删除完成.");
    PostEvent(5);
}
