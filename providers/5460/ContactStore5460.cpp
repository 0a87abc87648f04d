#include "providers/5460/ContactStore5460.h"
#include "providers/common/PageScrape.h"

#include "core/model/Account.h"
#include "core/model/ModelEvents.h"
#include "core/model/SchoolClass.h"
#include "core/services/FolderUtil.h"
#include "providers/5460/RecordSplit.h"
#include "providers/5460/SignIn.h"
#include "providers/5460/TextArea.h"
#include "providers/common/PageTemplate.h"
#include "platform/win/WinMessage.h"

#include <string>
#include <vector>

using tavrin::p5460::FieldAt;

namespace {

void WriteChild(CXmlCursor* cursor, const char* name, const CString& value)
{
    if (cursor->FindChildElem(name, TRUE)) {
        cursor->SetData(value);
        cursor->GetFile().OutOfElem(cursor->GetId());
    }
}


// The records of a text area that yield fields.
std::vector<std::vector<CString>> Records(const CString& data)
{
    std::vector<std::vector<CString>> out;
    for (const CString& record : tavrin::p5460::SplitRecords(data)) {
        std::vector<CString> fields = tavrin::p5460::SplitFields(record);
        if (!fields.empty())
            out.push_back(std::move(fields));
    }
    return out;
}

} // namespace

void CContactItem5460::ReadXml(CContactItem5460* item, CXmlCursor* cursor)
{
    CContactItem::ReadXml(item, cursor);
    item->m_address = cursor->GetChildData("address");
    item->m_company = cursor->GetChildData("company");
    item->m_email = cursor->GetChildData("email");
    item->m_intro = cursor->GetChildData("intro");
    item->m_mobile = cursor->GetChildData("mobile");
    item->m_oicq = cursor->GetChildData("oicq");
    item->m_personIcon = cursor->GetChildData("person_icon");
    item->m_phoneNumber = cursor->GetChildData("phone_number");
}

void CContactItem5460::WriteXml(CContactItem5460* item, CXmlCursor* cursor)
{
    CContactItem::WriteXml(item, cursor);
    WriteChild(cursor, "address", item->m_address);
    WriteChild(cursor, "company", item->m_company);
    WriteChild(cursor, "email", item->m_email);
    WriteChild(cursor, "intro", item->m_intro);
    WriteChild(cursor, "mobile", item->m_mobile);
    WriteChild(cursor, "oicq", item->m_oicq);
    WriteChild(cursor, "person_icon", item->m_personIcon);
    WriteChild(cursor, "phone_number", item->m_phoneNumber);
}

CString CContactStore5460::RenderPage(CString custoId)
{
    CString page;
    if (!tavrin::ReadTemplateFile(GetAppDir() + "\\styles\\5460\\default\\contact.html", page))
        return CString();
    CContactItem5460 item;
    if (!custoId.IsEmpty()) {
        CXmlCursor cursor(m_xml);
        m_xml.ResetPos(cursor.GetId());
        if (cursor.FindChildElem("contact") && cursor.FindChildElemWithAttrib("item", "custo_id", custoId))
            CContactItem5460::ReadXml(&item, &cursor);
    }
    // Every value is escaped for the script string the template puts it in.
    tavrin::FillScriptDataBlock(page, "通讯录",
                                {item.m_personIcon, item.m_realName, item.m_id, item.m_phoneNumber, item.m_oicq,
                                 item.m_mobile, item.m_company, item.m_address, item.m_email, item.m_intro});
    return page;
}

void CContactStore5460::Log(const CString& text)
{
    if (CSchoolClass* schoolClass = GetSchoolClass())
        schoolClass->Log(text);
}

void CContactStore5460::Post(WPARAM code)
{
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    if (account && account->GetNotifyWnd())
        PostMessage(account->GetNotifyWnd(), WM_CLASS_EVENT, code, reinterpret_cast<LPARAM>(schoolClass));
}

void CContactStore5460::Send(WPARAM code)
{
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    if (account && account->GetNotifyWnd())
        SendMessage(account->GetNotifyWnd(), WM_CLASS_EVENT, code, reinterpret_cast<LPARAM>(schoolClass));
}

int CContactStore5460::Login(CString& page)
{
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    return account ? account->Login(&m_connection, &page) : 0;
}

