#include "providers/5460/PrivateStore5460.h"

#include "core/model/Account.h"
#include "core/model/ContactStore.h"
#include "core/model/ModelEvents.h"
#include "core/model/SchoolClass.h"
#include "core/services/XmlText.h"
#include "platform/win/WinMessage.h"
#include "providers/common/PageScrape.h"
#include "providers/5460/SignIn.h"
#include "providers/common/Escape.h"
#include "providers/common/NumericId.h"

#include <algorithm>

namespace tavrin::p5460 {

namespace {

const char kBlockPattern[] = "(<td width=\"320\" nowrap>主题：.*?<input type=\"checkbox\" name=\"isDelete\".*?</td>)";
const char kFieldPattern[] = "<td width=\"320\" nowrap>主题：(.*?)<br>(.*?)</td>.*?<a [^>]*ReceiverID=([0-9]*)"
                             "&ReceiverName=(.*?)&[^>]*>.*?</a>.*?<td  align=\"center\" nowrap>(.*?)</td>.*?"
                             "value=\"([0-9]*)\">.*?";
const char kSkipMarker[] = "-><a href=\"#\" title='发送' ";

} // namespace

std::vector<NoteBlock> ReadNoteBlocks(const CString& page)
{
    std::vector<NoteBlock> out;
    for (const CString& text : AllMatches(page, kBlockPattern, Case::Insensitive)) {
        NoteBlock block;
        block.skip = text.Find(kSkipMarker) >= 0;
        std::vector<CString> groups;
        if (SearchFirst(text, kFieldPattern, Case::Insensitive, groups) && groups.size() == 7) {
            block.hasFields = true;
            block.title = groups[1];
            block.content = groups[2];
            block.userId = groups[3];
            block.realName = groups[4];
            block.time = groups[5];
            block.id = groups[6];
        }
        out.push_back(std::move(block));
    }
    return out;
}

} // namespace tavrin::p5460

void CPrivateItem5460::ReadXml(CPrivateItem5460* item, CXmlCursor* cursor)
{
    CPrivateItem::ReadXml(item, cursor);
    item->m_content = cursor->GetChildData("content");
}

void CPrivateItem5460::WriteXml(CPrivateItem5460* item, CXmlCursor* cursor)
{
    CPrivateItem::WriteXml(item, cursor);
    if (cursor->FindChildElem("content", TRUE)) {
        cursor->SetData(item->m_content);
        cursor->GetFile().OutOfElem(cursor->GetId());
    }
}

void CPrivateStore5460::Log(const CString& text)
{
    if (CSchoolClass* schoolClass = GetSchoolClass())
        schoolClass->Log(text);
}

void CPrivateStore5460::Post(WPARAM code)
{
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    if (account && account->GetNotifyWnd())
        PostMessage(account->GetNotifyWnd(), WM_CLASS_EVENT, code, reinterpret_cast<LPARAM>(schoolClass));
}

void CPrivateStore5460::SendEvent(WPARAM code)
{
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    if (account && account->GetNotifyWnd())
        SendMessage(account->GetNotifyWnd(), WM_CLASS_EVENT, code, reinterpret_cast<LPARAM>(schoolClass));
}

int CPrivateStore5460::Login(CHttpClient& client)
{
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    CString page;
    return account ? account->Login(&client, &page) : 0;
}

static CString ClassPageUrl(CSchoolClass* schoolClass, const char* path, bool withClassId)
{
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    CString url = tavrin::p5460::PageUrl(account ? account->GetProvider() : CString(), path);
    if (withClassId)
        url += tavrin::EscapeUrl(schoolClass ? schoolClass->GetId() : CString());
    return url;
}

CString CPrivateStore5460::ListUrl()
{
    return ClassPageUrl(GetSchoolClass(), "/gy5460/jsp/privacy/privacyDisplay.jsp?classID=", true);
}

CString CPrivateStore5460::SubmitUrl()
{
    return ClassPageUrl(GetSchoolClass(), "/gy5460/jsp/privacy/privacySubmit.jsp", false);
}

bool CPrivateStore5460::IsSenderInContacts(const CString& userId)
{
    CSchoolClass* schoolClass = GetSchoolClass();
    CContactStore* contacts = schoolClass ? schoolClass->GetContactStore() : nullptr;
    if (!contacts || userId.IsEmpty())
        return false;
    CXmlFile& xml = *contacts->GetXmlFile();
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    return cursor.FindChildElem("contact", FALSE) &&
           cursor.FindChildElemWithAttrib("item", "id", XmlEscapeString(userId));
}

