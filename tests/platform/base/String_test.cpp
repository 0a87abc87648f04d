#include "platform/base/String.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

// Narrow literals are GBK here. These characters have trail bytes that are
// also ASCII punctuation or letters, the bytes a naive scan gets wrong.
#define YUN "運"  // DF 5C: trail is '\'
#define WU "誤"   // D5 60: trail is '`'
#define CHU "觸"  // D3 7C: trail is '|'
#define HUA "華"  // C8 41: trail is 'A'
#define BU "補"   // D1 61: trail is 'a'

namespace {

std::string Hex(const CString& s)
{
    std::string out;
    char b[4];
    for (char c : s.Str()) {
        std::snprintf(b, sizeof b, "%02X ", static_cast<unsigned char>(c));
        out += b;
    }
    return out;
}

} // namespace

TEST(CString, TestCharactersHaveTheTrailBytesWeNeed)
{
    EXPECT_EQ(Hex(YUN WU CHU HUA BU), "DF 5C D5 60 D3 7C C8 41 D1 61 ");
}

struct FindCharCase {
    const char* text;
    char ch;
    int start;
    int find;
    int reverse;
};

void PrintTo(const FindCharCase& c, std::ostream* os)
{
    *os << Hex(CString(c.text)) << "find " << static_cast<int>(static_cast<unsigned char>(c.ch));
}

class CStringFindChar : public testing::TestWithParam<FindCharCase> {};

TEST_P(CStringFindChar, StepsOverTrailBytes)
{
    const FindCharCase& c = GetParam();
    CString s(c.text);
    EXPECT_EQ(s.Find(c.ch, c.start), c.find) << Hex(s);
    EXPECT_EQ(s.ReverseFind(c.ch), c.reverse) << Hex(s);
}

INSTANTIATE_TEST_SUITE_P(Table, CStringFindChar, testing::Values(
    FindCharCase{YUN, '\\', 0, -1, -1},
    FindCharCase{WU, '`', 0, -1, -1},
    FindCharCase{CHU, '|', 0, -1, -1},
    FindCharCase{YUN "\\a", '\\', 0, 2, 2},
    FindCharCase{"a\\" YUN, '\\', 0, 1, 1},
    FindCharCase{"\\" YUN "\\" YUN, '\\', 1, 3, 3},
    FindCharCase{WU "`" WU, '`', 0, 2, 2},
    FindCharCase{CHU CHU "|" CHU, '|', 0, 4, 4},
    // A start on a trail byte begins at the next character.
    FindCharCase{YUN "\\", '\\', 1, 2, 2},
    FindCharCase{"x" YUN YUN "\\", '\\', 2, 5, 5},
    FindCharCase{"abc", 'c', -5, 2, 2},
    FindCharCase{"abc", 'a', 1, -1, 0},
    FindCharCase{"abc", 'a', 99, -1, 0},
    FindCharCase{HUA "A", 'A', 0, 2, 2},
    FindCharCase{"", 'a', 0, -1, -1},
    // A lead byte alone at the end is a character of its own.
    FindCharCase{"a\xDF", '\xDF', 0, 1, 1}));

struct FindTextCase {
    const char* text;
    const char* sub;
    int start;
    int expected;
};

void PrintTo(const FindTextCase& c, std::ostream* os)
{
    *os << Hex(CString(c.text)) << "find " << Hex(CString(c.sub)) << "from " << c.start;
}

class CStringFindText : public testing::TestWithParam<FindTextCase> {};

TEST_P(CStringFindText, MatchesOnlyAtCharacterStarts)
{
    const FindTextCase& c = GetParam();
    EXPECT_EQ(CString(c.text).Find(c.sub, c.start), c.expected) << Hex(CString(c.text));
}

INSTANTIATE_TEST_SUITE_P(Table, CStringFindText, testing::Values(
    FindTextCase{YUN "\\n", "\\n", 0, 2},
    FindTextCase{YUN "n", "\\n", 0, -1},
    FindTextCase{CHU "|" CHU, "|", 0, 2},
    FindTextCase{WU "`", "``", 0, -1},
    FindTextCase{WU "```", "``", 0, 2},
    FindTextCase{HUA "Ab", "Ab", 0, 2},
    FindTextCase{"ab" YUN "cd" YUN, YUN, 3, 6},
    FindTextCase{"ab" YUN "cd" YUN, YUN "cd", 0, 2},
    // Half a character never matches.
    FindTextCase{YUN, "\xDF", 0, -1},
    FindTextCase{"a\xDF", "\xDF", 0, 1},
    FindTextCase{"abc", "", 1, 1},
    FindTextCase{"abc", "c", 4, -1},
    FindTextCase{"abcabc", "bc", 2, 4}));

