// The member list: visit information from the class's visit page and each
// member's details from their page, merged into "contact.xml".
#include "providers/chinaren/ContactStoreChinaRen.h"

#include "core/model/SchoolClass.h"
#include "core/services/FolderUtil.h"
#include "core/services/HtmlTags.h"
#include "core/services/HttpClient.h"
#include "core/services/XmlFile.h"
#include "core/services/XmlText.h"
#include "providers/chinaren/site.h"
#include "providers/common/Escape.h"
#include "providers/common/HtmlSanitizer.h"
#include "providers/common/PageScrape.h"
#include "providers/common/PageTemplate.h"
#include "providers/common/StoreEvents.h"

#include <algorithm>
#include <cstdlib>

using tavrin::Case;

namespace {

const char kMemberRow[] = "(<tr bgcolor=.*?>.*?</tr>)";
const char kIcon[] = "(<img[^>]*alt='.*?'>)";
const char kAlt[] = "<img[^>]*alt='(.*?)'>";
const char kNames[] = "<td align=left>.*?<a[^>]*>(.*?)</a>.*?<td align=left><a[^>]*>(.*?)</a>";
const char kVisitTime[] = "<td align=center><div[^>]*>(.*?)</div>";
const char kLastVisit[] = "<td align=\"center\">(.*?)</td>";
const char kFieldPattern[] = "<td align=\"right\" class=\"cr2\">\\s*%s.*?<td[^>]*>(.*?)</td>";
const char kNoRights[] = "您没有权限察看(例如您不是班级成员)";
const char kImages[] = "<img src=../../../styles/chinaren/default/images/";

// The icon before each kind of member's alt text.
CString MembershipEntry(const CString& alt)
{
    const char* icon = "friend.gif";
    if (alt == "管理员")
        icon = "administrator.gif";
    else if (alt == "班级成员")
        icon = "member.gif";
    else if (alt == "星级会员")
        icon = "vip.gif";
    return CString(kImages) + icon + ">" + alt;
}

CString ClassUrl(const CString& pathAndQuery)
{
    return CString("http://") + tavrin::chinaren::kClassHost + pathAndQuery;
}

struct Detail {
    const char* label;
    CString CContactItemChinaRen::*field;
};

const Detail kDetails[] = {
    {"性别：", &CContactItemChinaRen::m_sex},
    {"常用邮件地址：", &CContactItemChinaRen::m_email},
    {"搜Q：", &CContactItemChinaRen::m_sq},
    {"移动电话：", &CContactItemChinaRen::m_mobile},
    {"出生年月：", &CContactItemChinaRen::m_birthday},
    {"教育程度：", &CContactItemChinaRen::m_education},
    {"所属行业：", &CContactItemChinaRen::m_job},
    {"省、直辖市：", &CContactItemChinaRen::m_city},
    {"工作单位：", &CContactItemChinaRen::m_company},
    {"单位地址：", &CContactItemChinaRen::m_companyAddress},
    {"居住地址：", &CContactItemChinaRen::m_address},
    {"邮政编码：", &CContactItemChinaRen::m_postcode},
    {"联系电话：", &CContactItemChinaRen::m_phoneNumber},
    {"个人主页地址：", &CContactItemChinaRen::m_homepage},
    {"QQ：", &CContactItemChinaRen::m_qq},
    {"MSN/ICQ：", &CContactItemChinaRen::m_msnIcq},
    {"自我介绍：", &CContactItemChinaRen::m_selfIntro},
};

void ReadDetails(CString& page, CContactItemChinaRen& item)
{
    for (const Detail& detail : kDetails) {
        CString value;
        CContactStoreChinaRen::ScrapeField(page, detail.label, value);
        item.*detail.field = value;
    }
    RemoveHtmlTags(item.m_sq, "<a>");
    item.m_sq.Replace("[搜Q下载]", "");
    item.m_sq.TrimRight();
    RemoveHtmlTags(item.m_mobile, "<a>");
    item.m_mobile.Replace(" [直接发送手机短信息]", "");
    RemoveHtmlTags(item.m_postcode, "<br>");
    RemoveHtmlTags(item.m_homepage, "<a>");
    item.m_selfIntro.Replace("\r", "");
    item.m_selfIntro.Replace("\n", "");
}

} // namespace

