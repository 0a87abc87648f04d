// The message board update: the three listings of the board newest first,
// the pinned messages, the stop mark "last" and the class vote, stored at
// the head of "message.xml".
#include "providers/chinaren/MessageStoreChinaRen.h"

#include "core/model/Account.h"
#include "core/model/ModelEvents.h"
#include "core/model/SchoolClass.h"
#include "core/services/HtmlTags.h"
#include "core/services/XmlFile.h"
#include "platform/win/WinMessage.h"
#include "providers/chinaren/ClassPageChinaRen.h"
#include "providers/chinaren/site.h"
#include "providers/common/HtmlSanitizer.h"
#include "providers/common/MessagePictures.h"
#include "providers/common/PageScrape.h"
#include "providers/common/StoreEvents.h"

#include <cstdlib>
#include <deque>
#include <set>
#include <string>
#include <vector>

using tavrin::Case;
using tavrin::chinaren::kVoteButton;

namespace {

const char* const kListPaths[] = {
    "/class/class_leaveword.jsp?classuuid=%s&p=%d",
    "/class/class_leaveword2.jsp?classuuid=%s&p=%d&msgtype=1&type=3",
    "/class/class_leaveword2.jsp?classuuid=%s&p=%d&msgtype=1&type=4",
};
const char kBoardTitle[] = "<title>ChinaRen校友录 班级留言</title>";
const char kHistoryTitle[] = "<title>ChinaRen校友录 历史留言</title>";
const char kRow[] = "(<tr bgcolor=F3F3F3>.*?<font color=46A718>[^<]*</font>.*?<script>(doFlatTxt|doStr)\\('(.*?)'\\)</script>)";
const char kClosing[] = "由于系统资源有限，校友录留言只显示";
const char kFlatText[] = "doFlatTxt\\('(.*?) &nbsp;', '[0-9]*'\\)</script>";
const char kText[] = "doStr\\('(.*?)'\\)</script>";
const char kTime[] = "<font color=46A718>(.*?)</font>";
const char kMember[] = "<a [^>]*class=cr4>([^<]*)</a>";
const char kGuest[] = "<(a|font) [^>]*class=(\"green1\"|green1)>([^<]*)<(/a|/font)>";
const char kDelete[] = "<a href=\".*?delmsg\\('([0-9]*?)', '([0-9]*?)', [0-9]*?\\)\">";
const char kPinned[] = "本条是置顶留言,管理员可以置顶五条留言";
const char kVoteShown[] = "<script> var voteTip = new Array.*?创建人\\:(.*?)<br>理　由:(.*?)\".*?</script>"
                          "(.*?班级投票\\: (.*?)　总票数\\:.*?<td width=200>比例</td>.*?</table>)";
const char kVoteBallot[] = "(<table  class=cla1 cellspacing=0 cellpadding=0 width=width border=0 cellpadding=2 "
                           "cellspacing=2>.*?var voteTip = new Array.*?创建人\\:(.*?)<br>理　由:(.*?)\".*?"
                           "班级投票\\: (.*?)</font>.*?</table>)";
const char kVoteLink[] = "(<a href=class_vote\\.jsp\\?classuuid=[0-9]*>.*?</a>)";
const char kBallotScripts[] =
    "(<script language=\"JavaScript\">.*?</script>)|(<input class=txtbtn type=\"button\" value=\"查看\" "
    "onclick=\"doView\\(\\)\">)";
const char kNoticeTexts[][20] = {"对该图片发表新评论", "上传新图片", "转贴新图片"};

// How a page loop ended.
enum class Ending { Reached, Limit, Exhausted, Failed };

bool Older(const CMessageItemChinaRen& item, const CMessageItemChinaRen& mark)
{
    return item == mark || CompareStoreText(item.m_time, mark.m_time) < 0;
}

std::string Key(const CMessageItemChinaRen& item)
{
    return item.m_time.Str() + '\x01' + item.m_user.Str() + '\x01' + item.m_content.Str();
}

// Every match of pattern removed from text.
void RemoveMatches(CString& text, const char* pattern)
{
    for (const CString& match : tavrin::AllMatches(text, pattern, Case::Insensitive))
        text.Replace(match, "");
}

// The ballot's own markup: its form posting to the program, its choices and
// hidden fields, and the one vote button.
bool IsBallotElement(std::string_view tag)
{
    return tag == "form" || tag == "input";
}

bool IsBallotAttribute(std::string_view tag, std::string_view attribute, std::string_view value)
{
    if (tag == "form")
        return (attribute == "method" && (value == "post" || value == "POST" || value == "get" || value == "GET")) ||
               (attribute == "action" && value == "tavrin:投票");
    if (tag == "input")
        return (attribute == "type" &&
                (value == "radio" || value == "checkbox" || value == "hidden" || value == "button")) ||
               attribute == "name" || (attribute == "value" && value.find_first_of("<>") == std::string_view::npos) ||
               (attribute == "class" && value == "txtbtn") || (attribute == "onclick" && value == "doSubmit()");
    return false;
}

} // namespace