TEST(CString, FindOneOfAndSpansTreatDoubleByteCharactersAsUnits)
{
    CString s(YUN WU CHU "|x");
    EXPECT_EQ(s.FindOneOf("\\`|"), 6);
    EXPECT_EQ(s.FindOneOf(CHU), 4);
    EXPECT_EQ(s.FindOneOf("yz"), -1);

    EXPECT_EQ(CString(YUN YUN "\\x").SpanIncluding(YUN "\\"), YUN YUN "\\");
    EXPECT_EQ(CString(YUN).SpanIncluding("\\\xDF"), "");
    EXPECT_EQ(CString(YUN "\\x").SpanExcluding("\\"), YUN);
    EXPECT_EQ(CString(CHU "a|b").SpanExcluding("|"), CHU "a");
    EXPECT_EQ(CString("abc").SpanExcluding(""), "abc");
}

TEST(CString, ReplaceAndRemoveTouchOnlyWholeCharacters)
{
    struct Case {
        const char* text;
        const char* from;
        const char* to;
        int count;
        const char* result;
    } cases[] = {
        {YUN "\\" WU, "\\", "/", 1, YUN "/" WU},
        {YUN YUN, "\\", "/", 0, YUN YUN},
        {CHU "|" CHU "|", "|", "||", 2, CHU "||" CHU "||"},
        {WU "`", "`", "", 1, WU},
        {HUA "A" HUA, "A", "B", 1, HUA "B" HUA},
        {"aaa", "aa", "b", 1, "ba"},
        {"abc", "", "x", 0, "abc"},
        {YUN "\\", YUN, "x", 1, "x\\"},
    };
    for (const Case& c : cases) {
        CString s(c.text);
        EXPECT_EQ(s.Replace(c.from, c.to), c.count) << c.result;
        EXPECT_EQ(s, c.result) << Hex(s);
    }

    CString s(YUN "\\" CHU "|");
    EXPECT_EQ(s.Replace('\\', '/'), 1);
    EXPECT_EQ(s.Replace('|', '!'), 1);
    EXPECT_EQ(s, YUN "/" CHU "!");

    CString r(CHU "|" CHU "|" WU "`");
    EXPECT_EQ(r.Remove('|'), 2);
    EXPECT_EQ(r.Remove('`'), 1);
    EXPECT_EQ(r, CHU CHU WU);
}

TEST(CString, CaseChangesAsciiLettersOnly)
{
    CString s(HUA "Ab" BU "aZ");
    s.MakeLower();
    EXPECT_EQ(s, HUA "ab" BU "az");
    s.MakeUpper();
    EXPECT_EQ(s, HUA "AB" BU "AZ");
    CString t("\xC4\xE3h\xE9");
    t.MakeUpper();
    EXPECT_EQ(t, "\xC4\xE3H\xE9");
}

TEST(CString, ComparesUnsignedBytesAndFoldsOnlyAsciiLetters)
{
    EXPECT_GT(CString("\xB0\xA1").Compare("z"), 0);
    EXPECT_LT(CString("ab").Compare("abc"), 0);
    EXPECT_EQ(CString("abc").Compare("abc"), 0);
    EXPECT_EQ(CString("ABC").CompareNoCase("abc"), 0);
    // Folding is to lower case: '_' sorts before letters.
    EXPECT_GT(CString("A").CompareNoCase("_"), 0);
    // Trail bytes 'A' and 'a' belong to different characters.
    EXPECT_NE(CString(HUA).CompareNoCase("\xC8\x61"), 0);
    EXPECT_EQ(CString(HUA "X").CompareNoCase(HUA "x"), 0);
    EXPECT_NE(CString("\xB0" "A").CompareNoCase("\xB0" "a"), 0);
    EXPECT_LT(CString("abc").CompareNoCase("ABD"), 0);
    EXPECT_GT(CString("abcd").CompareNoCase("ABC"), 0);
    EXPECT_EQ(CString().Compare(nullptr), 0);

    CString b("b");
    EXPECT_TRUE("a" < b);
    EXPECT_TRUE(b > "a");
    EXPECT_TRUE("b" == b);
    EXPECT_TRUE(b != "c");
    EXPECT_TRUE("c" >= b);
    EXPECT_TRUE(CString("\xB0") > CString("a"));
}

