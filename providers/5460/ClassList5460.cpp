#include "providers/5460/ClassList5460.h"

#include "core/model/ModelEvents.h"
#include "core/services/Config.h"
#include "core/services/FolderUtil.h"
#include "core/services/HtmlTags.h"
#include "core/services/HttpClient.h"
#include "platform/base/AtomicWrite.h"
#include "platform/win/WinMessage.h"
#include "providers/5460/Account5460.h"
#include "providers/common/PageScrape.h"
#include "providers/5460/SchoolClass5460.h"
#include "providers/5460/SignIn.h"
#include "providers/common/Escape.h"
#include "providers/common/PageTemplate.h"
#include "providers/common/ProfilePage.h"
#include "providers/common/Session.h"

#include <set>
#include <string>

namespace tavrin::p5460 {

namespace {

// Welcome page (any letter case).
const char kRealName[] = "<td class=\"unnamed1\">姓名:(.*?)</td>";
const char kUserId[] = "<td class=\"unnamed1\">ID:(.*?)</td>";
const char kLoginCount[] = "<td class=\"unnamed1\">登录次数:(.*?)</td>";
const char kLink[] = "(<a class=\"style1\" target=\"gongneng\" href=\"gongneng\\.jsp\\?csid=.*?\">.*?</a>)";
const char kLinkFields[] = "<a class=\"style1\" target=\"gongneng\" href=\"gongneng\\.jsp\\?csid=(.*?)\">(.*?)/(.*?)</a>";

// Class page as the class-list pass reads it.
const char kSchoolId[] = "schoolID=([0-9]*)";
const char kListHome[] = "<span class=\"style12\">班级主页：(.*?) </span>";
const char kListManagers[] = "<td class=\"style12\">正管：(.*?) 副管：(.*?) </td>";
const char kListMembers[] = "<span class=\"style12\">成员数：(.*?)</span>";
const char kListVisits[] = "<span class=\"style12\">访问次数：(.*?)</span>";
const char kListSlogan[] = "<span class=\"style21\">班级宣言:(.*?)</span>";

// Class page as the class-information update reads it.
const char kInfoHome[] = "<span class=\"style12\">班级主页：(.*?)</span>";
const char kInfoManagers[] = "<td class=\"style12\">正管：(.*?)副管：(.*?)</td>";
const char kInfoMembers[] = "<td><span class=\"style12\">成员数：(.*?)</span></td>";
const char kInfoVisits[] = "<td><span class=\"style12\">访问次数：(.*?)</span></td>";
const char kInfoSlogan[] = "<span class=\"style21\">班级宣言:(.*?)</span></td>";

const char kWhiteSpace[] = " \t\n\r\v\f";

CString TrimmedRight(CString text)
{
    text.TrimRight(kWhiteSpace);
    return text;
}

} // namespace

std::vector<ClassEntry> ReadClassLinks(const CString& welcomePage)
{
    std::vector<ClassEntry> out;
    std::set<std::string> seen;
    for (const CString& link : AllMatches(welcomePage, kLink, Case::Insensitive)) {
        std::vector<CString> groups;
        if (!SearchFirst(link, kLinkFields, Case::Insensitive, groups) || groups.size() != 4)
            continue;
        ClassEntry entry;
        entry.id = groups[1];
        // The id becomes a folder name; a second link to a class would give
        // two objects over one folder.
        if (!IsSafeClassId(entry.id) || !seen.insert(entry.id.Str()).second)
            continue;
        entry.schoolName = groups[2];
        entry.name = groups[3];
        entry.displayName = entry.name;
        StripHtmlTags(entry.displayName);
        out.push_back(entry);
    }
    return out;
}

std::vector<CString> ReadClassInfo(const CString& page, ClassPageReading reading, const CString& schoolName,
                                   const CString& className, const CString& loginCount)
{
    std::vector<CString> values(8);
    std::vector<CString> groups;
    values[2] = schoolName;
    values[3] = className;
    if (reading == ClassPageReading::ClassList) {
        values[0] = FirstGroup(page, kListSlogan, Case::Sensitive);
        values[1] = FirstGroup(page, kListHome, Case::Sensitive);
        if (SearchFirst(page, kListManagers, Case::Sensitive, groups)) {
            values[4] = groups[1];
            values[5] = groups[2];
        }
        values[6] = FirstGroup(page, kListMembers, Case::Sensitive);
        if (SearchFirst(page, kListVisits, Case::Sensitive, groups)) {
            CString visits = groups[1];
            visits.Trim(kWhiteSpace);
            values[7].Format("%s/%s", visits, loginCount);
        }
    } else {
        values[0] = FirstGroup(page, kInfoSlogan, Case::Sensitive);
        values[1] = TrimmedRight(FirstGroup(page, kInfoHome, Case::Sensitive));
        if (SearchFirst(page, kInfoManagers, Case::Sensitive, groups)) {
            values[4] = TrimmedRight(groups[1]);
            values[5] = TrimmedRight(groups[2]);
        }
        values[6] = TrimmedRight(FirstGroup(page, kInfoMembers, Case::Sensitive));
        values[7] = TrimmedRight(FirstGroup(page, kInfoVisits, Case::Sensitive));
    }
    return values;
}

bool WriteClassInfoPage(const CString& templateText, const CString& folder, const std::vector<CString>& values)
{
    // A missing template would replace a good page by an empty one.
    if (templateText.IsEmpty() || values.size() < 5 || values[4].IsEmpty())
        return false;
    CString page = templateText;
    FillScriptDataBlock(page, "其他信息", values);
    const CString path = folder + "\\misc.htm";
    return WriteFileAtomic(path, page.GetString(), static_cast<size_t>(page.GetLength()));
}

} // namespace tavrin::p5460

