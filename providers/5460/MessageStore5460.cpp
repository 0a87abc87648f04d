// The message board update: list pages newest first, the replies of every
// message that has some, pictures made local, pinned messages, the stop mark
// "last", and the messages stored at the head of "message.xml".
#include "providers/5460/MessageStore5460.h"
#include "providers/common/PageScrape.h"
#include "providers/common/StoreEvents.h"

#include "core/model/Account.h"
#include "core/model/ModelEvents.h"
#include "core/model/SchoolClass.h"
#include "core/services/HtmlTags.h"
#include "core/services/StringTokenizer.h"
#include "providers/5460/MessageText.h"
#include "providers/5460/SignIn.h"
#include "providers/5460/site.h"
#include "providers/common/Escape.h"
#include "providers/common/HtmlSanitizer.h"
#include "providers/common/NumericId.h"

#include <cstdlib>
#include <deque>
#include <map>
#include <set>
#include <string>

using tavrin::Case;
using tavrin::p5460::kReplySeparator;
using tavrin::p5460::FirstPiece;

namespace {

// No page total seen yet; also the page bound of the newest-first mode.
constexpr int kUnknownTotal = 3000;

void RemoveLineBreaks(CString& text)
{
    text.Remove('\r');
    text.Remove('\n');
}

void WriteChild(CXmlCursor* cursor, const char* name, const CString& value)
{
    if (cursor->FindChildElem(name, TRUE)) {
        cursor->SetData(value);
        cursor->GetFile().OutOfElem(cursor->GetId());
    }
}

// A message id as a key: equal numbers give equal keys.
std::string IdKey(const CString& id)
{
    if (!tavrin::IsNumericId(id))
        return "\x01" + id.Str();
    std::string digits = id.Str();
    size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

bool IsSuccessStatus(int status)
{
    return status >= 200 && status < 300;
}

} // namespace

// ---- records

void CMessageItem5460::ReadXml(CMessageItem5460* item, CXmlCursor* cursor)
{
    CMessageItem::ReadXml(item, cursor);
    item->m_userId = cursor->GetChildData("user_id");
    item->m_content = cursor->GetChildData("content");
    item->m_id = cursor->GetAttrib("id");
    item->m_replyNumber = cursor->GetChildData("reply_number");
}

void CMessageItem5460::WriteXml(CMessageItem5460* item, CXmlCursor* cursor)
{
    CMessageItem::WriteXml(item, cursor);
    WriteChild(cursor, "user_id", item->m_userId);
    WriteChild(cursor, "content", item->m_content);
    WriteChild(cursor, "id", item->m_id);
    WriteChild(cursor, "reply_number", item->m_replyNumber);
}

CString CMessageStore5460::GetDisplayValue(const CString& text)
{
    CStringArray pieces;
    SplitString(text, kReplySeparator, pieces);
    return pieces.GetSize() >= 2 ? pieces[1] : pieces[0];
}

// ---- shared plumbing of the operations

void CMessageStore5460::Log(const CString& text)
{
    tavrin::LogToClass(*this, text);
}

void CMessageStore5460::PostEvent(WPARAM code)
{
    tavrin::PostClassEvent(*this, code);
}

void CMessageStore5460::SendEvent(WPARAM code)
{
    tavrin::SendClassEvent(*this, code);
}

int CMessageStore5460::Login(CHttpClient* client)
{
    return tavrin::SignInFor(*this, client);
}

CString CMessageStore5460::WebHost()
{
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    return tavrin::p5460::WebHost(account ? account->GetProvider() : CString());
}

CString CMessageStore5460::ClassId()
{
    CSchoolClass* schoolClass = GetSchoolClass();
    return schoolClass ? schoolClass->GetId() : CString();
}

// ---- the update

struct CMessageStore5460::ReadState {
    int mode = 0;
    CString host;
    CMessageItem5460 mark;
    bool keepGoing = true;
    bool firstRegular = false;
    // Newest first by the whole time text.
    std::deque<CMessageItem5460> pinned;
    // The messages to store, oldest first.
    std::deque<CMessageItem5460> kept;
    // Ids read in this run: a board that serves a page again adds nothing.
    std::set<std::string> seen;
    // Message blocks found on the page being read.
    int pageBlocks = 0;
};

namespace {

bool IsReached(const CMessageItem5460& x, const CMessageItem5460& mark)
{
    if (x == mark)
        return true;
    CString shown = CMessageStore5460::GetDisplayValue(x.m_time);
    return !shown.IsEmpty() && CompareStoreText(CMessageStore5460::GetDisplayValue(mark.m_time), shown) > 0;
}

} // namespace

void CMessageStore5460::Update(int count, int mode)
{
    // The task that runs this holds the update busy flag.
    Log("[留言]开始更新...");
    PostEvent(27);
    PrepareHttpClient(&m_updateClient);

    ReadState state;
    state.mode = mode;
    state.host = WebHost();
    const CString classId = ClassId();
    int page = 1;
    int total = kUnknownTotal;
    int base = 0;

    {
        CXmlCursor cursor(m_xml);
        m_xml.ResetPos(cursor.GetId());
        if (cursor.FindChildElem("message")) {
            if (mode == 0 && cursor.FindChildElem("last")) {
                CMessageItem5460::ReadXml(&state.mark, &cursor);
                m_xml.OutOfElem(cursor.GetId());
            }
            // Read in every mode: a read-all run that does not finish merges.
            if (cursor.FindChildElem("item"))
                base = atoi(cursor.GetAttrib("custo_id"));
        }
    }
    if (mode == 0)
        count = kUnknownTotal;
    m_newMessageCount = 0;
    m_newReplyCount = 0;
    Log("[留言]开始读取第1页...");

    int pagesRead = 0;
    bool complete = false;
    // A page without messages inside the board: a read-all run that met one
    // has not seen the whole board.
    bool partial = false;
    for (;;) {
        if (m_updateClient.IsStopped() || !state.keepGoing)
            break;
        if (page > total || page > count) {
            complete = pagesRead > 0 && !partial;
            break;
        }
        if (!Login(&m_updateClient))
            break;
        CString path;
        path.Format("/gy5460/jsp/liuyan/liuyan.jsp?classID=%s&PageNum=%d", tavrin::EscapeUrl(classId), page);
        CByteArray bytes;
        if (!m_updateClient.Request("http://" + state.host + path, "", bytes, ""))
            break;
        if (m_updateClient.IsStopped()) {
            Log("[留言]读取留言被中断.");
            break;
        }
        // A page that the board could not serve is no page: a read-all run
        // must not take it for the end of the board.
        if (!IsSuccessStatus(m_updateClient.GetStatusCode()))
            break;
        ++pagesRead;
        const std::string text = tavrin::PageText(bytes).Str();
        bool repeated = false;
        state.pageBlocks = 0;
        if (!text.empty()) {
            if (total == kUnknownTotal) {
                std::vector<CString> match;
                if (tavrin::SearchFirst(CString(text), "共<font color=red>([0-9]*)</font>页", Case::Insensitive,
                                        match)) {
                    total = atoi(match[1]);
                    CString line;
                    line.Format("[留言]共有%d页留言.", total);
                    Log(line);
                }
            }
            repeated = !ReadListPage(CString(text), state);
        }
        partial = partial || state.pageBlocks == 0;
        // Page end: pinned messages not placed among the page's messages.
        while (!state.pinned.empty()) {
            CMessageItem5460 first = state.pinned.front();
            state.pinned.pop_front();
            if (IsReached(first, state.mark))
                break;
            state.kept.push_back(first);
        }
        if (repeated)
            break;

        ++page;
        CString line;
        if (total != kUnknownTotal && total != 0)
            line.Format("[留言]开始读取第%d/%d页...", page, total);
        else
            line.Format("[留言]开始读取第%d页...", page);
        // Page 1 showed no page total: it is the only page.
        if (total == kUnknownTotal && page == 2)
            break;
        Log(line);
        if (m_updateClient.IsStopped())
            break;
    }

    if (mode == 1) {
        while (!state.pinned.empty()) {
            state.kept.push_front(state.pinned.back());
            state.pinned.pop_back();
        }
    }
    SendEvent(17);

    // A read-all run replaces the stored board only when it read all it was
    // asked to; otherwise what it read is merged like a newest-first run.
    if (mode == 1 && complete) {
        CXmlCursor cursor(m_xml);
        m_xml.ResetPos(cursor.GetId());
        CStringArray topIds;
        if (cursor.FindChildElem("message") && cursor.FindChildElem("top") && cursor.FindChildElem("id")) {
            do
                topIds.Add(cursor.GetData());
            while (m_xml.FindNextElem(TRUE, cursor.GetId()));
        }
        m_xml.Clear();
        m_xml.ResetPos(cursor.GetId());
        cursor.FindChildElem("message", TRUE);
        cursor.FindChildElem("top", TRUE);
        for (INT_PTR i = 0; i < topIds.GetSize(); ++i)
            cursor.AddChildElem("id", topIds[i]);
        base = 0;
    }

    std::vector<CMessageItem5460> messages(state.kept.begin(), state.kept.end());
    StoreMessages(messages, base);

    LoadItems(FALSE);
    // Saved here, as the other stores' updates do, so that a crash cannot
    // lose a finished update.
    if (m_xml.IsModified())
        m_xml.Save();
    Log("[留言]更新完成.");
    PostEvent(21);
    PostEvent(4);
}

bool CMessageStore5460::ReadListPage(const CString& page, ReadState& state)
{
    static const char blockPattern[] =
        "(<span class=\"style7\">主题\\:</span>.*?<td height=\"1\" bgcolor=\"DFDFDF\"></td>)";
    static const char fieldPattern[] =
        "<span class=\"style7\">主题\\:</span></span><span class=\"style53\">(.*?)</span></span>.*?"
        "<span class=\"style59\">(.*?)</span>.*?<td style=\"font-size\\: 14px;color\\: #333333;\">(.*?)</td>.*?"
        "留言者：</span>(.*?)<span class=\"style11\">(.*?)</span>.*?liuyanID=([0-9]*).*?"
        "【回复</span>(.*?)<span class=\"style53\">";
    static const char memberPattern[] = ".*?memberID=([0-9]*).*?";
    static const char replyCountPattern[] = "<span class=style11>([0-9]*)</span>条";
    static const char pinnedPattern[] = "<font color=green>\\(置顶\\)</font>";

    if (m_updateClient.IsStopped())
        return true;
    const std::vector<CString> blocks = tavrin::AllMatches(page, blockPattern, Case::Insensitive);
    const CString imageFolder = CString("http://") + tavrin::p5460::kImageHost + "/images/baoyue/";
    int regular = 0;
    int repeatedRegular = 0;
    for (size_t b = 0; b < blocks.size(); ++b) {
        if ((b > 0 && m_updateClient.IsStopped()) || !state.keepGoing)
            break;
        const CString& block = blocks[b];
        std::vector<CString> match;
        if (!tavrin::SearchFirst(block, fieldPattern, Case::Insensitive, match))
            continue;
        ++state.pageBlocks;
        CMessageItem5460 message;
        message.m_id = match[6];
        if (message.m_id.IsEmpty())
            continue;
        std::vector<CString> pinnedMatch;
        const bool pinned = tavrin::SearchFirst(block, pinnedPattern, Case::Insensitive, pinnedMatch);
        if (!pinned)
            ++regular;
        // A message this run has read already (a board serving the same page
        // again) is not read twice.
        if (!state.seen.insert(IdKey(message.m_id)).second) {
            if (!pinned)
                ++repeatedRegular;
            continue;
        }

        message.m_title = match[1];
        RemoveLineBreaks(message.m_title);
        StripHtmlTags(message.m_title);
        message.m_title.Trim();
        message.m_time = match[2];
        message.m_time.TrimRight();
        const CString rawContent = match[3];
        message.m_content = rawContent;
        RemoveHtmlTags(message.m_content, "<a>");
        RemoveLineBreaks(message.m_content);
        message.m_content = tavrin::SanitizeHtml(message.m_content);
        message.m_userId = tavrin::FirstGroup(match[4], memberPattern, Case::Insensitive);
        message.m_user = match[5];
        RemoveHtmlTags(message.m_user, "<a>");
        message.m_user.Replace(imageFolder, "../../../styles/5460/default/images/");
        StripHtmlTags(message.m_user);
        RemoveLineBreaks(message.m_user);
        message.m_user.TrimRight();
        message.m_replyNumber = "0";
        std::vector<CString> replyCount;
        if (tavrin::SearchFirst(match[7], replyCountPattern, Case::Sensitive, replyCount))
            message.m_replyNumber = replyCount[1];
        if (message.m_replyNumber.IsEmpty())
            message.m_replyNumber = "0";

        if (atoi(message.m_replyNumber) > 0)
            ReadReplies(message, state.host);

        // A notice's photo links are read from the text before anything
        // stripped its anchors.
        LocalizeImages(&message, &m_updateClient, rawContent);

        if (pinned) {
            message.m_title.Replace("(置顶)", "");
            message.m_pinned = 1;
            auto at = state.pinned.begin();
            while (at != state.pinned.end() && CompareStoreText(at->m_time, message.m_time) >= 0)
                ++at;
            state.pinned.insert(at, message);
            continue;
        }

        if (!state.firstRegular) {
            state.firstRegular = true;
            CXmlCursor cursor(m_xml);
            m_xml.ResetPos(cursor.GetId());
            if (state.mode == 1 && cursor.FindChildElem("message")) {
                cursor.RemoveChildElem("top");
                m_xml.ResetPos(cursor.GetId());
            }
            if (!state.pinned.empty() && cursor.FindChildElem("message", TRUE) && cursor.FindChildElem("top", TRUE)) {
                // "top" names the pinned messages by their own ids, so that a
                // pinned message with replies is listed pinned.
                std::set<std::string> wanted;
                for (const CMessageItem5460& p : state.pinned)
                    wanted.insert(IdKey(FirstPiece(p.m_id)));
                std::set<std::string> named;
                if (cursor.FindChildElem("id")) {
                    do
                        named.insert(IdKey(cursor.GetData()));
                    while (m_xml.FindNextElem(TRUE, cursor.GetId()));
                    m_xml.OutOfElem(cursor.GetId());
                }
                if (named != wanted) {
                    m_xml.OutOfElem(cursor.GetId());
                    cursor.RemoveChildElem("top");
                    cursor.FindChildElem("top", TRUE);
                    for (const CMessageItem5460& p : state.pinned)
                        cursor.AddChildElem("id", FirstPiece(p.m_id));
                }
            }
        }

        const bool reached = IsReached(message, state.mark);
        bool skip = false;
        while (!state.pinned.empty() &&
               CompareStoreText(GetDisplayValue(message.m_time), GetDisplayValue(state.pinned.front().m_time)) <= 0) {
            if (IsReached(state.pinned.front(), state.mark)) {
                state.keepGoing = false;
                skip = true;
                break;
            }
            state.kept.push_front(state.pinned.front());
            state.pinned.pop_front();
        }
        if (skip)
            continue;
        if (reached) {
            state.keepGoing = false;
            break;
        }
        state.kept.push_front(message);
    }
    return regular == 0 || repeatedRegular < regular;
}

void CMessageStore5460::ReadReplies(CMessageItem5460& message, const CString& host)
{
    static const char areaPattern[] = "<!---回复开始时-->(.*?)<!--回复留言结束-->";
    static const char replyPattern[] = "(<span class=\"style59\">.*?<span class=\"style53\">【举报】</span>)";
    static const char fieldPattern[] =
        "<span class=\"style59\">(.*?)</span>.*?<span class=\"style49\">(.*?)</span>.*?回复者：</span>.*?"
        "memberID=([0-9]*).*?<span class=\"style11\">(.*?)</span>.*?openwin\\(([0-9]*),";

    CString line;
    line.Format("[留言]开始读取No.%s条留言的回复...", message.m_id);
    Log(line);
    if (!Login(&m_updateClient))
        return;
    CString path;
    path.Format("/gy5460/jsp/liuyan/critique.jsp?liuyanID=%s&classID=%s", tavrin::EscapeUrl(message.m_id),
                tavrin::EscapeUrl(ClassId()));
    CByteArray bytes;
    if (!m_updateClient.Request("http://" + host + path, "", bytes, "") || m_updateClient.IsStopped() ||
        !IsSuccessStatus(m_updateClient.GetStatusCode()))
        return;
    std::vector<CString> area;
    if (!tavrin::SearchFirst(tavrin::PageText(bytes), areaPattern, Case::Insensitive, area))
        return;
    for (const CString& reply : tavrin::AllMatches(area[1], replyPattern, Case::Insensitive)) {
        std::vector<CString> match;
        if (!tavrin::SearchFirst(reply, fieldPattern, Case::Insensitive, match))
            continue;
        CString content = match[2];
        RemoveLineBreaks(content);
        CString user = match[4];
        RemoveHtmlTags(user, "<a>");
        RemoveLineBreaks(user);
        user.TrimRight();
        message.m_time += kReplySeparator + match[1];
        message.m_content += kReplySeparator + tavrin::SanitizeHtml(content);
        message.m_userId += kReplySeparator + match[3];
        message.m_user += kReplySeparator + user;
        message.m_id += kReplySeparator + match[5];
    }
}

void CMessageStore5460::StoreMessages(std::vector<CMessageItem5460>& messages, int base)
{
    struct Stored {
        CString idText;  // the element's id attribute as stored
        int replies = 0;
        int read = 0;
    };
    CXmlCursor cursor(m_xml);
    m_xml.ResetPos(cursor.GetId());
    if (!cursor.FindChildElem("message", TRUE))
        return;
    // The stored messages by their own id (the first in document order).
    std::map<std::string, Stored> stored;
    if (cursor.FindChildElem("item")) {
        do {
            CString idText = cursor.GetAttrib("id");
            std::string key = IdKey(FirstPiece(idText));
            if (!stored.count(key))
                stored[key] = {idText, atoi(cursor.GetChildData("reply_number")), atoi(cursor.GetAttrib("read"))};
        } while (m_xml.FindNextElem(TRUE, cursor.GetId()));
        m_xml.OutOfElem(cursor.GetId());
    }

    const CMessageItem5460* newest = nullptr;
    int newMessages = 0;
    int newReplies = 0;
    for (CMessageItem5460& message : messages) {
        const int replies = atoi(message.m_replyNumber);
        // Every message replaces its stored copy, with or without replies,
        // so that no message is stored twice.
        auto found = stored.find(IdKey(FirstPiece(message.m_id)));
        message.m_read = 0;
        if (found != stored.end()) {
            if (replies > found->second.replies)
                newReplies += replies - found->second.replies;
            else
                message.m_read = found->second.read;
            cursor.RemoveChildElemWithAttrib("item", "id", found->second.idText);
            stored.erase(found);
        } else {
            ++newMessages;
            if (replies > 0)
                newReplies += replies;
        }
        if (!cursor.InsertChildElemBefore("item", "item") || !cursor.FindChildElem("item"))
            continue;
        message.m_custoId.Format("%d", ++base);
        CMessageItem5460::WriteXml(&message, &cursor);
        m_xml.OutOfElem(cursor.GetId());
        if (!message.m_pinned)
            newest = &message;
    }
    m_newMessageCount = newMessages;
    m_newReplyCount = newReplies;

    // The stop mark is the newest regular message: a pinned one may be far
    // older than the messages around it.
    if ((newMessages > 0 || newReplies > 0) && newest) {
        cursor.RemoveChildElem("last");
        if (cursor.InsertChildElemBefore("item", "last") && cursor.FindChildElem("last")) {
            CMessageItem5460 mark = *newest;
            mark.m_custoId.Format("%d", base + 1);
            mark.m_read = 0;
            mark.m_pinned = 0;
            CMessageItem5460::WriteXml(&mark, &cursor);
            m_xml.OutOfElem(cursor.GetId());
        }
    }
}