TEST(CString, TrimStopsAtTrailBytes)
{
    struct Case {
        const char* text;
        const char* both;
        const char* left;
        const char* right;
    } cases[] = {
        {" \t" YUN "\\ \r\n\v\f", YUN "\\", YUN "\\ \r\n\v\f", " \t" YUN "\\"},
        {"", "", "", ""},
        {" \t\n", "", "", ""},
        {"a b", "a b", "a b", "a b"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CString(c.text).Trim(), c.both);
        EXPECT_EQ(CString(c.text).TrimLeft(), c.left);
        EXPECT_EQ(CString(c.text).TrimRight(), c.right);
    }

    EXPECT_EQ(CString(YUN "\\\\").TrimRight('\\'), YUN);
    EXPECT_EQ(CString(YUN).TrimRight('\\'), YUN);
    EXPECT_EQ(CString(CHU "||").TrimRight("|`"), CHU);
    EXPECT_EQ(CString(WU "`" WU "``").Trim('`'), WU "`" WU);
    EXPECT_EQ(CString("||" CHU "|").Trim('|'), CHU);
    EXPECT_EQ(CString(YUN "a" YUN YUN).Trim(YUN), "a");
    EXPECT_EQ(CString("xxaxx").Trim("x"), "a");
    EXPECT_EQ(CString("xx").TrimLeft("x"), "");
}

TEST(CString, ExtractionClamps)
{
    CString s("abcdef");
    struct Case {
        int first;
        int count;
        const char* mid;
    } mids[] = {
        {0, 3, "abc"}, {2, 2, "cd"}, {4, 100, "ef"}, {-3, 2, "ab"}, {6, 1, ""},
        {100, 1, ""}, {1, -1, ""}, {1, 0x7FFFFFFF, "bcdef"},
    };
    for (const Case& c : mids)
        EXPECT_EQ(s.Mid(c.first, c.count), c.mid) << c.first << "," << c.count;
    EXPECT_EQ(s.Mid(3), "def");
    EXPECT_EQ(s.Mid(-1), "abcdef");
    EXPECT_EQ(s.Mid(9), "");
    EXPECT_EQ(s.Left(2), "ab");
    EXPECT_EQ(s.Left(-2), "");
    EXPECT_EQ(s.Left(99), "abcdef");
    EXPECT_EQ(s.Right(2), "ef");
    EXPECT_EQ(s.Right(-2), "");
    EXPECT_EQ(s.Right(99), "abcdef");
}

TEST(CString, IndexingAcceptsAnyIntegerType)
{
    CString s("ab");
    size_t one = 1;
    long zero = 0;
    unsigned two = 2;
    EXPECT_EQ(s[one], 'b');
    EXPECT_EQ(s[zero], 'a');
    EXPECT_EQ(s[two], '\0');
    EXPECT_EQ(s[-1], '\0');
    EXPECT_EQ(s[static_cast<size_t>(-1)], '\0');
    s.SetAt(1, 'c');
    s.SetAt(5, 'x');
    EXPECT_EQ(s, "ac");
}

TEST(CString, InsertAndDeleteClamp)
{
    CString s("abc");
    EXPECT_EQ(s.Insert(1, 'x'), 4);
    EXPECT_EQ(s, "axbc");
    EXPECT_EQ(s.Insert(99, "yz"), 6);
    EXPECT_EQ(s, "axbcyz");
    EXPECT_EQ(s.Insert(-4, YUN), 8);
    EXPECT_EQ(s, YUN "axbcyz");
    EXPECT_EQ(s.Delete(0, 2), 6);
    EXPECT_EQ(s, "axbcyz");
    EXPECT_EQ(s.Delete(4, 99), 4);
    EXPECT_EQ(s.Delete(99, 1), 4);
    EXPECT_EQ(s.Delete(-1, 1), 3);
    EXPECT_EQ(s.Delete(1, 0), 3);
    EXPECT_EQ(s, "xbc");
    CString self("ab");
    self.Insert(1, self.GetString());
    EXPECT_EQ(self, "aabb");
}

