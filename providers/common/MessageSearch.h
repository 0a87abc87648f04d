// The message search both providers' boards share: the list rebuilt from
// the store's document with the messages (and the class vote) whose title or
// text, tags stripped, holds one of the words. Item is the provider's
// message record, read for the vote.
#pragma once

#include "core/model/MessageStore.h"
#include "core/services/XmlFile.h"

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

// The words of a search and the test of a title or text against them.
class SearchWords {
public:
    // Runs of white space separate the words.
    explicit SearchWords(const CString& text);

    // Whether the text, its tags removed, holds one of the words at a
    // character boundary.
    bool FoundIn(CString text) const;
    // The same for a text as the document stores it (escaped). A text that
    // lacks a character of every word is passed over without being read back.
    bool FoundInStored(std::string_view stored) const;

private:
    struct Word {
        CString text;
        // Holds no byte an entity reads back as.
        bool plain = false;
        // Its characters without such bytes: each stands as it is in any
        // stored text that holds the word.
        std::vector<std::string_view> characters;
    };
    static bool MayHold(std::string_view stored, const Word& word);

    std::vector<Word> m_words;
};

// What one pass over the board's elements finds: the messages whose title
// or text holds one of the words, in document order, as list records (title,
// or the text when the message has no subject; the first reply's time; user,
// ids, read flag, element), and whether there is a pinned list and a vote.
// With listed, only messages whose custo_id is in it.
struct StoredBoardHits {
    std::vector<CMessageItem*> messages;
    bool hasTop = false;
    bool hasVote = false;
};
StoredBoardHits FindStoredMessages(CXmlFile& xml, const SearchWords& words,
                                   const std::set<std::string, std::less<>>* listed, BOOL hasSubject);

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
    const SearchWords words(text);
    CXmlFile& xml = *store.GetXmlFile();
    {
        CClassStore::ItemsLock lock = store.LockItems();
        std::set<std::string, std::less<>> listed;
        if (within)
            for (int i = 0; i < store.GetItemCount(); ++i)
                listed.insert(store.GetItem(i)->m_custoId.Str());
        store.RemoveAllItems();

        StoredBoardHits hits = FindStoredMessages(xml, words, within ? &listed : nullptr, hooks.hasSubject);

        // The pinned list and the vote are looked up only where they are.
        CXmlCursor cursor(xml);
        std::vector<CString> pinnedIds;
        std::vector<CMessageItem> pinnedCopies;
        xml.ResetPos(cursor.GetId());
        if (hits.hasTop && cursor.FindChildElem("message") && cursor.FindChildElem("top")) {
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

        for (CMessageItem* item : hits.messages) {
            for (const CString& id : pinnedIds)
                item->m_pinned = item->m_pinned || item->m_id == id;
            for (const CMessageItem& copy : pinnedCopies)
                item->m_pinned = item->m_pinned || *item == copy;
            if (item->m_pinned)
                store.InsertItem(item, 0);
            else
                store.AddItem(item);
        }

        // The vote is searched whether or not there are messages.
        xml.ResetPos(cursor.GetId());
        if (hits.hasVote && cursor.FindChildElem("message") && cursor.FindChildElem("vote") &&
            cursor.FindChildElem("item")) {
            Item stored;
            Item::ReadXml(&stored, &cursor);
            if (words.FoundIn(stored.m_title) || words.FoundIn(stored.m_content))
                hooks.insertVote(cursor);
        }
        store.SortItems(store.GetSortColumn(), store.GetSortAscending());
    }
    // Every search that announced itself with 17 ends with 21, also when
    // nothing was found, so the window leaves its searching state.
    hooks.post(21);
}

} // namespace tavrin