CString tavrin::chinaren::CleanBallotHtml(const CString& html)
{
    tavrin::OwnMarkup own;
    own.element = &IsBallotElement;
    own.attribute = &IsBallotAttribute;
    return tavrin::SanitizeHtml(html, own);
}

struct CMessageStoreChinaRen::Run {
    CMessageItemChinaRen last;
    bool keepGoing = true;
    bool ordinarySeen = false;
    // Newest first.
    std::vector<CMessageItemChinaRen> pinned;
    // Oldest at the front.
    std::deque<CMessageItemChinaRen> taken;
    std::set<std::string> seen;
    int repeated = 0;
    int ordinary = 0;
};

void CMessageStoreChinaRen::Log(const CString& text)
{
    tavrin::LogToClass(*this, text);
}

void CMessageStoreChinaRen::PostEvent(WPARAM code)
{
    tavrin::PostClassEvent(*this, code);
}

void CMessageStoreChinaRen::SendEvent(WPARAM code)
{
    tavrin::SendClassEvent(*this, code);
}

int CMessageStoreChinaRen::Login()
{
    return tavrin::SignInFor(*this, &m_updateClient);
}

void CMessageStoreChinaRen::LocalizeImages(CMessageItemChinaRen& item, CHttpClient& client, const CString& raw)
{
    CSchoolClass* schoolClass = GetSchoolClass();
    const CString id = schoolClass ? schoolClass->GetId() : CString();
    CString referer;
    referer.Format("http://%s/class/class_leaveword.jsp?classuuid=%s", tavrin::chinaren::kClassHost, id);
    client.SetReferer(referer);
    bool notice = false;
    for (const char* text : kNoticeTexts)
        notice = notice || item.m_content.Find(text) >= 0;
    CString albumLink;
    albumLink.Format("<a href=http://%s/album/classpic_index\\.jsp\\?classuuid=[0-9]*&picid=([0-9]*) "
                     "target=_blank>(.*?)</a>",
                     tavrin::RegexLiteral(tavrin::chinaren::kAlbumHost).c_str());
    const tavrin::NoticeLinks links = notice ? tavrin::ReadNoticeLinks(raw, albumLink) : tavrin::NoticeLinks();
    // The provider's links go once, before any picture is linked.
    RemoveHtmlTags(item.m_content, "<a>");
    const tavrin::PictureSite site{GetClassFolder() + "\\images", tavrin::chinaren::kMissingPicture,
                                   &tavrin::chinaren::IsChinaRenUrl};
    tavrin::LocalizeMessagePictures(item.m_content, client, site, notice ? &links : nullptr);
}

