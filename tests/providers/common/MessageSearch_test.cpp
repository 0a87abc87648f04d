// The search's test of a stored (escaped) text: it must find exactly what
// reading the text back and searching it finds.
#include "providers/common/MessageSearch.h"

#include "core/services/XmlText.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>

namespace tavrin {
namespace {

// "\xBE\xDB\xBB\xE1" is a two-character word; "\xB0" a lone lead byte.
TEST(MessageSearch, StoredTextFindsWhatItsReadBackTextHolds)
{
    struct Case {
        const char* stored;
        const char* words;
        bool found;
    } cases[] = {
        {"\xBE\xDB\xBB\xE1&nbsp;ok", "\xBE\xDB\xBB\xE1", true},
        {"no&nbsp;such&nbsp;word", "\xBE\xDB\xBB\xE1", false},
        // A removed tag joins the word's characters.
        {"\xBE\xDB&lt;b&gt;\xBB\xE1", "\xBE\xDB\xBB\xE1", true},
        // Only inside a tag: not found.
        {"&lt;img&nbsp;alt=\xBE\xDB\xBB\xE1&gt;", "\xBE\xDB\xBB\xE1", false},
        // Numeric references read back as the word's bytes.
        {"&#190;&#219;&#xBB;&#xE1;", "\xBE\xDB\xBB\xE1", true},
        {"&#190;\xDB\xBB\xE1", "\xBE\xDB\xBB\xE1", true},
        // The word's bytes across two characters are no find.
        {"\xB0\xBE\xDB\xBB\xE1", "\xBE\xDB\xBB\xE1", false},
        {"&#176;\xBE\xDB\xBB\xE1", "\xBE\xDB\xBB\xE1", false},
        // Entity letters and read-back bytes in the word.
        {"a&amp;nbsp;b", "nbsp", true},
        {"a&amp;b", "a&b", true},
        // A '<' without '>' is no tag.
        {"x&lt;y", "x<y", true},
        {"x&lt;y&gt;z", "xz", true},
        {"x&lt;y&gt;z", "y", false},
        {"x&gt;y", "x>y", true},
        {"it&apos;s", "it's", true},
        {"", "a", false},
        // Any one word is enough.
        {"hello&nbsp;world", "nothing world", true},
        {"Hello", "hello", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        SCOPED_TRACE(c.words);
        const SearchWords words(c.words);
        EXPECT_EQ(words.FoundInStored(c.stored), c.found);
        EXPECT_EQ(words.FoundIn(XmlUnescape(c.stored)), c.found);
    }
}

// Random texts from pieces that move character boundaries, make tags or
// read back as other bytes.
TEST(MessageSearch, StoredTextAgreesWithTheReadBackTextOnRandomTexts)
{
    const char* const pieces[] = {"\xBE\xDB", "\xBB\xE1", "\xB0", "\xDB", "&#190;", "&#xDB;", "&#176;", "&#35;",
                                  "&lt;",     "&gt;",     "&amp;", "&nbsp;", "&quot;", "&",     "#",      "<",
                                  ">",        "b",        "a",     "lt;",   "\xE1",   "\xBE"};
    const char* const words[] = {"\xBE\xDB\xBB\xE1", "\xBB\xE1", "\xDB\xBB", "b", "a&b", "<b", "\xB0", "#", "\xE1",
                                 "\xBE\xDB a"};
    std::mt19937 random(51);
    std::uniform_int_distribution<size_t> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 12);
    int found = 0;
    for (int run = 0; run < 5000; ++run) {
        std::string stored;
        for (int n = length(random); n > 0; --n)
            stored += pieces[piece(random)];
        for (const char* text : words) {
            const SearchWords search(text);
            const bool expected = search.FoundIn(XmlUnescape(stored.c_str()));
            ASSERT_EQ(search.FoundInStored(stored), expected) << "stored \"" << stored << "\" word \"" << text << "\"";
            found += expected;
        }
    }
    // The texts hit and miss.
    EXPECT_GT(found, 500);
    EXPECT_LT(found, 5000 * 10 - 500);
}

} // namespace
} // namespace tavrin
