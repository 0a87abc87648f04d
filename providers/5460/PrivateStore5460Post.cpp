// Sending, answering and deleting 5460 notes, and the page of one note.
#include "providers/5460/PrivateStore5460.h"
#include "providers/common/PageScrape.h"

#include "core/model/Account.h"
#include "core/model/ContactStore.h"
#include "core/model/SchoolClass.h"
#include "core/services/FolderUtil.h"
#include "core/services/TextUtil.h"
#include "core/services/XmlText.h"
#include "platform/base/CodePage.h"
#include "platform/win/MessageBox.h"
#include "providers/common/HtmlSanitizer.h"
#include "providers/common/NumericId.h"
#include "providers/common/PageTemplate.h"
#include "providers/common/StoreEvents.h"

namespace {

const char kSentText[] = "同学悄悄话发送成功！";
const int kMaxSubject = 60;
const int kMaxContent = 2000;

} // namespace

bool CPrivateStore5460::RefuseNote(const CString& subject, const CString& content)
{
    const int subjectChars = tavrin::GbkCharCount(subject.View());
    const int contentChars = tavrin::GbkCharCount(content.View());
    const char* refusal = nullptr;
    if (subjectChars == 0 || contentChars == 0)
        refusal = "请输入想要发送的主题和信息！";
    else if (contentChars > kMaxContent)
        refusal = "输入的悄悄话内容长度不能大于2000个字！";
    else if (subjectChars > kMaxSubject)
        refusal = "输入的悄悄话主题长度不能大于60个字！";
    if (!refusal)
        return false;
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    MessageBox(account ? account->GetNotifyWnd() : nullptr, refusal, "错误", MB_OK | MB_ICONHAND);
    return true;
}

CPrivateStore5460::PostResult CPrivateStore5460::PostNote(CHttpClient& client, const CString& subject,
                                                          const CString& content, const CString& receiverId,
                                                          const CString& receiverName)
{
    PrepareHttpClient(&client);
    client.SetRetryCount(1);
    CSchoolClass* schoolClass = GetSchoolClass();
    // Every value is encoded: a "&" in a subject or a name would cut the form.
    CString form;
    form.Format("Title=%s&Info=%s&classID=%s&Operation=1&ReceiverID=%s&ReceiverName=%s", UrlEncode(subject),
                UrlEncode(content), UrlEncode(schoolClass ? schoolClass->GetId() : CString()), UrlEncode(receiverId),
                UrlEncode(receiverName));
    if (!Login(client))
        return PostResult::NotSignedIn;
    CByteArray reply;
    if (!client.Request(SubmitUrl(), form, reply, "") || client.IsStopped())
        return PostResult::Failed;
    return tavrin::PageText(reply).Find(kSentText) >= 0 ? PostResult::Sent : PostResult::Failed;
}

void CPrivateStore5460::Send(CString subject, CString content, CString realName, CString, CString receiverId, int)
{
    Log("[悄悄话]开始发送...");
    if (!RefuseNote(subject, content)) {
        switch (PostNote(m_sendClient, subject, content, receiverId, realName)) {
        case PostResult::NotSignedIn:
            Log("[悄悄话]登录失败, 无法发送.");
            break;
        case PostResult::Failed:
            Log("[悄悄话]发送失败.");
            break;
        case PostResult::Sent:
            Log("[悄悄话]发送成功.");
            // The texts of a new note are kept by the contact store.
            if (CContactStore* contacts = GetSchoolClass() ? GetSchoolClass()->GetContactStore() : nullptr) {
                contacts->SetComposeContent(CString());
                contacts->SetComposeSubject(CString());
            }
            break;
        }
    }
    Log("[悄悄话]发送完成.");
    Post(12);
}

void CPrivateStore5460::Reply(CString subject, CString content, CString realName, CString, CString userId,
                              int noteNumber)
{
    Log("[悄悄话]开始回复...");
    if (!RefuseNote(subject, content)) {
        // The answer goes to the sender by the name the note was stored with.
        switch (PostNote(m_replyClient, subject, content, userId, realName)) {
        case PostResult::NotSignedIn:
            Log("[悄悄话]登录失败, 无法回复.");
            break;
        case PostResult::Failed:
            Log("[悄悄话]回复失败.");
            break;
        case PostResult::Sent: {
            Log("[悄悄话]回复成功.");
            SetComposeContent(CString());
            SetComposeSubject(CString());
            tavrin::MarkNoteReplied(*this, noteNumber);
            break;
        }
        }
    }
    Log("[悄悄话]回复完成.");
    Post(12);
}

void CPrivateStore5460::Delete(CStringArray& custoIds, int)
{
    Log("[悄悄话]开始删除...");

    // Local removal first; the provider's answer does not bring a note back.
    const std::vector<CString> ids = tavrin::RemoveListedItems(*this, "private", custoIds);

    PrepareHttpClient(&m_deleteClient);
    CSchoolClass* schoolClass = GetSchoolClass();
    const CString classId = schoolClass ? schoolClass->GetId() : CString();
    for (size_t n = 0; n < ids.size() && !m_deleteClient.IsStopped(); ++n) {
        const CString& id = ids[n];
        if (id.IsEmpty())
            continue;
        CString line;
        line.Format("[悄悄话]开始删除悄悄话, 编号%s...", id);
        Log(line);
        if (!Login(m_deleteClient)) {
            Log("[悄悄话]登录失败, 无法删除悄悄话.");
            break;
        }
        CString form;
        form.Format("classID=%s&Operation=2&isDelete=%s", UrlEncode(classId), UrlEncode(id));
        CByteArray reply;
        if (m_deleteClient.Request(SubmitUrl(), form, reply, "") && !m_deleteClient.IsStopped()) {
            line.Format("[悄悄话]成功删除留言, 编号%s...", id);
            Log(line);
            continue;
        }
        // The form failed: the list page tells whether the note is gone.
        bool deleted = false;
        CByteArray list;
        if (!m_deleteClient.IsStopped() && m_deleteClient.Request(ListUrl(), "", list, "") &&
            !m_deleteClient.IsStopped() && list.GetSize() > 0) {
            deleted = true;
            for (const tavrin::p5460::NoteBlock& block : tavrin::p5460::ReadNoteBlocks(tavrin::PageText(list)))
                if (block.hasFields && tavrin::IdsEqual(block.id, id))
                    deleted = false;
        }
        line.Format(deleted ? "[悄悄话]删除悄悄话成功, 编号%s." : "[悄悄话]删除悄悄话失败, 编号%s.", id);
        Log(line);
    }

    Log("[悄悄话]删除完成.");
    Post(6);
}

CString CPrivateStore5460::RenderPage(CString custoId)
{
    CString page;
    if (!tavrin::ReadTemplateFile(GetAppDir() + "\\styles\\5460\\default\\private.html", page))
        return CString();
    CPrivateItem5460 item;
    if (!custoId.IsEmpty()) {
        CXmlCursor cursor(m_xml);
        m_xml.ResetPos(cursor.GetId());
        if (cursor.FindChildElem("private", FALSE) &&
            cursor.FindChildElemWithAttrib("item", "custo_id", XmlEscapeString(custoId)))
            CPrivateItem5460::ReadXml(&item, &cursor);
    }
    // The body is remote HTML and goes into the page as HTML: it is cleaned
    // first. Every value is escaped for its script string.
    tavrin::FillScriptDataBlock(page, "在线信息",
                                {item.m_title, tavrin::SanitizeHtml(item.m_content), item.m_realName, item.m_userId,
                                 item.m_time, item.m_replyStatus == "yes" ? CString("是") : CString("否")});
    return page;
}