void CMessageStoreChinaRen::ReadRow(const CString& row, Run& run, CXmlCursor& cursor, int mode)
{
    CMessageItemChinaRen item;
    CString content = tavrin::FirstGroup(row, kFlatText, Case::Insensitive);
    if (content.IsEmpty())
        content = tavrin::FirstGroup(row, kText, Case::Insensitive);
    RemoveHtmlElements(content, "<SCRIPT>");
    const struct {
        const char* host;
        const char* folder;
    } prefixes[] = {{tavrin::chinaren::kImageHost, "/product/tavrin3/images/"},
                    {tavrin::chinaren::kSohuImageHost, "/cs/sms/tavrin3/images/"},
                    {tavrin::chinaren::kSohuImageHost, "/cs/sms/tavrin3/icon/"}};
    for (const auto& prefix : prefixes) {
        CString address;
        address.Format("http://%s%s", prefix.host, prefix.folder);
        content.Replace(address, tavrin::chinaren::kStyleImages);
    }
    content.Replace("\\\"", "\"");
    content.Replace("\\'", "'");
    content.Replace("\\\\", "\\");
    item.m_content = content;
    item.m_title = content;
    StripHtmlTags(item.m_title);
    item.m_title.Trim();
    item.m_time = tavrin::FirstGroup(row, kTime, Case::Insensitive).Left(19);
    std::vector<CString> groups;
    if (tavrin::SearchFirst(row, kMember, Case::Insensitive, groups))
        item.m_user = groups[1];
    else if (tavrin::SearchFirst(row, kGuest, Case::Insensitive, groups))
        item.m_user = groups[3];
    StripHtmlTags(item.m_user);
    item.m_id = tavrin::FirstGroup(row, kDelete, Case::Insensitive);
    LocalizeImages(item, m_updateClient, row);
    // Stored clean: the page cleans it again as its last step.
    item.m_content = tavrin::SanitizeHtml(item.m_content);

    std::vector<CString> pinnedMark;
    if (tavrin::SearchFirst(row, kPinned, Case::Insensitive, pinnedMark)) {
        item.m_pinned = 1;
        auto at = run.pinned.begin();
        while (at != run.pinned.end() && CompareStoreText(at->m_time, item.m_time) >= 0)
            ++at;
        run.pinned.insert(at, item);
        return;
    }

    if (!run.ordinarySeen) {
        run.ordinarySeen = true;
        m_xml.ResetPos(cursor.GetId());
        if (mode == 1 && cursor.FindChildElem("message")) {
            cursor.RemoveChildElem("top");
            m_xml.ResetPos(cursor.GetId());
        }
        if (!run.pinned.empty()) {
            m_xml.ResetPos(cursor.GetId());
            cursor.FindChildElem("message", TRUE);
            cursor.FindChildElem("top", TRUE);
            bool differ = false;
            std::vector<CMessageItemChinaRen> copy = run.pinned;
            bool any = cursor.FindChildElem("item");
            if (any) {
                do {
                    CMessageItemChinaRen stored;
                    CMessageItemChinaRen::ReadXml(&stored, &cursor);
                    auto equal = copy.begin();
                    while (equal != copy.end() && !(*equal == stored))
                        ++equal;
                    if (equal == copy.end()) {
                        differ = true;
                        break;
                    }
                    copy.erase(equal);
                } while (m_xml.FindNextElem(TRUE, cursor.GetId()));
                differ = differ || !copy.empty();
            }
            m_xml.ResetPos(cursor.GetId());
            cursor.FindChildElem("message", TRUE);
            if (differ)
                cursor.RemoveChildElem("top");
            if (differ || !any) {
                cursor.FindChildElem("top", TRUE);
                for (CMessageItemChinaRen entry : run.pinned) {
                    cursor.InsertChildElemBefore("item", "item");
                    cursor.FindChildElem("item");
                    entry.m_custoId = "-1";
                    entry.m_read = 0;
                    CMessageItemChinaRen::WriteXml(&entry, &cursor);
                    m_xml.OutOfElem(cursor.GetId());
                }
            }
        }
    }

    item.m_pinned = 0;
    ++run.ordinary;
    // A row this run has taken already: the board served a page again.
    if (!run.seen.insert(Key(item)).second) {
        ++run.repeated;
        return;
    }
    while (!run.pinned.empty()) {
        const CMessageItemChinaRen& newest = run.pinned.front();
        if (CompareStoreText(item.m_time, newest.m_time) > 0)
            break;
        if (Older(newest, run.last)) {
            run.keepGoing = false;
            return;
        }
        run.taken.push_front(newest);
        run.pinned.erase(run.pinned.begin());
    }
    if (!run.keepGoing)
        return;
    if (Older(item, run.last)) {
        run.keepGoing = false;
        return;
    }
    run.taken.push_front(item);
}

CMessageItemChinaRen CMessageStoreChinaRen::ReadVote()
{
    CMessageItemChinaRen vote;
    CSchoolClass* schoolClass = GetSchoolClass();
    CString url;
    url.Format("http://%s/class/class_index.jsp?classuuid=%s", tavrin::chinaren::kClassHost,
               schoolClass ? schoolClass->GetId() : CString());
    Log("[留言]开始读取班级投票...");
    CByteArray bytes;
    if (!Login() || !m_updateClient.Request(url, "", bytes, "") || m_updateClient.IsStopped()) {
        Log("[留言]无法读取班级投票信息.");
        Log("[留言]读取班级投票完成.");
        return vote;
    }
    const CString page = tavrin::PageText(bytes);
    CString stylePrefix;
    stylePrefix.Format("http://%s/cs/sms/tavrin3/images/", tavrin::chinaren::kImageHost);
    std::vector<CString> groups;
    if (tavrin::SearchFirst(page, kVoteShown, Case::Insensitive, groups)) {
        vote.m_content = groups[3];
        vote.m_user = groups[1];
        vote.m_title = groups[4];
        vote.m_voteReason = groups[2];
        vote.m_content.Remove('\r');
        vote.m_content.Remove('\n');
        vote.m_content.Replace(stylePrefix, tavrin::chinaren::kStyleImages);
        RemoveMatches(vote.m_content, kVoteLink);
        vote.m_content = tavrin::SanitizeHtml(vote.m_content);
    } else if (tavrin::SearchFirst(page, kVoteBallot, Case::Insensitive, groups)) {
        vote.m_content = groups[1];
        vote.m_user = groups[2];
        vote.m_title = groups[4];
        vote.m_voteReason = groups[3];
        vote.m_content.Remove('\r');
        vote.m_content.Remove('\n');
        vote.m_content.Replace(stylePrefix, tavrin::chinaren::kStyleImages);
        vote.m_content.Replace("class_vote.jsp?action=VOTE", "tavrin:投票");
        vote.m_content.Replace(" target=_blank", "");
        RemoveMatches(vote.m_content, kBallotScripts);
        // The ballot's vote button in the one form the page and the vote
        // operation know.
        for (const CString& button : tavrin::AllMatches(vote.m_content, "<input[^>]*value=(\"|')?投票(\"|')?[^>]*>",
                                                        Case::Insensitive))
            vote.m_content.Replace(button, kVoteButton);
        vote.m_content = tavrin::chinaren::CleanBallotHtml(vote.m_content);
    }
    if (!vote.m_content.IsEmpty()) {
        vote.m_pinned = 1;
        vote.m_read = 1;
        vote.m_custoId = "-10000";
        vote.m_id = "-1";
        vote.m_time = "-";
    }
    Log("[留言]读取班级投票完成.");
    return vote;
}

