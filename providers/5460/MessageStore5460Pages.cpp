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
#include "providers/common/Highlight.h"
#include "providers/common/HtmlSanitizer.h"
#include "providers/common/PageTemplate.h"
#include "providers/common/StoreEvents.h"

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

CString TemplatePath()
{
    return GetAppDir() + "\\styles\\5460\\default\\message.html";
}

CString TitleHtml(const CString& title)
{
    return tavrin::HighlightWords(title, {}, true);
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
    return tavrin::ReadStoredMessage(m_xml, custoId, item);
}

CString CMessageStore5460::RenderPage(CString custoId)
{
    CString page;
    if (!tavrin::ReadTemplateFile(TemplatePath(), page) || custoId.IsEmpty())
        return kEmptyPage;
    CString block, itemTemplate, separator;
    if (!tavrin::FindDataBlock(page, kLabel, block) || block.IsEmpty() ||
        !tavrin::FindMarkedBlock(page, kItemStart, kItemEnd, itemTemplate) || itemTemplate.IsEmpty() ||
        !tavrin::FindSeparator(page, kSeparatorStart, kSeparatorEnd, separator))
        return kEmptyPage;

    const std::vector<long long> numbers = tavrin::StoredMessageNumbers(m_xml);

    const std::vector<CString> words = tavrin::SplitWords(GetLastSearch());
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
            const CString title = tavrin::SanitizeHtml(tavrin::HighlightWords(item.m_title, words, true));
            const CString content = tavrin::p5460::SanitizeForPage(tavrin::HighlightWords(item.m_content, words, false));
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