void CPrivateStore5460::Update(int mode)
{
    Log("[悄悄话]开始更新...");
    Post(25);
    m_newNoteCount.store(0);
    PrepareHttpClient(&m_updateClient);

    // Mode 1 stops at the newest note of the last update and numbers the new
    // notes above every stored one.
    long long base = 0;
    CPrivateItem5460 last;
    if (mode == 1) {
        CXmlCursor cursor(m_xml);
        m_xml.ResetPos(cursor.GetId());
        if (cursor.FindChildElem("private", FALSE)) {
            if (cursor.FindChildElem("last", FALSE)) {
                CPrivateItem5460::ReadXml(&last, &cursor);
                m_xml.OutOfElem(cursor.GetId());
            }
            if (cursor.FindChildElem("item", FALSE)) {
                do {
                    base = std::max(base, StoreTextNumber(cursor.GetAttrib("custo_id")));
                } while (m_xml.FindNextElem(TRUE, cursor.GetId()));
            }
        }
    }
    const bool haveLast = tavrin::IsNumericId(last.m_id);

    // The new notes, the last one on the page first.
    std::vector<CPrivateItem5460> fresh;
    bool parsed = false;
    if (!Login(m_updateClient)) {
        Log("[悄悄话]登录失败, 无法更新.");
    } else {
        CByteArray reply;
        if (!m_updateClient.Request(ListUrl(), "", reply, "") || m_updateClient.IsStopped()) {
            Log("[悄悄话]网络错误, 更新失败.");
        } else if (reply.GetSize() == 0) {
            Log("[悄悄话]读取网页错误, 更新失败.");
        } else {
            const CString page = tavrin::PageText(reply);
            std::vector<tavrin::p5460::NoteBlock> blocks = tavrin::p5460::ReadNoteBlocks(page);
            // A page without a single note block is not taken for the list:
            // a broken or foreign page must not empty the store.
            parsed = !blocks.empty();
            for (const tavrin::p5460::NoteBlock& block : blocks) {
                if (block.skip || !block.hasFields)
                    continue;
                // A note without a number can be neither compared nor deleted.
                if (!tavrin::IsNumericId(block.id))
                    continue;
                if (haveLast && tavrin::CompareIds(last.m_id, block.id) >= 0)
                    break;
                if (!IsSenderInContacts(block.userId))
                    continue;
                CPrivateItem5460 note;
                note.m_title = block.title;
                note.m_content = block.content;
                note.m_userId = block.userId;
                note.m_realName = block.realName;
                note.m_time = block.time;
                note.m_id = block.id;
                note.m_replyStatus = "no";
                fresh.insert(fresh.begin(), note);
            }
        }
    }

    SendEvent(20);

    const bool replace = mode == 0 && parsed;
    CXmlCursor cursor(m_xml);
    if (replace) {
        m_xml.Clear();
        m_xml.ResetPos(cursor.GetId());
        cursor.FindChildElem("private", TRUE);
    }
    int count = 0;
    for (CPrivateItem5460& note : fresh) {
        m_xml.ResetPos(cursor.GetId());
        if (!cursor.FindChildElem("private", TRUE) || !cursor.InsertChildElemBefore("item", "item") ||
            !cursor.FindChildElem("item", FALSE))
            continue;
        ++count;
        ++base;
        note.m_custoId.Format("%lld", base);
        note.m_read = 0;
        CPrivateItem5460::WriteXml(&note, &cursor);
    }
    m_newNoteCount.store(count);

    CString line;
    line.Format("[悄悄话]更新完成, %d条新信息.", count);
    Log(line);

    if (count > 0) {
        m_xml.ResetPos(cursor.GetId());
        if (cursor.FindChildElem("private", TRUE)) {
            cursor.RemoveChildElem("last");
            if (cursor.InsertChildElemBefore("item", "last") && cursor.FindChildElem("last", FALSE)) {
                CPrivateItem5460 newest = fresh.back();
                newest.m_custoId.Format("%lld", base + 1);
                newest.m_read = 0;
                CPrivateItem5460::WriteXml(&newest, &cursor);
            }
        }
    }

    m_xml.ResetPos(cursor.GetId());
    if (m_xml.IsModified() && cursor.FindChildElem("private", FALSE)) {
        bool hasNotes = cursor.FindChildElem("item", FALSE);
        if (!hasNotes)
            hasNotes = cursor.FindChildElem("last", FALSE);
        // A replaced list is written also when it is empty now.
        if (hasNotes || replace)
            m_xml.Save();
    }

    LoadItems(FALSE);
    Post(24);
    Post(2);
}
