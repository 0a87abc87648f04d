// The message pages: a selected message and the ones below it, with the words
// of the last search highlighted, and the preview of the compose text, both
// from "message.html".
#include "providers/5460/MessageStore5460.h"

#include "core/model/Account.h"
#include "core/model/SchoolClass.h"
#include "core/services/Config.h"
#include "core/services/FolderUtil.h"
#include "providers/5460/MessageText.h"
#include "providers/common/Escape.h"
#include "providers/common/HtmlSanitizer.h"
#include "providers/common/PageTemplate.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using tavrin::p5460::kReplySeparator;

namespace {

const char kEmptyPage[] =
    "<html><head><title>Tavrin</title><style type=text/css><!--body {font-size: 12px;margin-bottom: 1px;"
    "margin-left: 1px;margin-right: 1px;margin-top: 1px;border: 0px;overflow-x:hidden;overflow-y:hidden;}--></style>"
    "</head><body></body></html>";
const char kLabel[] = "留言";
const char kItemStart[] = "<!--留言模板开始-->";
const char kItemEnd[] = "<!--留言模板结束-->";
const char kSeparatorStart[] = "<!--留言分割开始-->";
const char kSeparatorEnd[] = "<!--留言分割结束-->";
const char kHighlightOpen[] = "<font color=red><b>";
const char kHighlightClose[] = "</b></font>";

CString TemplatePath()
{
    return GetAppDir() + "\\styles\\5460\\default\\message.html";
}

// The text of the comment inside the separator region.
bool FindSeparator(const CString& page, CString& separator)
{
    CString region;
    if (!tavrin::FindMarkedBlock(page, kSeparatorStart, kSeparatorEnd, region))
        return false;
    int open = region.Find("<!--");
    int close = open < 0 ? -1 : region.Find("-->", open + 4);
    if (close < 0)
        return false;
    separator = region.Mid(open + 4, close - open - 4);
    return true;
}

// The word of words that starts text at p, or nullptr.
const CString* WordAt(std::string_view text, size_t p, const std::vector<CString>& words)
{
    for (const CString& word : words)
        if (!word.IsEmpty() && text.substr(p, static_cast<size_t>(word.GetLength())) == word.View())
            return &word;
    return nullptr;
}

// A stored title is the board's HTML with its tags removed: its entities
// ("&nbsp;", "&amp;") stay as they are, only a stray bracket is made text.
std::string EscapeBrackets(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

CString TitleHtml(const CString& title)
{
    return CString(EscapeBrackets(title.View()));
}

// The '>' that ends the tag at text[p] as a browser reads it: one inside a
// quoted value does not.
size_t TagEnd(std::string_view text, size_t p)
{
    for (size_t q = p + 1; q < text.size(); ++q) {
        if (text[q] == '>')
            return q;
        if (text[q] != '=')
            continue;
        size_t v = q + 1;
        while (v < text.size() && (text[v] == ' ' || text[v] == '\t' || text[v] == '\r' || text[v] == '\n' || text[v] == '\f'))
            ++v;
        if (v < text.size() && (text[v] == '"' || text[v] == '\'')) {
            size_t close = text.find(text[v], v + 1);
            if (close == std::string_view::npos)
                return close;
            q = close;
        }
    }
    return std::string_view::npos;
}

// One pass over the text outside tags. A title has no tags: its brackets
// become text.
CString HighlightPass(const CString& input, const std::vector<CString>& words, bool title)
{
    std::string_view text = input.View();
    std::string out;
    auto emit = [&](std::string_view piece) { out += title ? EscapeBrackets(piece) : std::string(piece); };
    size_t p = 0;
    while (p < text.size()) {
        if (!title && text[p] == '<') {
            size_t close = TagEnd(text, p);
            if (close != std::string_view::npos) {
                out.append(text, p, close + 1 - p);
                p = close + 1;
                continue;
            }
        }
        if (const CString* word = WordAt(text, p, words)) {
            out += kHighlightOpen;
            emit(word->View());
            out += kHighlightClose;
            p += static_cast<size_t>(word->GetLength());
            continue;
        }
        size_t n = static_cast<size_t>(tavrin::CharLength(text.data() + p, text.data() + text.size()));
        emit(text.substr(p, n));
        p += n;
    }
    return CString(std::move(out));
}

// Inserts value as the first reply of a joined field.
void InsertFirstReply(CString& field, const CString& value)
{
    int at = field.Find(kReplySeparator);
    if (at >= 0)
        field.Insert(at, CString(kReplySeparator) + value);
    else
        field += CString(kReplySeparator) + value;
}

} // namespace

bool CMessageStore5460::ReadStoredItem(const CString& custoId, CMessageItem5460& item)
{
    CXmlCursor cursor(m_xml);
    m_xml.ResetPos(cursor.GetId());
    if (!cursor.FindChildElem("message") || !cursor.FindChildElemWithAttrib("item", "custo_id", custoId))
        return false;
    CMessageItem5460::ReadXml(&item, &cursor);
    return true;
}

CString CMessageStore5460::RenderPage(CString custoId)
{
    CString page;
    if (!tavrin::ReadTemplateFile(TemplatePath(), page) || custoId.IsEmpty())
        return kEmptyPage;
    CString block, itemTemplate, separator;
    if (!tavrin::FindDataBlock(page, kLabel, block) || block.IsEmpty() ||
        !tavrin::FindMarkedBlock(page, kItemStart, kItemEnd, itemTemplate) || itemTemplate.IsEmpty() ||
        !FindSeparator(page, separator))
        return kEmptyPage;

    // The custo_ids below the first that the document holds, so the walk
    // never counts down through numbers nobody has.
    std::vector<long long> numbers;
    {
        CXmlCursor cursor(m_xml);
        m_xml.ResetPos(cursor.GetId());
        if (cursor.FindChildElem("message") && cursor.FindChildElem("item")) {
            do {
                CString text = cursor.GetAttrib("custo_id");
                long long number = StoreTextNumber(text);
                CString canonical;
                canonical.Format("%lld", number);
                if (number > 0 && canonical == text)
                    numbers.push_back(number);
            } while (m_xml.FindNextElem(TRUE, cursor.GetId()));
        }
    }
    std::sort(numbers.begin(), numbers.end());

    const std::vector<CString> words = tavrin::p5460::SplitWords(GetLastSearch());
    const int limit = atoi(GetConfig(CFG_STYLE_VIEW_MESSAGE_NUMBER));
    long long n = StoreTextNumber(custoId);
    CString current = custoId;
    int count = 0;
    CString joined;
    for (;;) {
        CMessageItem5460 item;
        if (ReadStoredItem(current, item)) {
            ++count;
            // The title is the board's text and the content cleaned HTML; both
            // arrive as HTML, with the search words marked outside tags, and
            // are cleaned once more after every rewrite of ours.
            const CString title = tavrin::SanitizeHtml(HighlightPass(item.m_title, words, true));
            const CString content = tavrin::p5460::SanitizeForPage(HighlightPass(item.m_content, words, false));
            CString filled = itemTemplate;
            filled.Replace(block, tavrin::FillFormat(block, {tavrin::EscapeScriptString(title),
                                                              tavrin::EscapeScriptString(content),
                                                              tavrin::EscapeScriptString(item.m_user),
                                                              tavrin::EscapeScriptString(item.m_userId),
                                                              tavrin::EscapeScriptString(item.m_time),
                                                              tavrin::EscapeScriptString(item.m_replyNumber)}));
            if (!joined.IsEmpty())
                joined += separator;
            joined += filled;
        }
        auto below = std::lower_bound(numbers.begin(), numbers.end(), n);
        if (count >= limit || below == numbers.begin())
            break;
        n = *(below - 1);
        current.Format("%lld", n);
    }
    page.Replace(itemTemplate, joined);
    return page;
}

CString CMessageStore5460::RenderPreview(CString subject, CString text, int mode)
{
    CString page;
    if (!tavrin::ReadTemplateFile(TemplatePath(), page))
        return CString();
    const CTime now = CTime::GetCurrentTime();
    CString time;
    time.Format("%.4d/%.2d/%.2d %.2d:%.2d", now.GetYear(), now.GetMonth(), now.GetDay(), now.GetHour(),
                now.GetMinute());
    text.Replace("\r\n", "<BR>");

    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    const CString realName = account ? account->GetRealName() : CString();
    const CString userId = account ? account->GetUserId() : CString();

    CMessageItem5460 item;
    CString title;
    const CString currentCustoId = GetCurrentCustoId();
    if (mode != 0 && !currentCustoId.IsEmpty()) {
        ReadStoredItem(currentCustoId, item);
        title = TitleHtml(item.m_title);
        InsertFirstReply(item.m_content, text);
        InsertFirstReply(item.m_user, realName);
        InsertFirstReply(item.m_userId, userId);
        InsertFirstReply(item.m_time, time);
        item.m_replyNumber.Format("%d", atoi(item.m_replyNumber) + 1);
    } else {
        // The subject is what the user typed: plain text.
        title = tavrin::EscapeHtml(subject);
        item.m_content = text;
        item.m_user = realName;
        item.m_userId = userId;
        item.m_time = time;
        item.m_replyNumber = "0";
    }
    // Shown as the board would show it, cleaned as the last step.
    tavrin::FillScriptDataBlock(page, kLabel,
                                {tavrin::SanitizeHtml(title), tavrin::p5460::SanitizeForPage(item.m_content), item.m_user, item.m_userId,
                                 item.m_time, item.m_replyNumber});
    return page;
}
