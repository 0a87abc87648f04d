// The personal profile of a 5460 account: read from the provider's profile
// form into "profile.htm", and the form the user submitted from that page
// sent back.
#include "providers/5460/Account5460.h"

#include "core/services/FolderUtil.h"
#include "core/services/TextUtil.h"
#include "platform/base/AtomicWrite.h"
#include "platform/base/Time.h"
#include "providers/5460/ClassList5460.h"
#include "providers/5460/PageScrape.h"
#include "providers/5460/SignIn.h"
#include "providers/common/PageTemplate.h"

#include <string>

namespace {

using tavrin::p5460::Case;

// The profile values after the reading time, in template order; the sex
// (the null entry) is read from its radio button.
const char* const kProfilePatterns[] = {
    "<input type=\"text\" name=\"cName\" maxlength=\"20\" size=\"10\" value=\"(.*?)\">",
    "<input type=\"Text\" name=\"NickName\" maxlength=\"20\" size=\"20\" value=\"(.*?)\">",
    nullptr,
    "<INPUT maxLength=15.*?name=passwd1 size=15 type=password value=\"(.*?)\" >",
    "<INPUT maxLength=4 name=year size=4 value=\"(.*?)\" >",
    "<INPUT\t  maxLength=2 name=month size=2 value=\"(.*?)\">",
    "<INPUT maxLength=2 name=day value=\"(.*?)\".*?size=2>",
    "<INPUT maxLength=30 name=question.*?size=23 value=\"(.*?)\">",
    "<INPUT maxLength=10 name=answer.*?size=10 value=\"(.*?)\" >",
    "<INPUT maxLength=100 name=Address   value=\"(.*?)\".*?size=50>",
    "<INPUT name=addPm type=checkbox value=保密 *(.*?)>",
    "<INPUT\t  maxLength=50 name=company size=50 value=\"(.*?)\">",
    "<INPUT name=comPm type=checkbox.*?value=保密 *(.*?)>",
    "<INPUT maxLength=60 name=Tele.*?size=50 value= \"(.*?)\">",
    "<INPUT name=telePm type=checkbox.*?value=保密 *(.*?)>",
    "<INPUT name=mobileCode id=\"mobileCode\" size=30 maxLength=15 value=\"(.*?)\">",
    "<INPUT\t  name=mobileCodePm type=checkbox id=\"mobileCodePm\" value=保密 *(.*?)>",
    "<INPUT\t  maxLength=60 name=Email size=50 value= \"(.*?)\">",
    "<INPUT name=emailPm type=checkbox.*?value=保密 *(.*?)>",
    "<INPUT maxLength=64 name=Icq  value=\"(.*?)\".*?size=30>",
    "<INPUT name=icqPm type=checkbox value=保密 *(.*?)>",
    "<INPUT name=\"homePage\".*?size=30 maxLength=60 value=\"(.*?)\">",
    "<INPUT name=homePagePm type=checkbox id=\"homePagePm\" value=保密 *(.*?)>",
    "<input type=\"Hidden\" Name=\"iconIndex\" value=\"(.*?)\">",
    "<TEXTAREA cols=50 name=Info rows=5>(.*?)</TEXTAREA>",
};
const char kMale[] = "<input name=\"sex\" type=\"radio\" value=\"男\" checked>";
const char kUpdated[] = "<b>恭喜您!您的个人资料修改成功了！</b>";

CString ProfileTemplatePath()
{
    return GetAppDir() + "\\styles\\5460\\default\\profile.html";
}

bool WritePage(const CString& path, const CString& page)
{
    return tavrin::WriteFileAtomic(path, page.GetString(), static_cast<size_t>(page.GetLength()));
}

} // namespace

bool CAccount5460::WriteProfileStatus(const char* status)
{
    CString page;
    if (!tavrin::ReadTemplateFile(GetAppDir() + "\\styles\\common\\profile_status.htm", page))
        return false;
    page.Replace("[当前状态]", status);
    CreateDirectoryPath(GetDataFolder());
    return WritePage(GetDataFolder() + "\\profile.htm", page);
}