void CContactStoreChinaRen::ScrapeField(CString& page, CString label, CString& value)
{
    value.Empty();
    if (page.Find(kNoRights) >= 0) {
        value = "您没有权限察看";
    } else {
        CString pattern(kFieldPattern);
        pattern.Replace("%s", label);
        value = tavrin::FirstGroup(page, pattern, Case::Insensitive);
    }
    value.TrimRight();
    value.TrimLeft();
}

void CContactStoreChinaRen::Log(const CString& text)
{
    tavrin::LogToClass(*this, text);
}

void CContactStoreChinaRen::Update(CStringArray& ids, int mode)
{
    // The update task holds the busy flag from the start operation on.
    Log("[通讯录]开始更新...");
    tavrin::PostClassEvent(*this, 26);
    PrepareHttpClient(&m_connection);
    CSchoolClass* schoolClass = GetSchoolClass();
    const CString classId = tavrin::EscapeUrl(schoolClass ? schoolClass->GetId() : CString());

    UpdateVisits(classId);
    if (mode == 0)
        UpdateDetails(classId, ids);

    Log("[通讯录]更新完成.");
    {
        CXmlCursor cursor(m_xml);
        m_xml.ResetPos(cursor.GetId());
        if (m_xml.IsModified() && cursor.FindChildElem("contact") &&
            (cursor.FindChildElem("item") || cursor.FindChildElem("last")))
            m_xml.Save();
    }
    tavrin::SendClassEvent(*this, 19);
    LoadItems(FALSE);
    tavrin::PostClassEvent(*this, 23);
    tavrin::PostClassEvent(*this, 3);
}

void CContactStoreChinaRen::UpdateVisits(const CString& classId)
{
    Log("[通讯录]开始更新访问信息...");
    if (!tavrin::SignInFor(*this, &m_connection)) {
        Log("[通讯录]登录失败, 无法更新访问信息.");
        return;
    }
    CString path;
    CByteArray reply;
    path.Format("/class/class_index.jsp?classuuid=%s", classId);
    m_connection.Request(ClassUrl(path), "", reply, "");
    path.Format("/class/class_visit.jsp?classuuid=%s", classId);
    if (!m_connection.Request(ClassUrl(path), "", reply, "") || m_connection.IsStopped() ||
        m_connection.GetStatusCode() >= 400) {
        Log("[通讯录]网络错误, 更新访问信息失败.");
        return;
    }
    const CString page = tavrin::PageText(reply);

    CXmlCursor cursor(m_xml);
    m_xml.ResetPos(cursor.GetId());
    long long counter = 0;
    if (cursor.FindChildElem("contact") && cursor.FindChildElem("item"))
        counter = std::atoll(cursor.GetAttrib("custo_id"));
    int members = 0;
    for (const CString& row : tavrin::AllMatches(page, kMemberRow, Case::Insensitive)) {
        CString membership;
        for (const CString& icon : tavrin::AllMatches(row, kIcon, Case::Insensitive)) {
            if (!membership.IsEmpty())
                membership += " ";
            membership += MembershipEntry(tavrin::FirstGroup(icon, kAlt, Case::Insensitive));
        }
        std::vector<CString> names;
        tavrin::SearchFirst(row, kNames, Case::Insensitive, names);
        // A header or spacer row, or a row without a user name, is nobody.
        if (membership.IsEmpty() || names.size() < 3 || names[2].IsEmpty())
            continue;
        CContactItemChinaRen item;
        CString realName = names[1];
        realName.Trim();
        const CString userName = names[2];
        m_xml.ResetPos(cursor.GetId());
        cursor.FindChildElem("contact", TRUE);
        if (cursor.FindChildElemWithAttrib("item", "id", XmlEscapeString(userName, TRUE))) {
            CContactItemChinaRen::ReadXml(&item, &cursor);
        } else {
            m_xml.ResetPos(cursor.GetId());
            if (!cursor.FindChildElem("contact", TRUE) || !cursor.InsertChildElemBefore("item", "item") ||
                !cursor.FindChildElem("item"))
                continue;
            item.m_custoId.Format("%lld", ++counter);
            item.m_read = 0;
            item.m_pinned = 0;
        }
        item.m_lastVisit = tavrin::FirstGroup(row, kLastVisit, Case::Insensitive);
        item.m_membership = membership;
        item.m_realName = realName;
        item.m_userName = userName;
        item.m_visitTime = tavrin::FirstGroup(row, kVisitTime, Case::Insensitive);
        item.m_id = userName;
        CContactItemChinaRen::WriteXml(&item, &cursor);
        ++members;
    }
    CString line;
    line.Format("[通讯录]共有%d位班级成员.", members);
    Log(line);
    Log("[通讯录]更新访问信息完成.");
}

