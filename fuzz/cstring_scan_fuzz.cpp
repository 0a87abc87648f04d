// CString's double-byte aware scans on hostile text: a match never starts on
// a trail byte or ends inside a character, case folding never touches a trail
// byte, and lengths and derived indexes stay consistent. Each operation is
// checked against a plain forward walk over the characters.
#include "platform/base/String.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// A failed property names itself, so a crash input tells what broke.
#define CHECK(cond)                                                                                      \
    do {                                                                                                 \
        if (!(cond)) {                                                                                   \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond);           \
            std::abort();                                                                                \
        }                                                                                                \
    } while (0)

namespace {

// Character boundaries of s, found walking forwards: boundary[i] is true when
// a character starts at i (and at the end).
struct Chars {
    explicit Chars(std::string_view text) : s(text), boundary(text.size() + 1, false)
    {
        for (size_t p = 0; p < s.size(); p += Len(p))
            boundary[p] = true;
        boundary[s.size()] = true;
    }
    size_t Len(size_t p) const { return tavrin::IsLeadByte(static_cast<unsigned char>(s[p])) && p + 1 < s.size() ? 2 : 1; }
    // True when the character at p is one of the characters of set.
    bool In(std::string_view set, size_t p) const
    {
        Chars c(set);
        for (size_t q = 0; q < set.size(); q += c.Len(q))
            if (set.substr(q, c.Len(q)) == s.substr(p, Len(p)))
                return true;
        return false;
    }
    size_t FirstFrom(int start) const
    {
        size_t p = start < 0 ? 0 : static_cast<size_t>(start);
        while (p < s.size() && !boundary[p])
            ++p;
        return p < s.size() ? p : s.size();
    }
    std::string_view s;
    std::vector<bool> boundary;
};

int RefFindChar(const Chars& c, char ch, int start)
{
    for (size_t p = c.FirstFrom(start); p < c.s.size(); p += c.Len(p))
        if (c.Len(p) == 1 && c.s[p] == ch)
            return static_cast<int>(p);
    return -1;
}

int RefFindText(const Chars& c, std::string_view sub, int start)
{
    if (start > static_cast<int>(c.s.size()))
        return -1;
    for (size_t p = c.FirstFrom(start); p + sub.size() <= c.s.size(); p += p < c.s.size() ? c.Len(p) : 1)
        if (c.s.substr(p, sub.size()) == sub && c.boundary[p + sub.size()])
            return static_cast<int>(p);
    return -1;
}

void CheckFinds(const CString& str, const Chars& c, char ch, std::string_view sub, int start)
{
    const std::string sz(sub);
    for (int from : {start, 0, -1, str.GetLength(), str.GetLength() + 1, INT_MAX}) {
        CHECK(str.Find(ch, from) == RefFindChar(c, ch, from));
        CHECK(str.Find(sz.c_str(), from) == RefFindText(c, sub, from));
    }
    int last = -1;
    for (size_t p = 0; p < c.s.size(); p += c.Len(p))
        if (c.Len(p) == 1 && c.s[p] == ch)
            last = static_cast<int>(p);
    CHECK(str.ReverseFind(ch) == last);

    int oneOf = -1;
    for (size_t p = 0; p < c.s.size() && oneOf < 0; p += c.Len(p))
        if (c.In(sub, p))
            oneOf = static_cast<int>(p);
    CHECK(str.FindOneOf(sz.c_str()) == oneOf);

    // Indexes found split the text into parts that add up again.
    for (int at : {str.Find(ch, start), str.Find(sz.c_str(), start), str.ReverseFind(ch), start}) {
        CHECK(str.Left(at) + str.Mid(at) == str);
        CHECK(str.Mid(at, INT_MAX) == str.Mid(at));
        int n = str.GetLength() - at;
        CHECK(str.Right(n) == (at < 0 ? str : str.Mid(at)));
        CHECK(str.Mid(at, 1).GetLength() == (at >= 0 && at < str.GetLength() ? 1 : (at < 0 && !str.IsEmpty() ? 1 : 0)));
    }
}

void CheckReplace(const CString& str, const Chars& c, char oldCh, char newCh, std::string_view sub)
{
    // Characters equal to oldCh change; a new lead byte would join the next
    // character, so the walk over the old characters is only the reference
    // when newCh is a character of its own.
    CString r = str;
    int count = r.Replace(oldCh, newCh);
    CHECK(r.GetLength() == str.GetLength() && count >= 0);
    if (!tavrin::IsLeadByte(static_cast<unsigned char>(newCh))) {
        std::string expected(c.s);
        int n = 0;
        for (size_t p = 0; p < c.s.size(); p += c.Len(p))
            if (oldCh != newCh && c.Len(p) == 1 && c.s[p] == oldCh) {
                expected[p] = newCh;
                ++n;
            }
        CHECK(r.View() == expected && count == n);
    }

    // Text replacement: left to right, non-overlapping, whole characters.
    const std::string sz(sub);
    for (const char* with : {"", "<>", "\xD5\\"}) {
        CString t = str;
        int replaced = t.Replace(sz.c_str(), with);
        std::string expected;
        int n = 0;
        if (!sz.empty()) {
            size_t done = 0;
            for (int p = RefFindText(c, sz, 0); p >= 0; p = RefFindText(c, sz, static_cast<int>(done))) {
                expected.append(c.s.substr(done, static_cast<size_t>(p) - done));
                expected += with;
                done = static_cast<size_t>(p) + sz.size();
                ++n;
                if (done > c.s.size())
                    break;
            }
            expected.append(c.s.substr(done < c.s.size() ? done : c.s.size()));
        } else {
            expected = std::string(c.s);
        }
        CHECK(replaced == n && t.View() == expected);
    }

    CString removed = str;
    int gone = removed.Remove(oldCh);
    int singles = 0;
    for (size_t p = 0; p < c.s.size(); p += c.Len(p))
        singles += c.Len(p) == 1 && c.s[p] == oldCh;
    CHECK(gone == singles && removed.GetLength() == str.GetLength() - gone);
}

void CheckTokens(const CString& str, const Chars& c, std::string_view set, int start)
{
    const std::string sz(set);
    int pos = start;
    // Reference walk.
    size_t p = start < 0 ? c.s.size() : c.FirstFrom(start);
    bool refDone = start < 0 || start >= static_cast<int>(c.s.size());
    for (size_t round = 0; round <= c.s.size() + 1; ++round) {
        CString token = str.Tokenize(sz.c_str(), pos);
        std::string expected;
        if (!refDone && sz.empty()) {
            expected = std::string(c.s.substr(p));
            p = c.s.size();
        } else if (!refDone) {
            while (p < c.s.size() && c.In(sz, p))
                p += c.Len(p);
            if (p >= c.s.size()) {
                refDone = true;
            } else {
                size_t e = p;
                while (e < c.s.size() && !c.In(sz, e))
                    e += c.Len(e);
                expected = std::string(c.s.substr(p, e - p));
                p = e < c.s.size() ? e + c.Len(e) : e + 1;
            }
        }
        if (refDone) {
            CHECK(pos == -1 && token.IsEmpty());
            return;
        }
        CHECK(token.View() == expected && !token.IsEmpty() == !expected.empty());
        if (p >= c.s.size())
            refDone = true;
    }
    CHECK(!"Tokenize must finish within one round per byte");
}

void CheckSpans(const CString& str, const Chars& c, std::string_view set)
{
    const std::string sz(set);
    size_t in = 0, out = 0;
    while (in < c.s.size() && c.In(sz, in))
        in += c.Len(in);
    while (out < c.s.size() && !c.In(sz, out))
        out += c.Len(out);
    CHECK(str.SpanIncluding(sz.c_str()).View() == c.s.substr(0, in));
    CHECK(str.SpanExcluding(sz.c_str()).View() == c.s.substr(0, out));

    // Trimming cuts whole characters of the set (white space by default).
    for (const char* targets : {static_cast<const char*>(nullptr), sz.c_str()}) {
        std::string_view set2 = targets ? std::string_view(targets) : std::string_view(" \t\n\v\f\r");
        if (set2.empty())
            continue;
        size_t cut = c.s.size();
        for (size_t q = 0; q < c.s.size(); q += c.Len(q))
            cut = c.In(set2, q) ? (cut == c.s.size() ? q : cut) : c.s.size();
        std::string right(c.s.substr(0, cut));
        Chars rc(right);
        size_t left = 0;
        while (left < right.size() && rc.In(set2, left))
            left += rc.Len(left);
        CString t = str;
        if (targets)
            t.Trim(targets);
        else
            t.Trim();
        CHECK(t.View() == std::string_view(right).substr(left));
    }
}

void CheckCase(const CString& str, const Chars& c)
{
    CString upper = str, lower = str;
    upper.MakeUpper();
    lower.MakeLower();
    CHECK(upper.GetLength() == str.GetLength() && lower.GetLength() == str.GetLength());
    for (size_t p = 0; p < c.s.size(); ++p) {
        char b = c.s[p];
        char u = b, l = b;
        if (c.boundary[p] && c.Len(p) == 1) {
            if (b >= 'a' && b <= 'z')
                u = static_cast<char>(b - 32);
            if (b >= 'A' && b <= 'Z')
                l = static_cast<char>(b + 32);
        }
        CHECK(upper[static_cast<int>(p)] == u && lower[static_cast<int>(p)] == l);
    }
    // Case-blind comparison sees the folded texts as equal (up to a NUL,
    // where the C string ends).
    CString head(c.s.substr(0, c.s.find('\0')));
    CString headUpper = head, headLower = head;
    headUpper.MakeUpper();
    headLower.MakeLower();
    CHECK(head.CompareNoCase(headUpper) == 0 && head.CompareNoCase(headLower) == 0);
    CHECK(headUpper.CompareNoCase(headLower) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const char ch = static_cast<char>(data[0]);
    const char newCh = static_cast<char>(data[1]);
    const int start = static_cast<int8_t>(data[2]);
    size_t k = data[3] % 8;
    data += 4;
    size -= 4;
    if (k > size)
        k = size;
    std::string_view raw(reinterpret_cast<const char*>(data), k);
    // The search text and set are C strings: they end at the first NUL.
    std::string_view sub = raw.substr(0, raw.find('\0'));
    std::string_view text(reinterpret_cast<const char*>(data) + k, size - k);

    const CString str(text);
    const Chars chars(str.View());
    CheckFinds(str, chars, ch, sub, start);
    CheckReplace(str, chars, ch, newCh, sub);
    CheckTokens(str, chars, sub, start);
    CheckTokens(str, chars, " ,\\|", 0);
    CheckSpans(str, chars, sub);
    CheckCase(str, chars);
    return 0;
}