void CAccount5460::ReadProfile(int)
{
    Log("[个人档案]开始读取...");
    if (WriteProfileStatus("个人档案正在读取..."))
        PostAccountEvent(4);
    tavrin::p5460::ApplyConfiguredProxy(m_profileReadClient);

    // The password is encoded: a "&" in it would cut the form.
    const CString body = "passwd=" + UrlEncode(GetPassword());
    const CString url = tavrin::p5460::PageUrl(GetProvider(), "/gy5460/jsp/register/update.jsp");
    if (!IsClosing())
        m_profileReadClient.ResetStop();
    m_profileReadClient.ClearCookies();
    m_profileReadClient.AddCookie(GetCookie());

    bool read = false;
    CString signInPage;
    CByteArray reply;
    if (!Login(&m_profileReadClient, &signInPage)) {
        Log("[个人档案]登录失败, 无法读取.");
    } else if (!m_profileReadClient.Request(url, body, reply, "") || m_profileReadClient.IsStopped()) {
        Log("[个人档案]网络错误, 读取失败.");
    } else {
        const CString page = tavrin::p5460::PageText(reply);

        CString templ;
        tavrin::ReadTemplateFile(ProfileTemplatePath(), templ);
        std::vector<CString> values;
        const CTime now = CTime::GetCurrentTime();
        CString stamp;
        stamp.Format("%.4d年%.2d月%.2d日 %.2d:%.2d:%.2d", now.GetYear(), now.GetMonth(), now.GetDay(), now.GetHour(),
                     now.GetMinute(), now.GetSecond());
        values.push_back(stamp);
        for (const char* pattern : kProfilePatterns) {
            if (!pattern) {
                std::vector<CString> groups;
                values.push_back(tavrin::p5460::SearchFirst(page, kMale, Case::Insensitive, groups) ? "男" : "女");
                continue;
            }
            values.push_back(tavrin::p5460::FirstGroup(page, pattern, Case::Insensitive));
        }
        // Every value is escaped for the script string that holds it.
        tavrin::FillScriptDataBlock(templ, "个人资料", values);
        CreateDirectoryPath(GetDataFolder());
        if (!values[1].IsEmpty() && WritePage(GetDataFolder() + "\\profile.htm", templ)) {
            Log("[个人档案]读取结束.");
            read = true;
        } else {
            Log("[个人档案]未知错误, 读取失败.");
        }
    }
    if (!read)
        WriteProfileStatus("个人档案读取失败.");
    PostAccountEvent(2);
}

void CAccount5460::UpdateProfile(CByteArray* form, int)
{
    Log("[个人档案]开始更新...");
    if (WriteProfileStatus("个人档案正在更新..."))
        PostAccountEvent(4);
    tavrin::p5460::ApplyConfiguredProxy(m_profileUpdateClient);
    const CString url = tavrin::p5460::PageUrl(GetProvider(), "/gy5460/jsp/register/updateInfo.jsp");
    if (!IsClosing())
        m_profileUpdateClient.ResetStop();
    m_profileUpdateClient.ClearCookies();
    m_profileUpdateClient.AddCookie(GetCookie());

    bool updated = false;
    CString signInPage;
    CByteArray reply;
    CByteArray empty;
    if (!Login(&m_profileUpdateClient, &signInPage)) {
        Log("[个人档案]登录失败, 无法更新.");
    } else if (!m_profileUpdateClient.RequestWithRetry(url, form ? *form : empty, reply, "") ||
               m_profileUpdateClient.IsStopped()) {
        Log("[个人档案]更新失败.");
    } else if (tavrin::p5460::PageText(reply)
                   .Find(kUpdated) >= 0) {
        Log("[个人档案]更新完成.");
        StartReadProfile(0);
        updated = true;
    } else {
        Log("[个人档案]未知错误, 更新失败.");
    }
    if (!updated && WriteProfileStatus("个人档案更新失败."))
        PostAccountEvent(4);
    PostAccountEvent(3);
}
