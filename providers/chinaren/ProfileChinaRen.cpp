// The personal profile of a ChinaRen account: the registration form of the
// class site read into "profile.htm" with its verification picture
// "reg.gif", and the form the user submitted from that page sent back.
#include "providers/chinaren/AccountChinaRen.h"

#include "core/model/SchoolClass.h"
#include "core/services/FolderUtil.h"
#include "platform/base/AtomicWrite.h"
#include "providers/chinaren/site.h"
#include "providers/common/PageScrape.h"
#include "providers/common/PageTemplate.h"
#include "providers/common/ProfilePage.h"
#include "providers/common/Session.h"

namespace {

using tavrin::Case;

// The 23 values in template order after the reading time and the class id;
// the sex (the null entry) is read from its radio button.
const char* const kProfilePatterns[] = {
    "<input name=\"realname\" type=\"text\" class=\"input1\" size=\"16\" value='(.*?)'  maxlength=\"16\">",
    nullptr,
    "<input name=mail value='(.*?)' size=20 maxsize=\"32\" class=\"input1\">",
    "<input class=\"input1\" name=mobile value='(.*?)' size=20 maxlength=\"11\">",
    "<input class=\"input1\" name=soq value='(.*?)' size=20 maxlength=\"11\">",
    "<input class=\"input1\" name=b_year size=4 value='(.*?)'>",
    "<select name=\"b_mon\" class=\"input1\" style='WIDTH: 40px'>(.*?)</select>",
    "<select name=\"b_day\" class=\"input1\" style='WIDTH: 40px'>(.*?)</select>",
    "<input type=\"checkbox\" name=\"ispublic\" value=\"B\"(.*?)>",
    "<select name=\"edu\" class=\"input1\">(.*?)</select>",
    "<select name=\"job\" class=\"input1\">(.*?)</select>",
    "<select name=\"revnew\" class=\"input1\">(.*?)</select>",
    "<select name=locate class=\"input1\">(.*?)</select>",
    "<input name=company class=\"input1\" value='(.*?)' size=29 maxlength=\"32\">",
    "<input name=officeaddress class=\"input1\" value='(.*?)' size=29 maxsize=\"32\">",
    "<input name=homeaddress class=\"input1\" value='(.*?)' size=29 maxlength=\"32\">",
    "<input name=zipcode class=\"input1\" value='(.*?)' size=29 maxsize=\"32\" maxlength=\"7\">",
    "<input name=phone class=\"input1\" value='(.*?)' size=29 maxlength=\"32\">",
    "<input name=homepage class=\"input1\" size=29 maxlength=\"32\" value=\"(.*?)\">",
    "<input name=oicq class=\"input1\" value='(.*?)' size=29 maxlength=\"32\"[^>]*?>",
    "<input name=icq class=\"input1\" value='(.*?)' size=29 maxlength=\"64\"[^>]*?>",
    "<textarea name=\"memo\" cols=\"36\" rows=\"4\" class=\"input1\">(.*?)</textarea>",
    "<input type=hidden name=tm value='(.*?)'>",
};
const char kMale[] = "<input name=isman type=radio value=1 CHECKED>";
const char kWrongCode[] = "<script>alert('请输入正确的认证信息');history.go(-1)</script>";

// Positions in the values handed to the template.
enum { kIspublic = 10, kMemo = 23, kTm = 24 };
const int kOptionLists[] = {8, 9, 11, 12, 13, 14};

CString ProfileUrl(const CString& classId)
{
    CString url;
    url.Format("http://%s/class/class_register.jsp?classuuid=%s", tavrin::chinaren::kClassHost, classId);
    return url;
}

CString ProfileTemplatePath()
{
    return GetAppDir() + "\\styles\\chinaren\\default\\profile.html";
}

// The profile's 25 texts: the reading time, the class id, then the values of
// the page in template order, ready to be escaped for their script strings.
std::vector<CString> ProfileValues(const CString& page, const CString& classId)
{
    std::vector<CString> values = {tavrin::ProfileReadTime(), classId};
    for (const char* pattern : kProfilePatterns) {
        if (!pattern) {
            std::vector<CString> groups;
            values.push_back(tavrin::SearchFirst(page, kMale, Case::Insensitive, groups) ? "男" : "女");
            continue;
        }
        values.push_back(tavrin::FirstGroup(page, pattern, Case::Insensitive));
    }
    values[kIspublic].Trim();
    // The memo on one line, the option lists without line breaks.
    values[kMemo].Remove('\r');
    values[kMemo].Replace("\n", " ");
    for (int list : kOptionLists) {
        values[list].Remove('\r');
        values[list].Remove('\n');
    }
    return values;
}

} // namespace

