// The short notes: the class's note page read into "private.xml", and the
// page of one note.
#include "providers/chinaren/PrivateStoreChinaRen.h"

#include "core/model/ContactStore.h"
#include "core/model/SchoolClass.h"
#include "core/services/FolderUtil.h"
#include "core/services/HttpClient.h"
#include "core/services/XmlFile.h"
#include "core/services/XmlText.h"
#include "providers/chinaren/site.h"
#include "providers/common/Escape.h"
#include "providers/common/HtmlSanitizer.h"
#include "providers/common/NumericId.h"
#include "providers/common/PageScrape.h"
#include "providers/common/PageTemplate.h"
#include "providers/common/StoreEvents.h"

#include <cstdlib>

using tavrin::Case;

namespace tavrin::chinaren {

namespace {

const char kNoteRow[] = "(<tr bgcolor=#.*?>.*?</tr>)";
const char kNoteFields[] = "<td .*?><input .*? value=\"([0-9]*)\" .*?></td>.*?<td .*?>(.*?)</td>.*?<td .*?>(.*?)</td>"
                           ".*?<td .*?>.*?addURLLink\\(\"(.*?)\"\\)\\)</script></td>.*?<td .*?><a .*?towho=(.*?)&.*?</tr>";

} // namespace

CString DecodeLinkValue(const CString& value)
{
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    const std::string in = value.Str();
    std::string out;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '+') {
            out += ' ';
        } else if (in[i] == '%' && i + 2 < in.size() && hex(in[i + 1]) >= 0 && hex(in[i + 2]) >= 0) {
            out += static_cast<char>(hex(in[i + 1]) * 16 + hex(in[i + 2]));
            i += 2;
        } else {
            out += in[i];
        }
    }
    return CString(out.c_str(), static_cast<int>(out.size()));
}

std::vector<NoteRow> ReadNoteRows(const CString& page)
{
    std::vector<NoteRow> out;
    for (const CString& row : AllMatches(page, kNoteRow, Case::Insensitive)) {
        std::vector<CString> groups;
        if (!SearchFirst(row, kNoteFields, Case::Insensitive, groups) || groups.size() < 6)
            continue;
        NoteRow note;
        note.id = groups[1];
        note.time = groups[2];
        note.realName = groups[3];
        note.content = groups[4];
        note.content.Replace("\r", "");
        note.content.Replace("\n", "");
        note.userName = groups[5];
        out.push_back(note);
    }
    return out;
}

} // namespace tavrin::chinaren

void CPrivateStoreChinaRen::Log(const CString& text)
{
    tavrin::LogToClass(*this, text);
}

bool CPrivateStoreChinaRen::IsSenderInContacts(const CString& userName)
{
    CSchoolClass* schoolClass = GetSchoolClass();
    CContactStore* contacts = schoolClass ? schoolClass->GetContactStore() : nullptr;
    if (!contacts)
        return false;
    CXmlFile& xml = *contacts->GetXmlFile();
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    return cursor.FindChildElem("contact") &&
           cursor.FindChildElemWithAttrib("item", "id", XmlEscapeString(userName, TRUE));
}