void CMessageStoreChinaRen::Write(Run& run, CXmlCursor& cursor, const CMessageItemChinaRen& vote, bool rebuild)
{
    m_xml.ResetPos(cursor.GetId());
    cursor.FindChildElem("message", TRUE);
    cursor.RemoveChildElem("vote");

    // The stored messages: their read marks survive a rebuild, and a run
    // that merges takes none of them twice.
    std::vector<CMessageItemChinaRen> stored;
    if (cursor.FindChildElem("item")) {
        do {
            CMessageItemChinaRen item;
            CMessageItemChinaRen::ReadXml(&item, &cursor);
            stored.push_back(item);
        } while (m_xml.FindNextElem(TRUE, cursor.GetId()));
        m_xml.OutOfElem(cursor.GetId());
    }
    auto storedEqual = [&stored](const CMessageItemChinaRen& item) -> const CMessageItemChinaRen* {
        for (const CMessageItemChinaRen& s : stored)
            if (s == item)
                return &s;
        return nullptr;
    };

    int base = 0;
    if (rebuild) {
        std::vector<CMessageItemChinaRen> pinned;
        if (cursor.FindChildElem("top")) {
            if (cursor.FindChildElem("item")) {
                do {
                    CMessageItemChinaRen item;
                    CMessageItemChinaRen::ReadXml(&item, &cursor);
                    pinned.push_back(item);
                } while (m_xml.FindNextElem(TRUE, cursor.GetId()));
            }
        }
        m_xml.Clear();
        m_xml.ResetPos(cursor.GetId());
        cursor.FindChildElem("message", TRUE);
        cursor.FindChildElem("top", TRUE);
        for (CMessageItemChinaRen item : pinned) {
            cursor.InsertChildElemBefore("item", "item");
            cursor.FindChildElem("item");
            item.m_custoId = "-1";
            item.m_read = 0;
            CMessageItemChinaRen::WriteXml(&item, &cursor);
            m_xml.OutOfElem(cursor.GetId());
        }
        m_xml.ResetPos(cursor.GetId());
        cursor.FindChildElem("message", TRUE);
    } else {
        if (!stored.empty())
            base = static_cast<int>(StoreTextNumber(stored.front().m_custoId));
        // Only what is not stored yet goes on top.
        std::deque<CMessageItemChinaRen> fresh;
        for (const CMessageItemChinaRen& item : run.taken)
            if (!storedEqual(item))
                fresh.push_back(item);
        run.taken.swap(fresh);
    }

    if (!vote.m_content.IsEmpty()) {
        CMessageItemChinaRen copy = vote;
        cursor.InsertChildElemBefore("item", "vote");
        cursor.FindChildElem("vote");
        cursor.FindChildElem("item", TRUE);
        CMessageItemChinaRen::WriteXml(&copy, &cursor);
        m_xml.OutOfElem(cursor.GetId());
        m_xml.OutOfElem(cursor.GetId());
    }

    int newMessages = 0;
    CMessageItemChinaRen newest;
    for (CMessageItemChinaRen item : run.taken) {
        ++newMessages;
        const CMessageItemChinaRen* before = rebuild ? storedEqual(item) : nullptr;
        cursor.InsertChildElemBefore("item", "item");
        cursor.FindChildElem("item");
        item.m_custoId.Format("%d", ++base);
        item.m_read = before ? before->m_read : 0;
        CMessageItemChinaRen::WriteXml(&item, &cursor);
        m_xml.OutOfElem(cursor.GetId());
        newest = item;
    }
    // A rebuild stores the board again: only messages that were not stored
    // before count as new.
    int counted = newMessages;
    if (rebuild)
        for (const CMessageItemChinaRen& item : run.taken)
            counted -= storedEqual(item) ? 1 : 0;
    m_newMessageCount = counted;
    if (newMessages > 0) {
        cursor.RemoveChildElem("last");
        cursor.InsertChildElemBefore("item", "last");
        cursor.FindChildElem("last");
        newest.m_custoId.Format("%d", ++base);
        newest.m_read = 0;
        CMessageItemChinaRen::WriteXml(&newest, &cursor);
        m_xml.OutOfElem(cursor.GetId());
    }
}

