#include "providers/5460/ClassList5460.h"

#include "core/model/ModelEvents.h"
#include "core/services/Config.h"
#include "core/services/FolderUtil.h"
#include "core/services/HtmlTags.h"
#include "core/services/HttpClient.h"
#include "platform/base/AtomicWrite.h"
#include "platform/win/WinMessage.h"
#include "providers/5460/Account5460.h"
#include "providers/5460/PageScrape.h"
#include "providers/5460/SchoolClass5460.h"
#include "providers/5460/SignIn.h"
#include "providers/common/Escape.h"
#include "providers/common/PageTemplate.h"

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

void ApplyConfiguredProxy(CHttpClient& client)
{
    client.SetProxy(GetConfig(CFG_PROXY_HOST), GetConfig(CFG_PROXY_PORT), CString(), GetConfig(CFG_PROXY_USERNAME),
                    GetConfig(CFG_PROXY_PASSWORD), TRUE);
}

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
    page = tavrin::p5460::PageText(reply);
    return true;
}

} // namespace

void CAccount5460::PostAccountEvent(WPARAM code)
{
    if (HWND wnd = GetNotifyWnd())
        PostMessage(wnd, WM_ACCOUNT_EVENT, code, reinterpret_cast<LPARAM>(static_cast<CAccount*>(this)));
}

void CAccount5460::UpdateClassList(int)
{
    using namespace tavrin::p5460;
    ApplyConfiguredProxy(m_classListClient);
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
        PostAccountEvent(1);
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
        PostAccountEvent(1);
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
    PostAccountEvent(1);
}

void CAccount5460::ApplyClassList(const std::vector<ClassEntry>& entries)
{
    // The object of each entry: a class the account has already keeps its
    // object (and its running work); the others are made aside.
    std::vector<CSchoolClass*> objects(entries.size(), nullptr);
    std::vector<bool> made(entries.size(), false);
    CArray<CSchoolClass*, CSchoolClass*> leaving;
    {
        ClassesLock lock = LockClasses();
        std::vector<CSchoolClass*> current;
        for (int i = 0; i < GetClassCount(); ++i)
            current.push_back(GetClassAt(i));
        std::vector<bool> used(current.size(), false);
        for (size_t k = 0; k < entries.size(); ++k) {
            for (size_t j = 0; j < current.size(); ++j) {
                if (!used[j] && current[j]->GetId() == entries[k].id) {
                    used[j] = true;
                    objects[k] = current[j];
                    break;
                }
            }
        }
        CArray<CSchoolClass*, CSchoolClass*> staying;
        for (size_t j = 0; j < current.size(); ++j)
            (used[j] ? staying : leaving).Add(current[j]);
        // The classes that leave are out of the array before their teardown.
        ExchangeClasses(staying);
    }
    RetireClasses(leaving);

    // New classes load their folders only now, when no class that left is
    // at work in any folder.
    for (size_t k = 0; k < entries.size(); ++k) {
        if (objects[k])
            continue;
        CSchoolClass* schoolClass = CreateClass();
        if (!schoolClass)
            continue;
        schoolClass->SetAccount(this);
        schoolClass->SetId(entries[k].id);
        schoolClass->SetSchoolName(entries[k].schoolName);
        schoolClass->SetName(entries[k].name);
        schoolClass->SetCustoName(entries[k].displayName);
        schoolClass->SetSchoolId(entries[k].schoolId);
        schoolClass->CreateStores();
        objects[k] = schoolClass;
        made[k] = true;
    }

    ClassesLock lock = LockClasses();
    std::vector<CSchoolClass*> current;
    for (int i = 0; i < GetClassCount(); ++i)
        current.push_back(GetClassAt(i));
    auto listed = [&current](CSchoolClass* schoolClass) {
        for (CSchoolClass* c : current)
            if (c == schoolClass)
                return true;
        return false;
    };
    CArray<CSchoolClass*, CSchoolClass*> final;
    for (size_t k = 0; k < entries.size(); ++k) {
        if (!objects[k])
            continue;
        if (!made[k]) {
            // Deleted by the window meanwhile: it stays deleted.
            if (!listed(objects[k]))
                continue;
            objects[k]->SetSchoolName(entries[k].schoolName);
            objects[k]->SetName(entries[k].name);
            objects[k]->SetCustoName(entries[k].displayName);
            if (entries[k].pageRead)
                objects[k]->SetSchoolId(entries[k].schoolId);
        }
        final.Add(objects[k]);
    }
    // A class added meanwhile by someone else is not dropped.
    for (CSchoolClass* c : current) {
        bool known = false;
        for (CSchoolClass* o : objects)
            known = known || o == c;
        if (!known)
            final.Add(c);
    }
    ExchangeClasses(final);
}

void CAccount5460::RetireClasses(const CArray<CSchoolClass*, CSchoolClass*>& classes)
{
    for (INT_PTR i = 0; i < classes.GetSize(); ++i)
        classes[i]->BeginClose();
    for (INT_PTR i = 0; i < classes.GetSize(); ++i) {
        if (auto* schoolClass = dynamic_cast<CSchoolClass5460*>(classes[i]))
            schoolClass->TearDown();
        else
            classes[i]->Close();
        std::lock_guard<std::mutex> lock(m_retiredLock);
        m_retired.push_back(classes[i]);
    }
}

CAccount5460::~CAccount5460()
{
    // No class-list pass may still be retiring classes.
    Close();
    std::vector<CSchoolClass*> retired;
    {
        std::lock_guard<std::mutex> lock(m_retiredLock);
        retired.swap(m_retired);
    }
    for (CSchoolClass* schoolClass : retired)
        delete schoolClass;
}