void CPrivateStoreChinaRen::Update(int mode)
{
    // The update task holds the busy flag from the start operation on.
    Log("[小纸条]开始更新...");
    tavrin::PostClassEvent(*this, 25);
    PrepareHttpClient(&m_updateClient);
    CSchoolClass* schoolClass = GetSchoolClass();
    CString url;
    url.Format("http://%s/online/online_msg.jsp?classuuid=%s", tavrin::chinaren::kClassHost,
               tavrin::EscapeUrl(schoolClass ? schoolClass->GetId() : CString()));

    long long counter = 0;
    CPrivateItemChinaRen mark;
    CXmlCursor cursor(m_xml);
    if (mode == 1) {
        m_xml.ResetPos(cursor.GetId());
        if (cursor.FindChildElem("private") && cursor.FindChildElem("last"))
            CPrivateItemChinaRen::ReadXml(&mark, &cursor);
        m_xml.ResetPos(cursor.GetId());
        if (cursor.FindChildElem("private") && cursor.FindChildElem("item"))
            counter = std::atoll(cursor.GetAttrib("custo_id"));
    }

    // The kept notes in page order.
    std::vector<CPrivateItemChinaRen> kept;
    bool listed = false;
    CString page;
    if (!tavrin::SignInFor(*this, &m_updateClient)) {
        Log("[小纸条]登录失败, 无法更新.");
    } else {
        CByteArray reply;
        bool ok = true;
        for (int i = 0; i < 2 && ok; ++i)
            ok = m_updateClient.Request(url, "", reply, "") && !m_updateClient.IsStopped() &&
                 m_updateClient.GetStatusCode() < 400;
        if (!ok) {
            Log("[小纸条]网络错误, 更新失败.");
        } else if (reply.GetSize() == 0) {
            Log("[小纸条]读取网页错误, 更新失败.");
        } else {
            const std::vector<tavrin::chinaren::NoteRow> rows = tavrin::chinaren::ReadNoteRows(tavrin::PageText(reply));
            // A page without a single note row is not taken for the list: a
            // broken or foreign page must not empty the store.
            listed = !rows.empty();
            for (const tavrin::chinaren::NoteRow& row : rows) {
                // A note without a number is never newer than the mark; the
                // mark itself is taken only when it has one.
                if (row.id.IsEmpty() || (!mark.m_id.IsEmpty() && tavrin::CompareIds(mark.m_id, row.id) >= 0))
                    break;
                // The link carries the user name encoded; the member list
                // holds it as text.
                if (!IsSenderInContacts(tavrin::chinaren::DecodeLinkValue(row.userName)))
                    continue;
                CPrivateItemChinaRen note;
                note.m_id = row.id;
                note.m_time = row.time;
                note.m_realName = row.realName;
                note.m_content = row.content;
                note.m_userName = row.userName;
                note.m_replyStatus = "no";
                kept.push_back(note);
            }
        }
    }

    tavrin::SendClassEvent(*this, 20);

    const bool replace = mode == 0 && listed;
    if (replace) {
        m_xml.Clear();
        m_xml.ResetPos(cursor.GetId());
        cursor.FindChildElem("private", TRUE);
    }
    m_newNoteCount.store(0);
    int count = 0;
    for (auto note = kept.rbegin(); note != kept.rend(); ++note) {
        m_xml.ResetPos(cursor.GetId());
        if (!cursor.FindChildElem("private", TRUE) || !cursor.InsertChildElemBefore("item", "item") ||
            !cursor.FindChildElem("item"))
            continue;
        note->m_custoId.Format("%lld", ++counter);
        note->m_read = 0;
        note->m_pinned = 0;
        CPrivateItemChinaRen::WriteXml(&*note, &cursor);
        ++count;
    }
    m_newNoteCount.store(count);
    CString line;
    line.Format("[小纸条]更新完成, %d条新信息.", count);
    Log(line);

    if (count > 0) {
        m_xml.ResetPos(cursor.GetId());
        if (cursor.FindChildElem("private", TRUE)) {
            cursor.RemoveChildElem("last");
            if (cursor.InsertChildElemBefore("item", "last") && cursor.FindChildElem("last")) {
                CPrivateItemChinaRen newest = kept.front();
                newest.m_custoId.Format("%lld", counter + 1);
                CPrivateItemChinaRen::WriteXml(&newest, &cursor);
            }
        }
    }

    m_xml.ResetPos(cursor.GetId());
    if (m_xml.IsModified() && cursor.FindChildElem("private")) {
        bool hasNotes = cursor.FindChildElem("item");
        if (!hasNotes)
            hasNotes = cursor.FindChildElem("last");
        // A replaced list is written also when it is empty now.
        if (hasNotes || replace)
            m_xml.Save();
    }
    LoadItems(FALSE);
    tavrin::PostClassEvent(*this, 24);
    tavrin::PostClassEvent(*this, 2);
}

CString CPrivateStoreChinaRen::RenderPage(CString custoId)
{
    CString page;
    if (!tavrin::ReadTemplateFile(GetAppDir() + "\\styles\\chinaren\\default\\private.html", page))
        return CString();
    CPrivateItemChinaRen item;
    if (!custoId.IsEmpty()) {
        CXmlCursor cursor(m_xml);
        m_xml.ResetPos(cursor.GetId());
        if (cursor.FindChildElem("private") &&
            cursor.FindChildElemWithAttrib("item", "custo_id", XmlEscapeString(custoId, TRUE)))
            CPrivateItemChinaRen::ReadXml(&item, &cursor);
    }
    // The content is the site's HTML: cleaned, then every value escaped for
    // its script string.
    tavrin::FillScriptDataBlock(page, "在线信息",
                                {tavrin::SanitizeHtml(item.m_content), item.m_realName, item.m_time,
                                 item.m_replyStatus == "yes" ? CString("是") : CString("否")});
    return page;
}
