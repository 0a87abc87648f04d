// Sending, answering and deleting ChinaRen notes.
#include "providers/chinaren/PrivateStoreChinaRen.h"

#include "core/model/Account.h"
#include "core/model/ContactStore.h"
#include "core/model/SchoolClass.h"
#include "core/services/HttpClient.h"
#include "core/services/TextUtil.h"
#include "core/services/XmlFile.h"
#include "core/services/XmlText.h"
#include "platform/win/MessageBox.h"
#include "providers/chinaren/site.h"
#include "providers/common/Escape.h"
#include "providers/common/PageScrape.h"
#include "providers/common/Session.h"
#include "providers/common/StoreEvents.h"

using tavrin::Case;

namespace {

const char kFormKey[] = "<INPUT TYPE=hidden name=\"ZKEY\" value=(.*?)>";
const char kSent[] = "<SCRIPT>alert('发送成功');</SCRIPT>";
const char kHistoryRow[] = "(<tr bgcolor=\"(FFFFFF|E5E5E5)\">.*?</tr>)";
const char kHistoryFields[] = "<tr bgcolor=.*?<td align=.*?<td align=\"center\">(.*?)</td>.*?<td align=\"center\">(.*?)"
                              "</td>.*?<td align=\"center\">(.*?)</td>.*?<td align=\"center\">.*?<input .*?"
                              "value=\"([0-9]*)\".*?</td>";
const int kMaxCharacters = 150;

CString ClassUrl(const char* format, const CString& classId, const CString& value = CString())
{
    CString path;
    path.Format(format, classId, value);
    return CString("http://") + tavrin::chinaren::kClassHost + path;
}

bool Answered(CHttpClient& client, BOOL ok)
{
    return ok && !client.IsStopped() && client.GetStatusCode() < 400;
}

// Whether the history page still lists the note.
bool HistoryLists(const CString& page, const CString& id)
{
    for (const CString& row : tavrin::AllMatches(page, kHistoryRow, Case::Insensitive)) {
        std::vector<CString> groups;
        if (tavrin::SearchFirst(row, kHistoryFields, Case::Insensitive, groups) && groups.size() >= 5 &&
            groups[4] == id)
            return true;
    }
    return false;
}

} // namespace

bool CPrivateStoreChinaRen::RefuseNote(const CString& content)
{
    const int length = tavrin::CharacterCount(content);
    const char* refusal = nullptr;
    if (length < 1)
        refusal = "对不起，请输入留言内容！";
    else if (length > kMaxCharacters)
        refusal = "对不起，留言内容不能超过150字！";
    if (!refusal)
        return false;
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    MessageBox(account ? account->GetNotifyWnd() : nullptr, refusal, "错误", MB_OK | MB_ICONHAND);
    return true;
}

CPrivateStoreChinaRen::PostResult CPrivateStoreChinaRen::PostNote(CHttpClient& client, const CString& content,
                                                                  const CString& towho)
{
    PrepareHttpClient(&client);
    CSchoolClass* schoolClass = GetSchoolClass();
    const CString classId = schoolClass ? schoolClass->GetId() : CString();
    const CString url = ClassUrl("/online/online_sendmsg.jsp?classuuid=%s", tavrin::EscapeUrl(classId));
    if (!tavrin::SignInFor(*this, &client))
        return PostResult::NotSignedIn;
    CByteArray form;
    if (!Answered(client, client.Request(url, "", form, "")))
        return PostResult::Unreadable;
    std::vector<CString> key;
    if (!tavrin::SearchFirst(tavrin::PageText(form), kFormKey, Case::Insensitive, key) || key.size() < 2)
        return PostResult::Unreadable;
    CString body;
    body.Format("classuuid=%s&towho=%s&add=1&pid=0&send=1&content=%s&ZKEY=%s", classId, towho, UrlEncode(content),
                key[1]);
    client.SetRetryCount(1);
    if (!tavrin::SignInFor(*this, &client))
        return PostResult::NotSignedIn;
    CByteArray reply;
    if (!Answered(client, client.Request(url, body, reply, "")) || tavrin::PageText(reply).Find(kSent) < 0)
        return PostResult::Failed;
    return PostResult::Sent;
}