CString CAccountChinaRen::FirstClassId()
{
    // Read once: a class-list pass may change the classes meanwhile.
    ClassesLock lock = LockClasses();
    CSchoolClass* first = GetClassAt(0);
    return first ? first->GetId() : CString();
}

void CAccountChinaRen::ReadProfile(int)
{
    tavrin::BeginProfileRun(*this, m_profileReadClient, "[个人档案]开始读取...", "个人档案正在读取...");
    const CString classId = FirstClassId();

    bool read = false;
    CString signInPage;
    CByteArray reply;
    if (!Login(&m_profileReadClient, &signInPage)) {
        Log("[个人档案]登录失败, 无法读取.");
    } else if (classId.IsEmpty() || !m_profileReadClient.Request(ProfileUrl(classId), "", reply, "") ||
               m_profileReadClient.IsStopped()) {
        Log("[个人档案]网络错误, 读取失败.");
    } else {
        const CString page(reinterpret_cast<const char*>(reply.GetData()), static_cast<int>(reply.GetSize()));
        CString templ;
        tavrin::ReadTemplateFile(ProfileTemplatePath(), templ);
        const std::vector<CString> values = ProfileValues(page, classId);
        const CString& tm = values[kTm];

        // The picture of the form's stamp, whatever the answer holds.
        CString pictureUrl;
        pictureUrl.Format("http://%s/verifyimg?creg%s", tavrin::chinaren::kVerifyHost, tm);
        CByteArray picture;
        if (m_profileReadClient.Request(pictureUrl, "", picture, "") && !m_profileReadClient.IsStopped()) {
            CreateDirectoryPath(GetDataFolder());
            tavrin::WriteFileAtomic(GetDataFolder() + "\\reg.gif", picture.GetData(),
                                    static_cast<size_t>(picture.GetSize()));
        }

        // Every value is escaped for the script string that holds it.
        tavrin::FillScriptDataBlock(templ, "个人资料", values);
        read = tavrin::WriteReadProfile(*this, !tm.IsEmpty(), templ);
    }
    tavrin::EndProfileRead(*this, read);
}

void CAccountChinaRen::UpdateProfile(CByteArray* form, int)
{
    tavrin::BeginProfileRun(*this, m_profileUpdateClient, "[个人档案]开始更新...", "个人档案正在更新...");
    const CString classId = FirstClassId();

    bool updated = false;
    CString signInPage;
    CByteArray reply;
    CByteArray empty;
    if (!Login(&m_profileUpdateClient, &signInPage)) {
        Log("[个人档案]登录失败, 无法更新.");
    } else if (classId.IsEmpty() ||
               !m_profileUpdateClient.RequestWithRetry(ProfileUrl(classId), form ? *form : empty, reply, "") ||
               m_profileUpdateClient.IsStopped() || m_profileUpdateClient.GetStatusCode() >= 400) {
        // An error answer is no success: the site kept the old profile.
        Log("[个人档案]网络错误, 更新失败.");
    } else if (CString(reinterpret_cast<const char*>(reply.GetData()), static_cast<int>(reply.GetSize()))
                   .Find(kWrongCode) >= 0) {
        Log("[个人档案]验证码错误, 更新失败.");
    } else {
        Log("[个人档案]更新完成.");
        StartReadProfile(0);
        updated = true;
    }
    tavrin::EndProfileUpdate(*this, updated);
}