void CContactStoreChinaRen::UpdateDetails(const CString& classId, CStringArray& ids)
{
    Log("[通讯录]开始更新成员资料...");
    CXmlCursor cursor(m_xml);
    m_xml.ResetPos(cursor.GetId());
    if (cursor.FindChildElem("contact")) {
        const int total = m_xml.GetChildCount(cursor.GetId());
        int position = 0;
        bool more = cursor.FindChildElem("item");
        CString line;
        while (more) {
            ++position;
            if (m_connection.IsStopped()) {
                Log("[通讯录]读取通讯录被中断.");
                break;
            }
            CContactItemChinaRen item;
            CContactItemChinaRen::ReadXml(&item, &cursor);
            bool listed = ids.GetSize() == 0;
            for (INT_PTR n = 0; n < ids.GetSize() && !listed; ++n)
                listed = ids[n] == item.m_custoId;
            if (listed) {
                line.Format("[通讯录]更新%d/%d[%s]...", position, total, item.m_realName);
                Log(line);
                CString path;
                path.Format("/class/class_personal.jsp?userid=%s&classuuid=%s&quuid=1",
                            tavrin::EscapeUrl(item.m_userName), classId);
                CByteArray reply;
                if (!tavrin::SignInFor(*this, &m_connection) ||
                    !m_connection.Request(ClassUrl(path), "", reply, "") || m_connection.IsStopped() ||
                    m_connection.GetStatusCode() >= 400) {
                    line.Format("[通讯录]更新[%s]的详细资料失败.", item.m_realName);
                    Log(line);
                    if (m_connection.IsStopped()) {
                        Log("[通讯录]读取通讯录被中断.");
                        break;
                    }
                } else {
                    CString page = tavrin::PageText(reply);
                    ReadDetails(page, item);
                    CContactItemChinaRen::WriteXml(&item, &cursor);
                }
            }
            more = m_xml.FindNextElem(TRUE, cursor.GetId());
        }
    }
    Log("[通讯录]更新成员资料完成.");
}

CString CContactStoreChinaRen::RenderPage(CString custoId)
{
    CString page;
    if (!tavrin::ReadTemplateFile(GetAppDir() + "\\styles\\chinaren\\default\\contact.html", page))
        return CString();
    CContactItemChinaRen item;
    if (!custoId.IsEmpty()) {
        CXmlCursor cursor(m_xml);
        m_xml.ResetPos(cursor.GetId());
        if (cursor.FindChildElem("contact") && cursor.FindChildElemWithAttrib("item", "custo_id", custoId))
            CContactItemChinaRen::ReadXml(&item, &cursor);
    }
    // Every value goes into a script string; the membership icons are ours,
    // the alt texts the site's.
    tavrin::FillScriptDataBlock(
        page, "通讯录",
        {item.m_userName, tavrin::SanitizeHtml(item.m_membership), item.m_visitTime, item.m_lastVisit,
         item.m_realName, item.m_sex, item.m_email, item.m_sq, item.m_mobile, item.m_birthday, item.m_education,
         item.m_job, item.m_city, item.m_company, item.m_companyAddress, item.m_address, item.m_postcode,
         item.m_phoneNumber, item.m_homepage, item.m_qq, item.m_msnIcq, item.m_selfIntro});
    return page;
}
