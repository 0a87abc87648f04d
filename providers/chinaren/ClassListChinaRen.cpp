// The class-list update: sign in afresh, read the home page, put one new
// class per link in place of the account's classes, fetch both verification
// pictures of each and start its class page.
#include "providers/chinaren/ClassListChinaRen.h"

#include "core/model/SchoolClass.h"
#include "core/services/FolderUtil.h"
#include "core/services/HtmlTags.h"
#include "providers/chinaren/AccountChinaRen.h"
#include "providers/chinaren/AuthCode.h"
#include "providers/chinaren/site.h"
#include "providers/common/PageScrape.h"
#include "providers/common/ProfilePage.h"
#include "providers/common/Session.h"

#include <mutex>
#include <set>
#include <string>

namespace tavrin::chinaren {

namespace {

const char kClassLink[] = "<a href=\"/school/class_list\\.jsp\\?schooluuid=([0-9]+)\" class=cr2>([^<]*)</a>.*?"
                          "<a href=\"/class/class_index\\.jsp\\?classuuid=([0-9]+)\" class=cr3>(.*?)</a>";

} // namespace

std::vector<ClassLink> ReadClassLinks(const CString& homePage)
{
    std::vector<ClassLink> out;
    std::set<std::string> seen;
    for (const CString& match : AllMatches(homePage, kClassLink, Case::Insensitive)) {
        std::vector<CString> groups;
        if (!SearchFirst(match, kClassLink, Case::Insensitive, groups) || groups.size() != 5)
            continue;
        ClassLink link;
        link.schoolId = groups[1];
        link.schoolName = groups[2];
        link.id = groups[3];
        link.name = groups[4];
        StripHtmlTags(link.name);
        // Two objects over one folder would write the same files.
        if (!IsSafeClassId(link.id) || !seen.insert(link.id.Str()).second)
            continue;
        out.push_back(link);
    }
    return out;
}

} // namespace tavrin::chinaren

using namespace tavrin::chinaren;

CAccountChinaRen::~CAccountChinaRen()
{
    // No class-list pass may still be retiring classes when they are freed.
    Close();
}

void CAccountChinaRen::UpdateClassList(int)
{
    Log("[班级信息]开始更新...");
    tavrin::ApplyConfiguredProxy(m_classListClient);
    // A closing account keeps the stop that its teardown set.
    if (!IsClosing())
        m_classListClient.ResetStop();

    CString page;
    int signedIn = 0;
    {
        // Held from emptying the cookie through the sign-in, so this pass
        // always signs in afresh.
        std::lock_guard<std::recursive_mutex> lock(m_loginLock);
        SetCookie(CString());
        signedIn = Login(&m_classListClient, &page);
    }
    if (!signedIn) {
        Log("[班级信息]更新失败.");
        tavrin::PostAccountEvent(this, 1);
        return;
    }

    m_classListClient.ClearCookies();
    m_classListClient.AddCookie(GetCookie());
    CString url;
    url.Format("http://%s/index.jsp?home=1", kClassHost);
    CByteArray reply;
    if (!m_classListClient.Request(url, "", reply, "") || m_classListClient.IsStopped()) {
        Log("[班级信息]网络错误, 更新失败.");
        tavrin::PostAccountEvent(this, 1);
        return;
    }
    // The page is read before anything changes: a page naming no class is
    // taken for a broken page, and the classes stay.
    const CString home(reinterpret_cast<const char*>(reply.GetData()), static_cast<int>(reply.GetSize()));
    const std::vector<ClassLink> links = ReadClassLinks(home);
    if (links.empty()) {
        Log("[班级信息]读取网页错误, 更新失败.");
        tavrin::PostAccountEvent(this, 1);
        return;
    }
    // A pass cut short by the account's teardown changes no class.
    if (m_classListClient.IsStopped() || IsClosing()) {
        Log("[班级信息]更新结束.");
        tavrin::PostAccountEvent(this, 1);
        return;
    }

    std::vector<tavrin::ListedClass> listed;
    for (const ClassLink& link : links) {
        tavrin::ListedClass item;
        item.id = link.id;
        item.make = [this, &link] {
            CSchoolClass* schoolClass = CreateClass();
            schoolClass->SetAccount(this);
            schoolClass->SetSchoolName(link.schoolName);
            schoolClass->SetSchoolId(link.schoolId);
            schoolClass->SetId(link.id);
            schoolClass->SetName(link.name);
            schoolClass->SetCustoName(link.name);
            return schoolClass;
        };
        listed.push_back(std::move(item));
    }
    // Every listed class is a new object: a display name the user gave is
    // reset and the keys are fresh.
    const std::vector<CSchoolClass*> made = tavrin::ReplaceClasses(*this, m_retired, listed, false);

    AuthRenewal renewal;
    renewal.deleteFirst = true;
    for (size_t k = 0; k < made.size() && !m_classListClient.IsStopped(); ++k) {
        if (!made[k])
            continue;
        CString folder;
        folder.Format("%s\\%s", GetDataFolder(), links[k].id);
        CreateDirectoryPath(folder);
        RenewAuthImage(*this, made[k], kMessageAuthKind, m_classListClient, renewal);
        RenewAuthImage(*this, made[k], kPhotoAuthKind, m_classListClient, renewal);
        // The class page of a class the window has deleted meanwhile is not
        // asked for.
        ClassesLock lock = LockClasses();
        if (HasClass(made[k]))
            made[k]->StartUpdateClassInfo(0);
    }
    Log("[班级信息]更新结束.");
    tavrin::PostAccountEvent(this, 1);
}
