// The message search: the list rebuilt from "message.xml" with the messages
// (and the class vote) whose subject or text holds one of the words.
#include "providers/5460/MessageStore5460.h"

#include "core/model/Account.h"
#include "core/model/SchoolClass.h"
#include "core/services/HtmlTags.h"
#include "core/services/StringTokenizer.h"
#include "providers/5460/MessageText.h"

#include <cstdlib>
#include <set>
#include <vector>

using tavrin::p5460::FirstPiece;

namespace {

CString Stripped(CString text)
{
    StripHtmlTags(text);
    return text;
}

bool IsHit(const CMessageItem5460& item, const std::vector<CString>& words)
{
    const CString title = Stripped(item.m_title);
    const CString content = Stripped(item.m_content);
    for (const CString& word : words)
        if (title.Find(word) >= 0 || content.Find(word) >= 0)
            return true;
    return false;
}

} // namespace

void CMessageStore5460::Search(CString text, int within)
{
    // The task that runs this holds the searching flag.
    text.Trim();
    if (text == GetLastSearch())
        return;
    SetLastSearch(text);

    SendEvent(17);
    if (text.IsEmpty()) {
        LoadItems(FALSE);
        PostEvent(21);
        return;
    }

    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    const BOOL hasSubject = account ? account->HasMessageSubject() : FALSE;
    const std::vector<CString> words = tavrin::SplitWords(text);

    {
        ItemsLock lock = LockItems();
        std::set<std::string> listed;
        if (within)
            for (int i = 0; i < GetItemCount(); ++i)
                listed.insert(GetItem(i)->m_custoId.Str());
        RemoveAllItems();

        CXmlCursor cursor(m_xml);
        m_xml.ResetPos(cursor.GetId());
        std::vector<CString> pinnedIds;
        std::vector<CMessageItem> pinnedCopies;
        if (cursor.FindChildElem("message") && cursor.FindChildElem("top")) {
            if (cursor.FindChildElem("id")) {
                do
                    pinnedIds.push_back(cursor.GetData());
                while (m_xml.FindNextElem(TRUE, cursor.GetId()));
                m_xml.OutOfElem(cursor.GetId());
            }
            if (cursor.FindChildElem("item")) {
                do {
                    CMessageItem copy;
                    CMessageItem::ReadXml(&copy, &cursor);
                    pinnedCopies.push_back(copy);
                } while (m_xml.FindNextElem(TRUE, cursor.GetId()));
            }
        }

        m_xml.ResetPos(cursor.GetId());
        if (cursor.FindChildElem("message") && cursor.FindChildElem("item")) {
            CStringArray pieces;
            do {
                CMessageItem5460 stored;
                CMessageItem5460::ReadXml(&stored, &cursor);
                if (!IsHit(stored, words))
                    continue;
                if (within && !listed.count(stored.m_custoId.Str()))
                    continue;
                CMessageItem* item = new CMessageItem;
                item->m_element = cursor.GetNode();
                item->m_title = stored.m_title;
                if (item->m_title.IsEmpty() && !hasSubject)
                    item->m_title = stored.m_content;
                item->m_title.Replace("&nbsp;", " ");
                item->m_time = GetDisplayValue(stored.m_time);
                item->m_user = FirstPiece(stored.m_user);
                item->m_custoId = stored.m_custoId;
                item->m_id = FirstPiece(stored.m_id);
                item->m_read = stored.m_read;
                for (const CString& id : pinnedIds)
                    item->m_pinned = item->m_pinned || item->m_id == id;
                for (const CMessageItem& copy : pinnedCopies)
                    item->m_pinned = item->m_pinned || *item == copy;
                if (item->m_pinned)
                    InsertItem(item, 0);
                else
                    AddItem(item);
            } while (m_xml.FindNextElem(TRUE, cursor.GetId()));
        }

        m_xml.ResetPos(cursor.GetId());
        if (cursor.FindChildElem("message") && cursor.FindChildElem("vote") && cursor.FindChildElem("item")) {
            CMessageItem5460 stored;
            CMessageItem5460::ReadXml(&stored, &cursor);
            if (IsHit(stored, words))
                InsertVoteItem(cursor);
        }
        SortItems(GetSortColumn(), GetSortAscending());
    }
    // Every search that announced itself with 17 ends with 21, also when
    // nothing was found, so the window leaves its searching state.
    PostEvent(21);
}
