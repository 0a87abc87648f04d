#include "providers/common/MessageSearch.h"

#include "core/services/HtmlTags.h"
#include "core/services/StringTokenizer.h"
#include "core/services/XmlText.h"
#include "providers/common/Highlight.h"

#include <cstdlib>
#include <cstdint>
#include <cstring>

namespace tavrin {

namespace {

// The bytes a named entity reads back as, '&' also for one that is no
// entity. Every other byte of a stored text without numeric references
// stands in the text read back as it is stored.
constexpr std::string_view kReadBack = " <&>'\"";

bool HasReadBackByte(std::string_view text)
{
    return text.find_first_of(kReadBack) != std::string_view::npos;
}

// "&#": a numeric reference, which reads back as any byte.
bool HasNumericReference(std::string_view stored)
{
    for (size_t at = stored.find('#'); at != std::string_view::npos; at = stored.find('#', at + 1))
        if (at > 0 && stored[at - 1] == '&')
            return true;
    return false;
}

// Whether stored holds a '#' (so perhaps a numeric reference) or the
// character (one or two bytes), sixteen bytes at a time: most texts hold
// neither, and this alone passes them over.
bool HasHashOrCharacter(std::string_view stored, std::string_view character)
{
    auto* p = reinterpret_cast<const unsigned char*>(stored.data());
    const size_t n = stored.size();
    const unsigned char first = static_cast<unsigned char>(character[0]);
    const bool pair = character.size() > 1;
    const unsigned char second = pair ? static_cast<unsigned char>(character[1]) : 0;
    size_t i = 0;
#if defined(__GNUC__)
    typedef unsigned char Bytes __attribute__((vector_size(16)));
    auto splat = [](unsigned char c) {
        Bytes v;
        for (int k = 0; k < 16; ++k)
            v[k] = c;
        return v;
    };
    const Bytes hash = splat('#'), firsts = splat(first), seconds = splat(second);
    // Each step reads one byte past its sixteen, for the second byte.
    for (; i + 17 <= n; i += 16) {
        Bytes here, next;
        std::memcpy(&here, p + i, 16);
        std::memcpy(&next, p + i + 1, 16);
        auto found = (here == hash) | ((here == firsts) & (pair ? next == seconds : here == firsts));
        uint64_t lanes[2];
        std::memcpy(lanes, &found, 16);
        if (lanes[0] | lanes[1])
            return true;
    }
#endif
    for (; i < n; ++i)
        if (p[i] == '#' || (p[i] == first && (!pair || (i + 1 < n && p[i + 1] == second))))
            return true;
    return false;
}

// Whether word stands in text at a character boundary: a byte search,
// then the double-byte characters before a find are stepped over.
bool Contains(std::string_view text, std::string_view word)
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

CString ReadBack(std::string_view stored)
{
    if (stored.find('&') == std::string_view::npos)
        return CString(stored);
    std::string text;
    AppendXmlUnescaped(text, stored);
    return CString(std::move(text));
}

// Whether node is named name, as the cursor compares names; the length
// first, so that only a name of that length is read.
bool Named(const XmlNodeStruct* node, std::string_view name)
{
    return HasXmlName(node->type) && node->text && node->textLength == name.size() &&
           std::memcmp(node->text, name.data(), name.size()) == 0;
}

// The first child of element named name, as the cursor finds it.
XmlNodeStruct* Child(XmlNodeStruct* element, std::string_view name)
{
    if (!HasXmlChildren(element->type))
        return nullptr;
    for (uint32_t i = 0; i < element->childCount; ++i)
        if (Named(XmlChildAt(element, i), name))
            return XmlChildAt(element, i);
    return nullptr;
}

// The stored text of an element, as the cursor reads it before it
// unescapes it: its first text node.
std::string_view StoredData(XmlNodeStruct* element)
{
    if (!element)
        return {};
    // Mostly the element's only child.
    XmlNodeStruct* text = element->childCount && HasXmlChildren(element->type) ? XmlChildAt(element, 0) : nullptr;
    if (!text || text->type != XmlPcdata)
        text = XmlFindFirstOfType(element, XmlPcdata);
    return text && text->text ? std::string_view(text->text, text->textLength) : std::string_view();
}

std::string_view StoredChildData(XmlNodeStruct* element, std::string_view name)
{
    return StoredData(Child(element, name));
}

std::string_view StoredAttribute(const XmlNodeStruct* element, std::string_view name)
{
    uint32_t count = XmlAttributeCount(element);
    for (uint32_t i = 0; i < count; ++i) {
        const XmlAttributeStruct* a = XmlAttributeAt(element, i);
        if (a->name && XmlAttributeName(a) == name)
            return XmlAttributeValue(a);
    }
    return {};
}

// The piece at index of a message's joined value (its own, then its
// replies'); the first when there are fewer.
CString Piece(const CString& joined, int index)
{
    CStringArray pieces;
    SplitString(joined, "`|", pieces);
    return index < pieces.GetSize() ? pieces[index] : pieces[0];
}

} // namespace

SearchWords::SearchWords(const CString& text)
{
    for (CString& word : SplitWords(text)) {
        Word w;
        w.text = std::move(word);
        w.plain = !HasReadBackByte(w.text.View());
        m_words.push_back(std::move(w));
    }
    // The views point into the words, which stay where they are now.
    for (Word& w : m_words) {
        std::string_view text = w.text.View();
        for (size_t p = 0; p < text.size();) {
            size_t n = static_cast<size_t>(CharLength(text.data() + p, text.data() + text.size()));
            std::string_view character = text.substr(p, n);
            if (!HasReadBackByte(character))
                w.characters.push_back(character);
            p += n;
        }
    }
}

bool SearchWords::FoundIn(CString text) const
{
    // Only text with a tag needs its tags removed.
    if (text.Find('<') >= 0)
        StripHtmlTags(text);
    for (const Word& word : m_words)
        if (Contains(text.View(), word.text.View()))
            return true;
    return false;
}

// A word found in the text read back stands there in characters that were
// stored as they are: a removed tag only joins whole characters, and without
// numeric references an entity gives only the bytes of kReadBack.
bool SearchWords::MayHold(std::string_view stored, const Word& word)
{
    // The common case first: neither a '#' nor the word's first plain
    // character.
    if (!word.characters.empty() && !HasHashOrCharacter(stored, word.characters.front()))
        return false;
    if (HasNumericReference(stored))
        return true;
    for (std::string_view character : word.characters)
        if (stored.find(character) == std::string_view::npos)
            return false;
    // Without a tag to remove, a plain word stands in the stored text whole.
    if (word.plain && stored.find('<') == std::string_view::npos && stored.find("&lt;") == std::string_view::npos)
        return stored.find(word.text.View()) != std::string_view::npos;
    return true;
}

bool SearchWords::FoundInStored(std::string_view stored) const
{
    for (const Word& word : m_words) {
        if (!MayHold(stored, word))
            continue;
        // Read back, the text decides, for every word at once.
        return FoundIn(ReadBack(stored));
    }
    return false;
}

StoredBoardHits FindStoredMessages(CXmlFile& xml, const SearchWords& words,
                                   const std::set<std::string, std::less<>>* listed, BOOL hasSubject)
{
    StoredBoardHits hits;
    xml.ReadDocument([&](const CXmlNode& document) {
        XmlNodeStruct* root = document.Get();
        XmlNodeStruct* board = root ? Child(root, "message") : nullptr;
        if (!board)
            return;
        for (uint32_t i = 0; i < board->childCount; ++i) {
            XmlNodeStruct* element = XmlChildAt(board, i);
            if (!Named(element, "item")) {
                hits.hasTop = hits.hasTop || Named(element, "top");
                hits.hasVote = hits.hasVote || Named(element, "vote");
                continue;
            }
            if (listed && !listed->count(ReadBack(StoredAttribute(element, "custo_id")).View()))
                continue;
            // Title and text in one walk over the children.
            XmlNodeStruct* titleElement = nullptr;
            XmlNodeStruct* contentElement = nullptr;
            for (uint32_t c = 0; c < element->childCount && !(titleElement && contentElement); ++c) {
                XmlNodeStruct* child = XmlChildAt(element, c);
                if (!titleElement && Named(child, "title"))
                    titleElement = child;
                else if (!contentElement && Named(child, "content"))
                    contentElement = child;
            }
            std::string_view title = StoredData(titleElement);
            std::string_view content = StoredData(contentElement);
            if (!words.FoundInStored(title) && !words.FoundInStored(content))
                continue;
            CMessageItem* item = new CMessageItem;
            item->m_element = CXmlNode(document.GetTree(), element);
            item->m_title = ReadBack(title);
            if (item->m_title.IsEmpty() && !hasSubject)
                item->m_title = ReadBack(content);
            item->m_title.Replace("&nbsp;", " ");
            // The first reply's time when there is one, else the message's.
            item->m_time = Piece(ReadBack(StoredChildData(element, "time")), 1);
            item->m_user = Piece(ReadBack(StoredChildData(element, "user")), 0);
            item->m_custoId = ReadBack(StoredAttribute(element, "custo_id"));
            item->m_id = Piece(ReadBack(StoredAttribute(element, "id")), 0);
            item->m_read = atoi(ReadBack(StoredAttribute(element, "read")));
            hits.messages.push_back(item);
        }
    });
    return hits;
}

} // namespace tavrin