using tavrin::p5460::ClassEntry;

namespace {

CString MiscTemplate()
{
    CString text;
    tavrin::ReadTemplateFile(GetAppDir() + "\\styles\\5460\\default\\misc.html", text);
    return text;
}

CString ClassPageUrl(const CString& provider, const CString& classId)
{
    return tavrin::p5460::PageUrl(provider, "/gy5460/jsp/class/class.jsp?classID=") + tavrin::EscapeUrl(classId);
}

// The class page on client, which carries the account's cookie.
bool ReadClassPage(CHttpClient& client, CAccount& account, const CString& classId, CString& page)
{
    // A closing account keeps the stop that its teardown set.
    if (!account.IsClosing())
        client.ResetStop();
    client.ClearCookies();
    client.AddCookie(account.GetCookie());
    CByteArray reply;
    if (!client.Request(ClassPageUrl(account.GetProvider(), classId), "", reply, "") || client.IsStopped())
        return false;
    page = tavrin::PageText(reply);
    return true;
}

} // namespace

void CAccount5460::UpdateClassList(int)
{
    using namespace tavrin::p5460;
    using tavrin::Case;
    using tavrin::FirstGroup;
    using tavrin::SearchFirst;
    tavrin::ApplyConfiguredProxy(m_classListClient);
    // A closing account keeps the stop that its teardown set.
    if (!IsClosing())
        m_classListClient.ResetStop();
    Log("[班级信息]开始更新...");

    CString page;
    int signedIn = 0;
    {
        // Held from emptying the cookie to putting it back: no other sign-in
        // comes between, so this one always sends its request and a failure
        // never puts back a cookie older than one signed in meanwhile.
        std::lock_guard<std::recursive_mutex> lock(m_loginLock);
        const CString saved = GetCookie();
        SetCookie(CString());
        signedIn = Login(&m_classListClient, &page);
        if (!signedIn || page.IsEmpty()) {
            SetCookie(saved);
            signedIn = 0;
        }
    }
    if (!signedIn) {
        Log("[班级信息]登陆失败, 无法更新.");
        tavrin::PostAccountEvent(this, 1);
        return;
    }

    std::vector<CString> groups;
    if (SearchFirst(page, kRealName, Case::Insensitive, groups))
        SetRealName(groups[1]);
    if (SearchFirst(page, kUserId, Case::Insensitive, groups))
        SetUserId(groups[1]);
    const CString loginCount = FirstGroup(page, kLoginCount, Case::Insensitive);

    std::vector<ClassEntry> entries = ReadClassLinks(page);
    if (entries.empty()) {
        // A welcome page naming no class is taken for a broken page: the
        // classes stay.
        Log("[班级信息]读取网页错误, 更新失败.");
        tavrin::PostAccountEvent(this, 1);
        return;
    }

    const CString misc = MiscTemplate();
    bool stopped = false;
    for (ClassEntry& entry : entries) {
        if (m_classListClient.IsStopped() || IsClosing()) {
            stopped = true;
            break;
        }
        CString folder;
        folder.Format("%s\\%s", GetDataFolder(), entry.id);
        // The stores and the pages shown for the class go into its folder.
        CreateDirectoryPath(folder);
        CString classPage;
        if (!ReadClassPage(m_classListClient, *this, entry.id, classPage))
            continue;
        entry.pageRead = true;
        entry.schoolId = FirstGroup(classPage, kSchoolId, Case::Sensitive);
        WriteClassInfoPage(misc,
                           folder,
                           ReadClassInfo(classPage, ClassPageReading::ClassList, entry.schoolName, entry.displayName,
                                         loginCount));
    }
    // A pass cut short by the account's teardown changes no class.
    if (!stopped)
        ApplyClassList(entries);

    Log("[班级信息]更新结束.");
    tavrin::PostAccountEvent(this, 1);
}

void CAccount5460::ApplyClassList(const std::vector<ClassEntry>& entries)
{
    // A class the account has already keeps its object (and its running
    // work); the others are made aside.
    std::vector<tavrin::ListedClass> listed;
    for (const ClassEntry& entry : entries) {
        tavrin::ListedClass item;
        item.id = entry.id;
        item.make = [this, &entry] {
            CSchoolClass* schoolClass = CreateClass();
            if (schoolClass) {
                schoolClass->SetAccount(this);
                schoolClass->SetId(entry.id);
                schoolClass->SetSchoolName(entry.schoolName);
                schoolClass->SetName(entry.name);
                schoolClass->SetCustoName(entry.displayName);
                schoolClass->SetSchoolId(entry.schoolId);
            }
            return schoolClass;
        };
        item.refresh = [&entry](CSchoolClass* schoolClass) {
            schoolClass->SetSchoolName(entry.schoolName);
            schoolClass->SetName(entry.name);
            schoolClass->SetCustoName(entry.displayName);
            if (entry.pageRead)
                schoolClass->SetSchoolId(entry.schoolId);
        };
        listed.push_back(std::move(item));
    }
    tavrin::ReplaceClasses(*this, m_retired, listed, true);
}

CAccount5460::~CAccount5460()
{
    // No class-list pass may still be retiring classes when they are freed.
    Close();
}