TEST(CString, MakeReverseKeepsDoubleByteCharactersWhole)
{
    CString s("a" YUN "b" CHU);
    s.MakeReverse();
    EXPECT_EQ(s, CHU "b" YUN "a");
}

TEST(CString, TokenizeSkipsEmptyTokensAndDelimiterTrailBytes)
{
    CString s("|" YUN "|" CHU "||" WU "|");
    int pos = 0;
    std::string got;
    for (CString t = s.Tokenize("|", pos); pos != -1; t = s.Tokenize("|", pos))
        got += std::string(t.GetString()) + ";";
    EXPECT_EQ(got, YUN ";" CHU ";" WU ";");

    pos = 0;
    EXPECT_EQ(CString("a,b").Tokenize(",", pos), "a");
    EXPECT_EQ(pos, 2);
    EXPECT_EQ(CString("a,b").Tokenize(",", pos), "b");
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(CString("a,b").Tokenize(",", pos), "");
    EXPECT_EQ(pos, -1);

    pos = 0;
    EXPECT_EQ(CString(YUN "\\x").Tokenize("\\", pos), YUN);
    pos = 0;
    EXPECT_EQ(CString(",,,").Tokenize(",", pos), "");
    EXPECT_EQ(pos, -1);
    pos = 1;
    EXPECT_EQ(CString("ab").Tokenize("", pos), "b");
    EXPECT_EQ(CString("ab").Tokenize("", pos), "");
    EXPECT_EQ(pos, -1);
    pos = -3;
    EXPECT_EQ(CString("ab").Tokenize(",", pos), "");
    EXPECT_EQ(pos, -1);
}

TEST(CString, FormatUsesPrintfAndMayReadItsOwnText)
{
    CString name(YUN);
    CString s;
    s.Format("%s-%d-%05.1f-%x-%c-%%", name, 42, 3.14159, 255u, 'z');
    EXPECT_EQ(s, YUN "-42-003.1-ff-z-%");

    s.Format("%s|%s", s, s);
    EXPECT_EQ(s, YUN "-42-003.1-ff-z-%|" YUN "-42-003.1-ff-z-%");

    CString a("x");
    a.AppendFormat("%s%d", a, 7);
    EXPECT_EQ(a, "xx7");

    std::string big(1000, 'q');
    CString longer;
    longer.Format("<%s>", big.c_str());
    EXPECT_EQ(longer.GetLength(), 1002);
    longer.AppendFormat("%s", longer);
    EXPECT_EQ(longer.GetLength(), 2004);

    s.Format("plain");
    EXPECT_EQ(s, "plain");
    long long wide = 1234567890123LL;
    s.Format("%lld", wide);
    EXPECT_EQ(s, "1234567890123");
}

TEST(CString, GetBufferAndReleaseBuffer)
{
    CString s("ab");
    char* p = s.GetBuffer(10);
    std::strcpy(p, "hello");
    s.ReleaseBuffer();
    EXPECT_EQ(s, "hello");
    EXPECT_EQ(s.GetLength(), 5);

    p = s.GetBuffer(20);
    std::memcpy(p, "abcdef", 6);
    s.ReleaseBuffer(3);
    EXPECT_EQ(s, "abc");

    p = s.GetBufferSetLength(2);
    EXPECT_EQ(s.GetLength(), 2);
    p[0] = 'z';
    s.ReleaseBuffer();
    EXPECT_EQ(s, "zb");

    // A length beyond the buffer is clamped rather than read past.
    s.ReleaseBuffer(100);
    EXPECT_EQ(s, "zb");

    CString empty;
    std::strcpy(empty.GetBuffer(MAX_PATH), YUN);
    empty.ReleaseBuffer();
    EXPECT_EQ(empty, YUN);
}

TEST(CString, CountedTextKeepsEmbeddedNulsAndConcatenates)
{
    CString s("a\0b", 3);
    EXPECT_EQ(s.GetLength(), 3);
    EXPECT_EQ(s.Find('b'), 2);
    CString t = s + "c" + 'd';
    EXPECT_EQ(t.GetLength(), 5);
    EXPECT_EQ(CString('x', 3), "xxx");
    EXPECT_EQ("<" + CString(YUN) + ">", "<" YUN ">");
    CString self("ab");
    self += self;
    EXPECT_EQ(self, "abab");
    self = self.GetString() + 1;
    EXPECT_EQ(self, "bab");
    EXPECT_EQ(CString(static_cast<const char*>(nullptr)), "");
}