void CMessageStoreChinaRen::Update(int count, int mode)
{
    Log("[留言]开始更新...");
    PostEvent(27);
    PrepareHttpClient(&m_updateClient);
    CXmlCursor cursor(m_xml);
    Run run;
    if (mode == 0) {
        count = 3000;
        m_xml.ResetPos(cursor.GetId());
        if (cursor.FindChildElem("message") && cursor.FindChildElem("last"))
            CMessageItemChinaRen::ReadXml(&run.last, &cursor);
    }
    m_newMessageCount = 0;
    m_newReplyCount = 0;
    const CString classId = GetSchoolClass() ? GetSchoolClass()->GetId() : CString();

    int kind = 0;
    int kindPage = 1;
    int counted = 1;
    int pagesRead = 0;
    Ending ending = Ending::Failed;
    CString url;
    url.Format(CString("http://") + tavrin::chinaren::kClassHost + kListPaths[0], classId, 1);
    Log("[留言]开始读取第1页...");
    while (!m_updateClient.IsStopped()) {
        if (!run.keepGoing) {
            ending = Ending::Reached;
            break;
        }
        if (counted > count) {
            ending = Ending::Limit;
            break;
        }
        CByteArray bytes;
        if (!Login() || !m_updateClient.Request(url, "", bytes, ""))
            break;
        if (m_updateClient.IsStopped()) {
            Log("[留言]读取留言被中断.");
            break;
        }
        const CString page = tavrin::PageText(bytes);
        if (page.Find(kBoardTitle) < 0 && page.Find(kHistoryTitle) < 0) {
            Log("[留言]读取网页错误, 退出.");
            break;
        }
        ++pagesRead;
        const std::vector<CString> rows = tavrin::AllMatches(page, kRow, Case::Insensitive);
        ++kindPage;
        ++counted;
        run.ordinary = 0;
        run.repeated = 0;
        for (const CString& row : rows) {
            ReadRow(row, run, cursor, mode);
            if (!run.keepGoing)
                break;
        }
        // A page that shows nothing new (the board repeating its last page)
        // ends its listing like the closing text does.
        const bool repeating = run.ordinary > 0 && run.repeated == run.ordinary;
        if (rows.empty() || page.Find(kClosing) >= 0 || repeating) {
            --counted;
            ++kind;
            kindPage = 1;
            if (kind > 2) {
                // The pinned messages newer than the mark precede every row.
                while (!run.pinned.empty()) {
                    CMessageItemChinaRen first = run.pinned.front();
                    run.pinned.erase(run.pinned.begin());
                    if (Older(first, run.last))
                        break;
                    run.taken.push_front(first);
                }
                ending = Ending::Exhausted;
                break;
            }
        }
        url.Format(CString("http://") + tavrin::chinaren::kClassHost + kListPaths[kind], classId, kindPage);
        if (!m_updateClient.IsStopped() && run.keepGoing && counted <= count) {
            CString line;
            line.Format("[留言]开始读取第%d页...", counted);
            Log(line);
        }
    }
    if (mode == 1)
        for (const CMessageItemChinaRen& entry : run.pinned)
            run.taken.push_front(entry);

    const CMessageItemChinaRen vote = ReadVote();
    SendEvent(17);
    // Only a run that read the board to its end or its page limit rebuilds;
    // any other merges, so that no stored message is lost.
    const bool rebuild = mode == 1 && pagesRead > 0 && (ending == Ending::Exhausted || ending == Ending::Limit);
    Write(run, cursor, vote, rebuild);
    LoadItems(FALSE);
    if (m_xml.IsModified())
        m_xml.Save();
    Log("[留言]更新完成.");
    PostEvent(21);
    PostEvent(4);
}