void CPrivateStoreChinaRen::Send(CString, CString content, CString, CString userName, CString, int)
{
    Log("[小纸条]开始发送...");
    // The task that runs this holds the send busy flag. A contact's user
    // name is plain text: encoded, so that a "&" cannot add fields.
    if (!RefuseNote(content)) {
        switch (PostNote(m_sendClient, content, tavrin::EscapeUrl(userName))) {
        case PostResult::NotSignedIn:
            Log("[小纸条]登录失败, 无法发送.");
            break;
        case PostResult::Unreadable:
            Log("[小纸条]读取网页错误, 无法发送.");
            break;
        case PostResult::Failed:
            Log("[小纸条]发送失败.");
            break;
        case PostResult::Sent:
            Log("[小纸条]发送成功.");
            // The texts of a new note are kept by the contact store.
            if (CContactStore* contacts = GetSchoolClass() ? GetSchoolClass()->GetContactStore() : nullptr) {
                contacts->SetComposeContent(CString());
                contacts->SetComposeSubject(CString());
            }
            break;
        }
    }
    Log("[小纸条]发送完成.");
    tavrin::PostClassEvent(*this, 12);
}

void CPrivateStoreChinaRen::Reply(CString, CString content, CString, CString userName, CString, int noteNumber)
{
    Log("[小纸条]开始回复...");
    // The task that runs this holds the reply busy flag. The note's user
    // name is the site's own link value, already encoded.
    if (!RefuseNote(content)) {
        switch (PostNote(m_replyClient, content, userName)) {
        case PostResult::NotSignedIn:
            Log("[小纸条]登录失败, 无法回复.");
            break;
        case PostResult::Unreadable:
            Log("[小纸条]读取网页错误, 无法回复.");
            break;
        case PostResult::Failed:
            Log("[小纸条]回复失败.");
            break;
        case PostResult::Sent: {
            Log("[小纸条]回复成功.");
            SetComposeContent(CString());
            SetComposeSubject(CString());
            tavrin::MarkNoteReplied(*this, noteNumber);
            break;
        }
        }
    }
    Log("[小纸条]回复完成.");
    tavrin::PostClassEvent(*this, 12);
}

void CPrivateStoreChinaRen::Delete(CStringArray& custoIds, int)
{
    Log("[小纸条]开始删除...");

    // Local removal first; the site's answer does not bring a note back.
    const std::vector<CString> ids = tavrin::RemoveListedItems(*this, "private", custoIds);

    // The task that runs this holds the delete busy flag.
    PrepareHttpClient(&m_deleteClient);
    CSchoolClass* schoolClass = GetSchoolClass();
    const CString classId = tavrin::EscapeUrl(schoolClass ? schoolClass->GetId() : CString());
    CString line;
    for (size_t n = 0; n < ids.size() && !m_deleteClient.IsStopped(); ++n) {
        const CString& id = ids[n];
        if (id.IsEmpty())
            continue;
        line.Format("[小纸条]开始删除留言, 编号%s...", id);
        Log(line);
        if (!tavrin::SignInFor(*this, &m_deleteClient)) {
            Log("[小纸条]登录失败, 无法删除小纸条.");
            break;
        }
        CByteArray reply;
        const CString url =
            ClassUrl("/online/online_gethistory.jsp?classuuid=%s&del=1&tm=%s", classId, tavrin::EscapeUrl(id));
        if (Answered(m_deleteClient, m_deleteClient.Request(url, "", reply, ""))) {
            line.Format("[小纸条]成功删除小纸条, 编号%s...", id);
            Log(line);
            continue;
        }
        // The history page tells whether the note is gone.
        bool deleted = false;
        CByteArray history;
        if (tavrin::SignInFor(*this, &m_deleteClient) &&
            Answered(m_deleteClient, m_deleteClient.Request(
                                         ClassUrl("/online/online_gethistory.jsp?classuuid=%s", classId), "",
                                         history, "")))
            deleted = !HistoryLists(tavrin::PageText(history), id);
        line.Format(deleted ? "[小纸条]删除小纸条成功, 编号%s." : "[小纸条]删除小纸条失败, 编号%s.", id);
        Log(line);
    }
    Log("[小纸条]删除完成.");
    tavrin::PostClassEvent(*this, 6);
}