void CContactStore5460::Update(CStringArray&, int mode)
{
    // The update task holds the busy flag from the start operation on.
    Log("[通讯录]开始更新...");
    Post(26);
    PrepareHttpClient(&m_connection);

    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    const CString provider = account ? account->GetProvider() : CString();
    const CString classId = schoolClass ? schoolClass->GetId() : CString();

    if (mode == 0) {
        CString path;
        path.Format("/gy5460/jsp/person/person.jsp?classID=%s", classId);
        UpdateMembers(tavrin::p5460::PageUrl(provider, path));
    }
    CString path;
    path.Format("/gy5460/jsp/txlClass/visitCount.jsp?classID=%s", classId);
    UpdateVisits(tavrin::p5460::PageUrl(provider, path));

    Log("[通讯录]更新完成.");
    {
        CXmlCursor cursor(m_xml);
        m_xml.ResetPos(cursor.GetId());
        if (m_xml.IsModified() && cursor.FindChildElem("contact") &&
            (cursor.FindChildElem("item") || cursor.FindChildElem("last")))
            m_xml.Save();
    }
    Send(19);
    LoadItems(FALSE);
    Post(23);
    Post(3);
}

void CContactStore5460::UpdateMembers(const CString& url)
{
    Log("[通讯录]开始更新成员资料...");
    CString page;
    if (!Login(page)) {
        Log("[通讯录]登录失败, 无法更新成员资料.");
        return;
    }
    CByteArray reply;
    if (!m_connection.Request(url, "", reply, "") || m_connection.IsStopped()) {
        Log("[通讯录]网络错误, 更新成员资料失败.");
        return;
    }
    CString data;
    // A page that lists nobody is taken for a broken page: the stored
    // members stay.
    std::vector<std::vector<CString>> records;
    if (tavrin::p5460::ExtractTextArea(tavrin::PageText(reply), data))
        records = Records(data);
    if (records.empty()) {
        Log("[通讯录]读取网页错误, 更新成员资料失败.");
        return;
    }
    Send(19);
    m_xml.Clear();
    CXmlCursor cursor(m_xml);
    int counter = 0;
    for (const std::vector<CString>& fields : records) {
        m_xml.ResetPos(cursor.GetId());
        if (!cursor.FindChildElem("contact", TRUE) || !cursor.InsertChildElemBefore("item", "item") ||
            !cursor.FindChildElem("item"))
            continue;
        CContactItem5460 item;
        item.m_custoId.Format("%d", ++counter);
        item.m_realName = FieldAt(fields, 0);
        item.m_personIcon = FieldAt(fields, 1);
        item.m_id = FieldAt(fields, 2);
        item.m_phoneNumber = FieldAt(fields, 3);
        item.m_oicq = FieldAt(fields, 4);
        item.m_mobile = FieldAt(fields, 5);
        item.m_company = FieldAt(fields, 6);
        item.m_address = FieldAt(fields, 7);
        item.m_email = FieldAt(fields, 8);
        item.m_intro = FieldAt(fields, 9);
        CContactItem5460::WriteXml(&item, &cursor);
    }
    CString line;
    line.Format("[通讯录]共有%d位班级成员.", counter);
    Log(line);
    Log("[通讯录]更新成员资料完成.");
}

void CContactStore5460::UpdateVisits(const CString& url)
{
    Log("[通讯录]开始更新访问信息...");
    PrepareHttpClient(&m_connection);
    CString page;
    if (!Login(page)) {
        Log("[通讯录]登录失败, 无法更新访问信息.");
        return;
    }
    CByteArray reply;
    if (!m_connection.Request(url, "", reply, "") || m_connection.IsStopped()) {
        Log("[通讯录]网络错误, 更新访问信息失败.");
        return;
    }
    CString data;
    if (!tavrin::p5460::ExtractTextArea(tavrin::PageText(reply), data)) {
        Log("[通讯录]读取网页错误, 更新访问信息失败.");
        return;
    }
    CXmlCursor cursor(m_xml);
    for (const std::vector<CString>& fields : Records(data)) {
        // A short record would wipe the stored visit information.
        if (fields.size() < 5)
            continue;
        m_xml.ResetPos(cursor.GetId());
        if (!cursor.FindChildElem("contact") || !cursor.FindChildElem("item"))
            continue;
        bool found = false;
        do {
            found = cursor.GetChildData("real_name") == fields[0];
        } while (!found && m_xml.FindNextElem(TRUE, cursor.GetId()));
        if (!found)
            continue;
        CContactItem5460 item;
        CContactItem5460::ReadXml(&item, &cursor);
        item.m_visitTime = fields[2];
        item.m_lastVisit = fields[3];
        item.m_membership = fields[4];
        CContactItem5460::WriteXml(&item, &cursor);
    }
    Log("[通讯录]更新访问信息完成.");
}
