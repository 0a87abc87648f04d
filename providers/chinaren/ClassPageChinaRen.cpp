// The class information page: the class home page read into "misc.htm",
// the announcement's pictures stored in the class's "images" folder.
#include "providers/chinaren/ClassPageChinaRen.h"

#include "core/model/Account.h"
#include "core/model/ModelEvents.h"
#include "core/services/FolderUtil.h"
#include "core/services/HtmlTags.h"
#include "platform/base/AtomicWrite.h"
#include "platform/win/WinMessage.h"
#include "providers/chinaren/SchoolClassChinaRen.h"
#include "providers/chinaren/site.h"
#include "providers/common/HtmlSanitizer.h"
#include "providers/common/PageScrape.h"
#include "providers/common/PageTemplate.h"
#include "providers/common/PictureFetch.h"
#include "providers/common/SafeFileName.h"
#include "providers/common/Session.h"

#include <map>
#include <string>
#include <string_view>

namespace tavrin::chinaren {

namespace {

const char kHeading[] =
    "table width=439  border=0 cellpadding=2 cellspacing=0>.*?<font color=246F00>&nbsp;(.*?)</font>.*?</table>";
const char* const kPatterns[] = {
    nullptr, // the heading, matched in any letter case
    "语音号码.*?<font color=4b4b4b>(.*?)</font>",
    "入学年份.*?<td width=130>([0-9]*)</td>",
    "成 员 数.*?<font color=4b4b4b>([0-9]*)</font>",
    "创 始 人.*?<a[^>]*>(.*?)</a>",
    "创建时间.*?<font color=4b4b4b>([\\-0-9]*)</font>",
    "班级首页.*?<center>(.*?)</center>",
    "管 理 员.*?<td colspan=\"3\">(.*?)</td>",
    "生 日 榜.*?<td class=cla1>(.*?)</td>",
    "在线同学:</font></td>.*?<td>(.*?)</td>",
    "<script>playAd\\(\\)</script>.*?<td>(.*?)</td>",
};
const char kLinkText[] = "<a[^>]*>(.*?)</a>";

// The site's image folders that the styles folder stands in for, on both
// of its image hosts.
void MapImageFolder(CString& text, const char* folder)
{
    for (const char* host : {kImageHost, kSohuImageHost}) {
        CString address;
        address.Format("http://%s%s", host, folder);
        text.Replace(address, kStyleImages);
    }
}

void RemoveLineBreaks(CString& text)
{
    text.Remove('\r');
    text.Remove('\n');
}

} // namespace

std::vector<CString> ReadClassPageValues(const CString& page)
{
    std::vector<CString> values(kClassPageValues);
    values[kClassHeading] = FirstGroup(page, kHeading, Case::Insensitive);
    for (int i = 1; i < kClassPageValues; ++i)
        values[i] = FirstGroup(page, kPatterns[i], Case::Sensitive);

    CString& voice = values[1];
    RemoveHtmlTags(voice, "<a>");
    voice.Replace("立即申请", "");

    CString admins;
    for (const CString& link : AllMatches(values[7], kLinkText, Case::Sensitive)) {
        if (!admins.IsEmpty())
            admins += " ";
        admins += FirstGroup(link, kLinkText, Case::Sensitive);
    }
    values[7] = admins;

    CString& birthdays = values[kBirthdays];
    RemoveHtmlTags(birthdays, "<a>");
    RemoveLineBreaks(birthdays);
    birthdays.Trim();
    birthdays.Replace("&nbsp;", "");
    birthdays.Replace("width=300 ", "");
    MapImageFolder(birthdays, "/product/tavrin3/images/");
    MapImageFolder(birthdays, "/cs/sms/tavrin3/sound/");
    birthdays.Replace("<embed src=", "<bgsound src=");

    CString& online = values[kOnline];
    RemoveHtmlTags(online, "<a>");
    RemoveLineBreaks(online);
    MapImageFolder(online, "/cs/sms/crm/images/");

    CString& announcement = values[kAnnouncement];
    RemoveLineBreaks(announcement);
    announcement.Trim();
    MapImageFolder(announcement, "/cs/sms/crm/images/");
    announcement.Replace("onload='javascript:adjustImg(this);'", kSwapSize);
    return values;
}

namespace {

// A file of the styles folder's pictures: the folder, then one plain name.
bool IsStylePicture(std::string_view value)
{
    const std::string_view folder = kStyleImages;
    if (value.substr(0, folder.size()) != folder || value.size() == folder.size())
        return false;
    const std::string_view name = value.substr(folder.size());
    if (name.front() == '.')
        return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
              c == '-'))
            return false;
    return true;
}

// The sound of the birthday list, once mapped into the styles folder.
bool IsOwnElement(std::string_view tag)
{
    return tag == "bgsound";
}

