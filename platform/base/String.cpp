#include "platform/base/String.h"

#include <cstdio>
#include <cstring>

using tavrin::CharLength;
using tavrin::IsLeadByte;

namespace {

const char kWhitespace[] = " \t\n\v\f\r";

inline unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// True when pos starts a character. GBK cannot be decoded backwards in
// general, but a byte outside the lead range always ends a character, so
// only the run of lead-range bytes just before pos matters: pos is a trail
// byte exactly when that run is odd.
bool IsCharStart(const std::string& s, size_t pos)
{
    size_t run = 0;
    while (pos > run && IsLeadByte(Byte(s[pos - run - 1])))
        ++run;
    return run % 2 == 0;
}

// The first character start at or after pos (pos clamped to the length).
size_t AlignForward(const std::string& s, size_t pos)
{
    if (pos >= s.size())
        return s.size();
    return IsCharStart(s, pos) ? pos : pos + 1;
}

inline size_t CharLen(const std::string& s, size_t pos)
{
    return static_cast<size_t>(CharLength(s.data() + pos, s.data() + s.size()));
}

// True when the character ch (1 or 2 bytes) is one of the characters of set.
bool InSet(const char* set, const char* ch, size_t len)
{
    if (!set)
        return false;
    const char* end = set + std::strlen(set);
    for (const char* p = set; p < end;) {
        size_t n = static_cast<size_t>(CharLength(p, end));
        if (n == len && std::memcmp(p, ch, n) == 0)
            return true;
        p += n;
    }
    return false;
}

// True when a text that ends with sub's last character can end at any point:
// a sub ending in a lone lead byte would only match half a character.
bool EndsWithLoneLead(std::string_view sub)
{
    const char* end = sub.data() + sub.size();
    const char* p = sub.data();
    const char* last = p;
    while (p < end) {
        last = p;
        p += CharLength(p, end);
    }
    return !sub.empty() && end - last == 1 && IsLeadByte(Byte(*last));
}

// Position of sub in s at a character start at or after from, or npos.
size_t FindText(const std::string& s, std::string_view sub, size_t from)
{
    if (sub.empty())
        return from <= s.size() ? from : std::string::npos;
    bool loneLeadEnd = EndsWithLoneLead(sub);
    for (size_t p = from; p + sub.size() <= s.size(); p += CharLen(s, p)) {
        if (s[p] == sub[0] && s.compare(p, sub.size(), sub) == 0 && (!loneLeadEnd || p + sub.size() == s.size()))
            return p;
    }
    return std::string::npos;
}

int CompareBytes(std::string_view a, std::string_view b)
{
    size_t n = a.size() < b.size() ? a.size() : b.size();
    int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (c != 0)
        return c < 0 ? -1 : 1;
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

// Lower-cases the single-byte ASCII letters only; trail bytes stay as they are.
std::string FoldCase(std::string_view text, bool upper)
{
    std::string out(text);
    for (size_t p = 0; p < out.size(); p += CharLen(out, p)) {
        char c = out[p];
        if (upper && c >= 'a' && c <= 'z')
            out[p] = static_cast<char>(c - 'a' + 'A');
        else if (!upper && c >= 'A' && c <= 'Z')
            out[p] = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

void AppendV(std::string& out, const char* format, va_list args)
{
    if (!format)
        return;
    char small[256];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0)
        return;
    if (static_cast<size_t>(n) < sizeof small) {
        out.append(small, static_cast<size_t>(n));
        return;
    }
    std::string big(static_cast<size_t>(n) + 1, '\0');
    va_copy(copy, args);
    std::vsnprintf(big.data(), big.size(), format, copy);
    va_end(copy);
    big.resize(static_cast<size_t>(n));
    out += big;
}

} // namespace

CString& CString::operator=(const char* text)
{
    SetString(text);
    return *this;
}

CString& CString::operator=(char ch)
{
    m_s.assign(1, ch);
    return *this;
}

char CString::GetAt(int index) const
{
    if (index < 0 || index >= GetLength())
        return '\0';
    return m_s[static_cast<size_t>(index)];
}

void CString::SetAt(int index, char ch)
{
    if (index >= 0 && index < GetLength())
        m_s[static_cast<size_t>(index)] = ch;
}

void CString::SetString(const char* text)
{
    // A copy first: text may point into this string.
    m_s = std::string(text ? text : "");
}

void CString::SetString(const char* text, int length)
{
    m_s = std::string(text ? text : "", text && length > 0 ? static_cast<size_t>(length) : 0);
}

void CString::Append(const char* text, int length)
{
    if (text && length > 0)
        m_s += std::string(text, static_cast<size_t>(length));
}

CString operator+(const CString& a, const CString& b)
{
    return CString(a.m_s + b.m_s);
}

CString operator+(const CString& a, const char* b)
{
    return CString(a.m_s + (b ? b : ""));
}

CString operator+(const char* a, const CString& b)
{
    return CString(std::string(a ? a : "") + b.m_s);
}

CString operator+(const CString& a, char b)
{
    return CString(a.m_s + b);
}

CString operator+(char a, const CString& b)
{
    return CString(a + b.m_s);
}

int CString::Compare(const char* other) const
{
    return CompareBytes(m_s, other ? other : "");
}

int CString::CompareNoCase(const char* other) const
{
    // Lock-step walk; each side folds only its own single-byte characters.
    std::string_view a(m_s), b(other ? other : "");
    bool trailA = false, trailB = false;
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = Byte(a[i]), cb = Byte(b[i]);
        if (trailA)
            trailA = false;
        else if (ca >= 'A' && ca <= 'Z')
            ca = static_cast<unsigned char>(ca - 'A' + 'a');
        else
            trailA = IsLeadByte(ca);
        if (trailB)
            trailB = false;
        else if (cb >= 'A' && cb <= 'Z')
            cb = static_cast<unsigned char>(cb - 'A' + 'a');
        else
            trailB = IsLeadByte(cb);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    long long length = GetLength();
    long long from = first < 0 ? 0 : first;
    long long n = count < 0 ? 0 : count;
    if (from > length)
        from = length;
    if (from + n > length)
        n = length - from;
    return CString(m_s.substr(static_cast<size_t>(from), static_cast<size_t>(n)));
}

CString CString::Left(int count) const
{
    if (count <= 0)
        return CString();
    return CString(m_s.substr(0, static_cast<size_t>(count)));
}

CString CString::Right(int count) const
{
    if (count <= 0)
        return CString();
    size_t n = static_cast<size_t>(count) < m_s.size() ? static_cast<size_t>(count) : m_s.size();
    return CString(m_s.substr(m_s.size() - n));
}

CString CString::SpanIncluding(const char* charSet) const
{
    size_t p = 0;
    while (p < m_s.size()) {
        size_t n = CharLen(m_s, p);
        if (!InSet(charSet, m_s.data() + p, n))
            break;
        p += n;
    }
    return CString(m_s.substr(0, p));
}

CString CString::SpanExcluding(const char* charSet) const
{
    size_t p = 0;
    while (p < m_s.size()) {
        size_t n = CharLen(m_s, p);
        if (InSet(charSet, m_s.data() + p, n))
            break;
        p += n;
    }
    return CString(m_s.substr(0, p));
}

CString CString::Tokenize(const char* tokens, int& start) const
{
    if (start >= 0 && start < GetLength()) {
        size_t p = AlignForward(m_s, static_cast<size_t>(start));
        if (!tokens || !*tokens) {
            // No delimiters: the rest is one token, and the next call ends.
            start = GetLength();
            return CString(m_s.substr(p));
        }
        while (p < m_s.size() && InSet(tokens, m_s.data() + p, CharLen(m_s, p)))
            p += CharLen(m_s, p);
        if (p < m_s.size()) {
            size_t e = p;
            while (e < m_s.size() && !InSet(tokens, m_s.data() + e, CharLen(m_s, e)))
                e += CharLen(m_s, e);
            // Continue after the delimiter that ended the token.
            start = static_cast<int>(e < m_s.size() ? e + CharLen(m_s, e) : e + 1);
            return CString(m_s.substr(p, e - p));
        }
    }
    start = -1;
    return CString();
}

int CString::Find(char ch, int start) const
{
    if (start < 0)
        start = 0;
    for (size_t p = AlignForward(m_s, static_cast<size_t>(start)); p < m_s.size(); p += CharLen(m_s, p)) {
        if (m_s[p] == ch && CharLen(m_s, p) == 1)
            return static_cast<int>(p);
    }
    return -1;
}

int CString::Find(const char* sub, int start) const
{
    if (!sub)
        return -1;
    if (start < 0)
        start = 0;
    if (start > GetLength())
        return -1;
    size_t p = FindText(m_s, sub, AlignForward(m_s, static_cast<size_t>(start)));
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::ReverseFind(char ch) const
{
    // Forward scan: trail bytes cannot be told apart walking backwards.
    int found = -1;
    for (size_t p = 0; p < m_s.size(); p += CharLen(m_s, p)) {
        if (m_s[p] == ch && CharLen(m_s, p) == 1)
            found = static_cast<int>(p);
    }
    return found;
}

int CString::FindOneOf(const char* charSet) const
{
    for (size_t p = 0; p < m_s.size(); p += CharLen(m_s, p)) {
        if (InSet(charSet, m_s.data() + p, CharLen(m_s, p)))
            return static_cast<int>(p);
    }
    return -1;
}

int CString::Replace(char oldCh, char newCh)
{
    if (oldCh == newCh)
        return 0;
    int count = 0;
    for (size_t p = 0; p < m_s.size(); p += CharLen(m_s, p)) {
        if (m_s[p] == oldCh && CharLen(m_s, p) == 1) {
            m_s[p] = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const char* oldText, const char* newText)
{
    if (!oldText || !*oldText)
        return 0;
    std::string_view from(oldText);
    std::string to(newText ? newText : "");
    std::string out;
    int count = 0;
    size_t done = 0;
    for (size_t p = FindText(m_s, from, 0); p != std::string::npos; p = FindText(m_s, from, done)) {
        out.append(m_s, done, p - done);
        out += to;
        done = p + from.size();
        ++count;
    }
    if (count) {
        out.append(m_s, done, std::string::npos);
        m_s = std::move(out);
    }
    return count;
}

int CString::Remove(char ch)
{
    std::string out;
    out.reserve(m_s.size());
    int count = 0;
    for (size_t p = 0; p < m_s.size();) {
        size_t n = CharLen(m_s, p);
        if (n == 1 && m_s[p] == ch)
            ++count;
        else
            out.append(m_s, p, n);
        p += n;
    }
    m_s = std::move(out);
    return count;
}

int CString::Insert(int index, char ch)
{
    if (index < 0)
        index = 0;
    if (index > GetLength())
        index = GetLength();
    m_s.insert(static_cast<size_t>(index), 1, ch);
    return GetLength();
}

int CString::Insert(int index, const char* text)
{
    if (index < 0)
        index = 0;
    if (index > GetLength())
        index = GetLength();
    if (text)
        m_s.insert(static_cast<size_t>(index), std::string(text));
    return GetLength();
}

int CString::Delete(int index, int count)
{
    if (index < 0)
        index = 0;
    if (count > 0 && index < GetLength())
        m_s.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return GetLength();
}

CString& CString::MakeUpper()
{
    m_s = FoldCase(m_s, true);
    return *this;
}

CString& CString::MakeLower()
{
    m_s = FoldCase(m_s, false);
    return *this;
}

CString& CString::MakeReverse()
{
    // Characters are reversed, each double-byte character keeps its byte order.
    std::string out(m_s.size(), '\0');
    size_t q = m_s.size();
    for (size_t p = 0; p < m_s.size();) {
        size_t n = CharLen(m_s, p);
        q -= n;
        m_s.copy(out.data() + q, n, p);
        p += n;
    }
    m_s = std::move(out);
    return *this;
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

CString& CString::Trim(char target)
{
    return TrimRight(target).TrimLeft(target);
}

CString& CString::Trim(const char* targets)
{
    return TrimRight(targets).TrimLeft(targets);
}

CString& CString::TrimLeft()
{
    return TrimLeft(kWhitespace);
}

CString& CString::TrimLeft(char target)
{
    size_t p = 0;
    while (p < m_s.size() && m_s[p] == target && CharLen(m_s, p) == 1)
        ++p;
    m_s.erase(0, p);
    return *this;
}

CString& CString::TrimLeft(const char* targets)
{
    if (!targets || !*targets)
        return *this;
    size_t p = 0;
    while (p < m_s.size() && InSet(targets, m_s.data() + p, CharLen(m_s, p)))
        p += CharLen(m_s, p);
    m_s.erase(0, p);
    return *this;
}

CString& CString::TrimRight()
{
    return TrimRight(kWhitespace);
}

CString& CString::TrimRight(char target)
{
    // Forward scan remembering where the trailing run began.
    size_t cut = m_s.size();
    for (size_t p = 0; p < m_s.size(); p += CharLen(m_s, p)) {
        if (m_s[p] == target && CharLen(m_s, p) == 1) {
            if (cut == m_s.size())
                cut = p;
        } else {
            cut = m_s.size();
        }
    }
    m_s.resize(cut);
    return *this;
}

CString& CString::TrimRight(const char* targets)
{
    if (!targets || !*targets)
        return *this;
    size_t cut = m_s.size();
    for (size_t p = 0; p < m_s.size(); p += CharLen(m_s, p)) {
        if (InSet(targets, m_s.data() + p, CharLen(m_s, p))) {
            if (cut == m_s.size())
                cut = p;
        } else {
            cut = m_s.size();
        }
    }
    m_s.resize(cut);
    return *this;
}

void CString::FormatV(const char* format, va_list args)
{
    // Into a fresh string: an argument may point into this one.
    std::string out;
    AppendV(out, format, args);
    m_s = std::move(out);
}

void CString::AppendFormatV(const char* format, va_list args)
{
    std::string out;
    AppendV(out, format, args);
    m_s += out;
}

void CString::FormatImpl(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormatImpl(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

char* CString::GetBuffer()
{
    return m_s.data();
}

char* CString::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_s.resize(static_cast<size_t>(minLength));
    return m_s.data();
}

char* CString::GetBufferSetLength(int length)
{
    m_s.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return m_s.data();
}

void CString::ReleaseBuffer(int newLength)
{
    size_t n = newLength < 0 ? strnlen(m_s.data(), m_s.size()) : static_cast<size_t>(newLength);
    if (n < m_s.size())
        m_s.resize(n);
}
