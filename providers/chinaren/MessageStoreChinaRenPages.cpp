// The message pages: the selected message and the stored ones below it,
// with the words of the last search marked, the class vote, and the preview
// of the compose text.
#include "providers/chinaren/MessageStoreChinaRen.h"

#include "core/model/Account.h"
#include "core/model/SchoolClass.h"
#include "core/services/Config.h"
#include "core/services/FolderUtil.h"
#include "platform/base/Time.h"
#include "providers/common/Escape.h"
#include "providers/common/Highlight.h"
#include "providers/common/HtmlSanitizer.h"
#include "providers/common/MessagePictures.h"
#include "providers/common/MessageSearch.h"
#include "providers/common/PageTemplate.h"
#include "providers/common/Session.h"
#include "providers/common/StoreEvents.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

const char kEmptyPage[] =
    "<html><head><title>Tavrin</title><style type=text/css><!--body {font-size: 12px;margin-bottom: 1px;"
    "margin-left: 1px;margin-right: 1px;margin-top: 1px;border: 0px;overflow-x:hidden;overflow-y:hidden;}--></style>"
    "</head><body></body></html>";

struct Blocks {
    CString page;
    CString data;
    CString item;
    CString separator;
};

// A template with its data block, item template and separator; false when
// it cannot be read or lacks one of them.
bool ReadBlocks(const char* file, const char* label, Blocks& blocks)
{
    const CString start = CString("<!--") + label + "模板开始-->";
    const CString end = CString("<!--") + label + "模板结束-->";
    const CString separatorStart = CString("<!--") + label + "分割开始-->";
    const CString separatorEnd = CString("<!--") + label + "分割结束-->";
    return tavrin::ReadTemplateFile(GetAppDir() + "\\styles\\chinaren\\default\\" + file, blocks.page) &&
           tavrin::FindDataBlock(blocks.page, label, blocks.data) && !blocks.data.IsEmpty() &&
           tavrin::FindMarkedBlock(blocks.page, start, end, blocks.item) && !blocks.item.IsEmpty() &&
           tavrin::FindSeparator(blocks.page, separatorStart, separatorEnd, blocks.separator);
}

// The item template with its data block filled, every value escaped for
// the script string that holds it.
CString FillItem(const Blocks& blocks, const std::vector<CString>& values)
{
    std::vector<CString> escaped;
    for (const CString& value : values)
        escaped.push_back(tavrin::EscapeScriptString(value));
    CString filled = blocks.item;
    filled.Replace(blocks.data, tavrin::FillFormat(blocks.data, escaped));
    return filled;
}

// Remote HTML cleaned as the last step, after the marking of the search
// words: the notice's photo links are the program's own.
CString CleanContent(const CString& html)
{
    return tavrin::SanitizeHtml(html, &tavrin::IsPhotoLinkAddress);
}

} // namespace

bool CMessageStoreChinaRen::ReadStoredItem(const CString& custoId, CMessageItemChinaRen& item)
{
    return tavrin::ReadStoredMessage(m_xml, custoId, item);
}

CString CMessageStoreChinaRen::RenderPage(CString custoId)
{
    Blocks blocks;
    if (custoId.IsEmpty() || !ReadBlocks("message.html", "留言", blocks))
        return kEmptyPage;

    const std::vector<long long> numbers = tavrin::StoredMessageNumbers(m_xml);

    const std::vector<CString> words = tavrin::SplitWords(GetLastSearch());
    const int limit = atoi(GetConfig(CFG_STYLE_VIEW_MESSAGE_NUMBER));
    long long n = StoreTextNumber(custoId);
    CString current = custoId;
    int count = 0;
    CString joined;
    for (;;) {
        CMessageItemChinaRen item;
        if (ReadStoredItem(current, item)) {
            ++count;
            const CString content = CleanContent(tavrin::HighlightWords(item.m_content, words, false));
            if (!joined.IsEmpty())
                joined += blocks.separator;
            joined += FillItem(blocks, {content, item.m_user, item.m_time});
        }
        auto below = std::lower_bound(numbers.begin(), numbers.end(), n);
        if (count >= limit || below == numbers.begin())
            break;
        n = *(below - 1);
        current.Format("%lld", n);
    }

    if (count == 0) {
        CXmlCursor cursor(m_xml);
        m_xml.ResetPos(cursor.GetId());
        CMessageItemChinaRen vote;
        if (cursor.FindChildElem("message") && cursor.FindChildElem("vote") &&
            cursor.FindChildElemWithAttrib("item", "custo_id", custoId)) {
            CMessageItemChinaRen::ReadXml(&vote, &cursor);
            Blocks voteBlocks;
            if (!ReadBlocks("vote.html", "投票", voteBlocks))
                return kEmptyPage;
            const CString ballot = tavrin::chinaren::CleanBallotHtml(vote.m_content);
            voteBlocks.page.Replace(voteBlocks.item,
                                    FillItem(voteBlocks, {ballot, vote.m_user, vote.m_time, vote.m_voteReason}));
            return voteBlocks.page;
        }
    }
    blocks.page.Replace(blocks.item, joined);
    return blocks.page;
}

CString CMessageStoreChinaRen::ReplyHeader(int mode)
{
    const CString current = GetCurrentCustoId();
    if (mode == 0 || current.IsEmpty())
        return CString();
    CMessageItemChinaRen item;
    ReadStoredItem(current, item);
    return "To " + item.m_user + ": ";
}

CString CMessageStoreChinaRen::RenderPreview(CString, CString text, int mode)
{
    CString page;
    if (!tavrin::ReadTemplateFile(GetAppDir() + "\\styles\\chinaren\\default\\message.html", page))
        return CString();
    const CTime now = CTime::GetCurrentTime();
    CString time;
    time.Format("%.4d-%.2d-%.2d %.2d:%.2d:%.2d", now.GetYear(), now.GetMonth(), now.GetDay(), now.GetHour(),
                now.GetMinute(), now.GetSecond());
    text.Replace("\r", " ");
    text.Replace("\n", " ");
    // The compose text is the user's plain text: shown as text, whatever it holds.
    const CString shown = tavrin::EscapeHtml(ReplyHeader(mode) + text);
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    CString author = account ? account->GetRealName() : CString();
    if (author.IsEmpty() && account)
        author = account->GetUserName();
    tavrin::FillScriptDataBlock(page, "留言", {shown, author, time});
    return page;
}

int CMessageStoreChinaRen::GetContentLength()
{
    return tavrin::CharacterCount(ReplyHeader(GetComposeMode() == 1 ? 1 : 0) + GetComposeContent());
}

void CMessageStoreChinaRen::Search(CString text, int within)
{
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    tavrin::MessageSearchHooks hooks;
    hooks.send = [this](WPARAM code) { SendEvent(code); };
    hooks.post = [this](WPARAM code) { PostEvent(code); };
    hooks.insertVote = [this](CXmlCursor& cursor) { InsertVoteItem(cursor); };
    hooks.hasSubject = account ? account->HasMessageSubject() : FALSE;
    tavrin::SearchMessages<CMessageItemChinaRen>(*this, text, within, hooks);
}
