// The personal profile of a 5460 account: read from the provider's profile
// form into "profile.htm", and the form the user submitted from that page
// sent back.
#include "providers/5460/Account5460.h"

#include "core/services/FolderUtil.h"
#include "core/services/TextUtil.h"
#include "providers/5460/ClassList5460.h"
#include "providers/common/PageScrape.h"
#include "providers/5460/SignIn.h"
#include "providers/common/PageTemplate.h"
#include "providers/common/Session.h"
#include "providers/common/ProfilePage.h"

#include <string>

namespace {

using tavrin::Case;

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

} // namespace

void CAccount5460::ReadProfile(int)
{
    tavrin::BeginProfileRun(*this, m_profileReadClient, "[个人档案]开始读取...", "个人档案正在读取...");
    // The password is encoded: a "&" in it would cut the form.
    const CString body = "passwd=" + UrlEncode(GetPassword());
    const CString url = tavrin::p5460::PageUrl(GetProvider(), "/gy5460/jsp/register/update.jsp");

    bool read = false;
    CString signInPage;
    CByteArray reply;
    if (!Login(&m_profileReadClient, &signInPage)) {
        Log("[个人档案]登录失败, 无法读取.");
    } else if (!m_profileReadClient.Request(url, body, reply, "") || m_profileReadClient.IsStopped()) {
        Log("[个人档案]网络错误, 读取失败.");
    } else {
        const CString page = tavrin::PageText(reply);

        CString templ;
        tavrin::ReadTemplateFile(ProfileTemplatePath(), templ);
        std::vector<CString> values;
        values.push_back(tavrin::ProfileReadTime());
        for (const char* pattern : kProfilePatterns) {
            if (!pattern) {
                std::vector<CString> groups;
                values.push_back(tavrin::SearchFirst(page, kMale, Case::Insensitive, groups) ? "男" : "女");
                continue;
            }
            values.push_back(tavrin::FirstGroup(page, pattern, Case::Insensitive));
        }
        // Every value is escaped for the script string that holds it.
        tavrin::FillScriptDataBlock(templ, "个人资料", values);
        read = tavrin::WriteReadProfile(*this, !values[1].IsEmpty(), templ);
    }
    tavrin::EndProfileRead(*this, read);
}

void CAccount5460::UpdateProfile(CByteArray* form, int)
{
    tavrin::BeginProfileRun(*this, m_profileUpdateClient, "[个人档案]开始更新...", "个人档案正在更新...");
    const CString url = tavrin::p5460::PageUrl(GetProvider(), "/gy5460/jsp/register/updateInfo.jsp");

    bool updated = false;
    CString signInPage;
    CByteArray reply;
    CByteArray empty;
    if (!Login(&m_profileUpdateClient, &signInPage)) {
        Log("[个人档案]登录失败, 无法更新.");
    } else if (!m_profileUpdateClient.RequestWithRetry(url, form ? *form : empty, reply, "") ||
               m_profileUpdateClient.IsStopped()) {
        Log("[个人档案]更新失败.");
    } else if (tavrin::PageText(reply)
                   .Find(kUpdated) >= 0) {
        Log("[个人档案]更新完成.");
        StartReadProfile(0);
        updated = true;
    } else {
        Log("[个人档案]未知错误, 更新失败.");
    }
    tavrin::EndProfileUpdate(*this, updated);
}
