// The message search both providers' boards share: the list rebuilt from
// the store's document with the messages (and the class vote) whose title or
// text, tags stripped, holds one of the words. Item is the provider's
// message record (title, content, time, user, id as joined fields whose
// first piece is the message's own).
#pragma once

#include "core/model/MessageStore.h"
#include "core/services/HtmlTags.h"
#include "core/services/StringTokenizer.h"
#include "core/services/XmlFile.h"
#include "providers/common/Highlight.h"

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

struct MessageSearchHooks {
    // Sends or posts WM_CLASS_EVENT with the code.
    std::function<void(WPARAM)> send;
    std::function<void(WPARAM)> post;
    // Lists the class vote the cursor stands on (CMessageStore::InsertVoteItem).
    std::function<void(CXmlCursor&)> insertVote;
    // Whether the provider's messages have subjects; without, a message
    // without a title is listed by its text.
    BOOL hasSubject = FALSE;
};

namespace search_detail {

inline CString Piece(const CString& joined, int index)
{
    CStringArray pieces;
    SplitString(joined, "`|", pieces);
    return index < pieces.GetSize() ? pieces[index] : pieces[0];
}

// Whether word stands in text at a character boundary: a byte search,
// then the double-byte characters before a find are stepped over.
inline bool Contains(std::string_view text, std::string_view word)
{
    size_t boundary = 0;
    for (size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
        while (boundary < at)
            boundary += static_cast<size_t>(CharLength(text.data() + boundary, text.data() + text.size()));
        if (boundary == at)
            return true;
    }
    return false;
}

inline bool IsHit(CString title, CString content, const std::vector<CString>& words)
{
    // Only text with a tag needs its tags removed.
    if (title.Find('<') >= 0)
        StripHtmlTags(title);
    if (content.Find('<') >= 0)
        StripHtmlTags(content);
    for (const CString& word : words)
        if (Contains(title.View(), word.View()) || Contains(content.View(), word.View()))
            return true;
    return false;
}

} // namespace search_detail

template <class Item>
void SearchMessages(CMessageStore& store, CString text, int within, const MessageSearchHooks& hooks)
{
    // The task that runs this holds the searching flag.
    text.Trim();
    if (text == store.GetLastSearch())
        return;
    store.SetLastSearch(text);

    hooks.send(17);
    if (text.IsEmpty()) {
        store.LoadItems(FALSE);
        hooks.post(21);
        return;
    }
    const std::vector<CString> words = SplitWords(text);
    CXmlFile& xml = *store.GetXmlFile();
    {
        CClassStore::ItemsLock lock = store.LockItems();
        std::set<std::string> listed;
        if (within)
            for (int i = 0; i < store.GetItemCount(); ++i)
                listed.insert(store.GetItem(i)->m_custoId.Str());
        store.RemoveAllItems();

        CXmlCursor cursor(xml);
        xml.ResetPos(cursor.GetId());
        std::vector<CString> pinnedIds;
        std::vector<CMessageItem> pinnedCopies;
        if (cursor.FindChildElem("message") && cursor.FindChildElem("top")) {
            if (cursor.FindChildElem("id")) {
                do
                    pinnedIds.push_back(cursor.GetData());
                while (xml.FindNextElem(TRUE, cursor.GetId()));
                xml.OutOfElem(cursor.GetId());
            }
            if (cursor.FindChildElem("item")) {
                do {
                    CMessageItem copy;
                    CMessageItem::ReadXml(&copy, &cursor);
                    pinnedCopies.push_back(copy);
                } while (xml.FindNextElem(TRUE, cursor.GetId()));
            }
        }

        xml.ResetPos(cursor.GetId());
        if (cursor.FindChildElem("message") && cursor.FindChildElem("item")) {
            do {
                // Only a hit is read whole.
                if (!search_detail::IsHit(cursor.GetChildData("title"), cursor.GetChildData("content"), words))
                    continue;
                Item stored;
                Item::ReadXml(&stored, &cursor);
                if (within && !listed.count(stored.m_custoId.Str()))
                    continue;
                CMessageItem* item = new CMessageItem;
                item->m_element = cursor.GetNode();
                item->m_title = stored.m_title;
                if (item->m_title.IsEmpty() && !hooks.hasSubject)
                    item->m_title = stored.m_content;
                item->m_title.Replace("&nbsp;", " ");
                // The first reply's time when there is one, else the message's.
                item->m_time = search_detail::Piece(stored.m_time, 1);
                item->m_user = search_detail::Piece(stored.m_user, 0);
                item->m_custoId = stored.m_custoId;
                item->m_id = search_detail::Piece(stored.m_id, 0);
                item->m_read = stored.m_read;
                for (const CString& id : pinnedIds)
                    item->m_pinned = item->m_pinned || item->m_id == id;
                for (const CMessageItem& copy : pinnedCopies)
                    item->m_pinned = item->m_pinned || *item == copy;
                if (item->m_pinned)
                    store.InsertItem(item, 0);
                else
                    store.AddItem(item);
            } while (xml.FindNextElem(TRUE, cursor.GetId()));
        }

        // The vote is searched whether or not there are messages.
        xml.ResetPos(cursor.GetId());
        if (cursor.FindChildElem("message") && cursor.FindChildElem("vote") && cursor.FindChildElem("item")) {
            Item stored;
            Item::ReadXml(&stored, &cursor);
            if (search_detail::IsHit(stored.m_title, stored.m_content, words))
                hooks.insertVote(cursor);
        }
        store.SortItems(store.GetSortColumn(), store.GetSortAscending());
    }
    // Every search that announced itself with 17 ends with 21, also when
    // nothing was found, so the window leaves its searching state.
    hooks.post(21);
}

} // namespace tavrin