bool IsOwnAttribute(std::string_view tag, std::string_view attribute, std::string_view value)
{
    if (tag == "bgsound")
        return attribute == "src" && IsStylePicture(value);
    // The announcement pictures' handlers, exactly as the page gives them.
    if (tag == "img")
        return (attribute == "style" && value == "CURSOR: pointer") ||
               (attribute == "onload" && value == "javascript:swap_size(this)") ||
               (attribute == "onclick" && value == "swap_size(this)") ||
               (attribute == "onmousewheel" && value == "bbimg(this)");
    return false;
}

} // namespace

CString CleanClassPageHtml(const CString& html)
{
    OwnMarkup own;
    own.element = &IsOwnElement;
    own.attribute = &IsOwnAttribute;
    return SanitizeHtml(html, own);
}

} // namespace tavrin::chinaren

using namespace tavrin::chinaren;

void CSchoolClassChinaRen::LocalizeImages(CString& text, CHttpClient* client)
{
    CAccount* account = GetAccount();
    if (!client || !account || !::IsSafeClassId(GetId()))
        return;
    CString images;
    images.Format("%s\\%s\\images", account->GetDataFolder(), GetId());
    // The tags are taken from the text as it came; the text is rewritten
    // as the loop goes. An address met before keeps the source it got.
    const std::vector<CString> tags =
        tavrin::AllMatches(text, "(<img[^>]* src=[^>\\s]* [^>]*>)", tavrin::Case::Insensitive);
    std::map<std::string, CString> done;
    for (const CString& tag : tags) {
        std::vector<CString> groups;
        if (!tavrin::SearchFirst(tag, "<img[^>]* src=('|\")?(http://[^>\\s]*)('|\")? [^>]*>", tavrin::Case::Insensitive,
                                 groups))
            continue;
        CString address = groups[2];
        // The closing quote of either kind is not part of the address.
        if (address.Right(1) == "'" || address.Right(1) == "\"")
            address = address.Left(address.GetLength() - 1);
        if (done.count(address.Str()))
            continue;
        const CString fileName = tavrin::SafeFileName(address.Mid(address.ReverseFind('/') + 1));
        CString source = kMissingPicture;
        switch (tavrin::FetchPicture(*client, address, &IsChinaRenUrl, images, fileName)) {
        case tavrin::PictureFetch::Stored:
            source = "images/" + fileName;
            break;
        case tavrin::PictureFetch::Failed:
        case tavrin::PictureFetch::Stopped:
            break;
        }
        done[address.Str()] = source;
        text.Replace(address, source);
    }
}

void CSchoolClassChinaRen::UpdateClassInfo(int)
{
    Log("[班级信息]开始更新...");
    CAccount* account = GetAccount();
    if (!account)
        return;
    auto post = [&] {
        if (HWND wnd = account->GetNotifyWnd())
            PostMessage(wnd, WM_CLASS_EVENT, 1, reinterpret_cast<LPARAM>(static_cast<CSchoolClass*>(this)));
    };
    tavrin::ApplyConfiguredProxy(m_classInfoClient);
    // A closing class keeps the stop that its teardown set.
    if (!IsClosing())
        m_classInfoClient.ResetStop();
    m_classInfoClient.ClearCookies();
    m_classInfoClient.AddCookie(account->GetCookie());
    const CString id = GetId();
    CString referer;
    referer.Format("http://%s/album/classpic_index.jsp?classuuid=%s", kAlbumHost, id);
    m_classInfoClient.SetReferer(referer);

    CString signInPage;
    if (!account->Login(&m_classInfoClient, &signInPage)) {
        Log("[班级信息]登录失败, 无法更新.");
        post();
        return;
    }
    CString url;
    url.Format("http://%s/class/class_index.jsp?classuuid=%s", kClassHost, id);
    CByteArray reply;
    if (!m_classInfoClient.Request(url, "", reply, "") || m_classInfoClient.IsStopped()) {
        Log("[班级信息]网络错误, 更新失败.");
        post();
        return;
    }
    const CString page(reinterpret_cast<const char*>(reply.GetData()), static_cast<int>(reply.GetSize()));
    if (page.IsEmpty() || !::IsSafeClassId(id)) {
        Log("[班级信息]读取网页错误, 更新失败.");
        post();
        return;
    }
    CString misc;
    tavrin::ReadTemplateFile(GetAppDir() + "\\styles\\chinaren\\default\\misc.html", misc);
    std::vector<CString> values = ReadClassPageValues(page);
    LocalizeImages(values[kAnnouncement], &m_classInfoClient);
    // Remote HTML is cleaned as the last step, after every rewrite of ours.
    for (int html : {kHomePage, kBirthdays, kOnline, kAnnouncement})
        values[html] = CleanClassPageHtml(values[html]);
    // Every value is escaped for the script string that holds it.
    tavrin::FillScriptDataBlock(misc, "其他信息", values);

    CString folder;
    folder.Format("%s\\%s", account->GetDataFolder(), id);
    CreateDirectoryPath(folder);
    if (!values[kFounder].IsEmpty() &&
        tavrin::WriteFileAtomic(folder + "\\misc.htm", misc.GetString(), static_cast<size_t>(misc.GetLength())))
        Log("[班级信息]更新完成.");
    else
        Log("[班级信息]未知错误, 更新失败.");
    post();
}
