#include "providers/common/Escape.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

// "\x81\x5C" is one double-byte character whose second byte is a backslash;
// "\x81\x7C" one whose second byte is a vertical bar.
TEST(Escape, ScriptString)
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"plain 文字", "plain 文字"},
        {"a\\\"b", "a\\\\\\\"b"}, // backslash, quote -> two backslashes, backslash, quote
        {"it's", "it\\'s"},
        {"line1\r\nline2", "line1\\r\\nline2"},
        {"</script><b>", "\\x3C/script\\x3E\\x3Cb\\x3E"},
        {"tab\tbell\x07", "tab\\tbell\\x07"},
        {"\x81\x5C\"", "\x81\x5C\\\""},
        // A lead byte without its second byte cannot take the quote along.
        {"\x81\"", "?\\\""},
        {"end\x81", "end?"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EscapeScriptString(c.in), CString(c.out)) << c.in;
}

TEST(Escape, Html)
{
    EXPECT_EQ(EscapeHtml("<a href=\"x\">&'</a>"), CString("&lt;a href=&quot;x&quot;&gt;&amp;&#39;&lt;/a&gt;"));
    EXPECT_EQ(EscapeHtml("张三\x81\x7C"), CString("张三\x81\x7C"));
    EXPECT_EQ(EscapeHtml("\x81<"), CString("?&lt;"));
}

TEST(Escape, Url)
{
    EXPECT_EQ(EscapeUrl("a b&c=d/e?f#g~h-i_j.k"), CString("a%20b%26c%3Dd%2Fe%3Ff%23g~h-i_j.k"));
    // Both bytes of a double-byte character, also a second byte that is a
    // letter or a backslash.
    EXPECT_EQ(EscapeUrl("\xD5\xC5\x81\x5C\x81\x41"), CString("%D5%C5%81%5C%81%41"));
    EXPECT_EQ(EscapeUrl("\r\n"), CString("%0D%0A"));
}

} // namespace
} // namespace tavrin
