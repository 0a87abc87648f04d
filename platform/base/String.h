// CString: a counted string of GBK bytes (code page 936) with the framework's
// multibyte semantics. Lengths and indexes are in bytes; every scan steps over
// double-byte characters (lead byte 0x81-0xFE plus one trail byte), so a search
// for '\\', '|' or '`' never matches the trail byte of a Chinese character.
#pragma once

#include "platform/base/Types.h"

#include <cstdarg>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace tavrin {
// True when b starts a double-byte character in GBK.
inline bool IsLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
// Byte length of the character at p (1 or 2); never steps past end.
inline int CharLength(const char* p, const char* end)
{
    return (IsLeadByte(static_cast<unsigned char>(*p)) && p + 1 < end) ? 2 : 1;
}
} // namespace tavrin

class CString {
public:
    CString() = default;
    CString(const char* text) : m_s(text ? text : "") {}
    CString(const char* text, int length) : m_s(text ? text : "", text && length > 0 ? static_cast<size_t>(length) : 0) {}
    CString(char ch, int repeat = 1) : m_s(repeat > 0 ? static_cast<size_t>(repeat) : 0, ch) {}
    explicit CString(std::string_view text) : m_s(text) {}
    explicit CString(std::string text) : m_s(std::move(text)) {}
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(const char* text);
    CString& operator=(char ch);

    // Length and access
    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    char GetAt(int index) const;
    void SetAt(int index, char ch);
    char operator[](int index) const { return GetAt(index); }
    // Any other integer index: without this, s[i] with a long or size_t i is
    // ambiguous with the built-in subscript of operator const char*.
    template <typename I, typename = std::enable_if_t<std::is_integral_v<I>>>
    char operator[](I index) const
    {
        return std::in_range<int>(index) ? GetAt(static_cast<int>(index)) : '\0';
    }
    operator const char*() const { return m_s.c_str(); }
    const char* GetString() const { return m_s.c_str(); }
    const std::string& Str() const { return m_s; }
    std::string_view View() const { return m_s; }
    void SetString(const char* text);
    void SetString(const char* text, int length);

    // Concatenation
    CString& operator+=(const CString& s) { m_s += s.m_s; return *this; }
    CString& operator+=(const char* s) { if (s) m_s += s; return *this; }
    CString& operator+=(char ch) { m_s += ch; return *this; }
    void Append(const char* text) { if (text) m_s += text; }
    void Append(const char* text, int length);
    void Append(const CString& s) { m_s += s.m_s; }
    void AppendChar(char ch) { m_s += ch; }
    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, const char* b);
    friend CString operator+(const char* a, const CString& b);
    friend CString operator+(const CString& a, char b);
    friend CString operator+(char a, const CString& b);

    // Comparison in unsigned byte order; NoCase folds ASCII letters only.
    int Compare(const char* other) const;
    int CompareNoCase(const char* other) const;
    int Collate(const char* other) const { return Compare(other); }
    int CollateNoCase(const char* other) const { return CompareNoCase(other); }

    // Extraction: out-of-range positions and counts are clamped.
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;
    CString SpanIncluding(const char* charSet) const;
    CString SpanExcluding(const char* charSet) const;
    // Next token after start (skipping leading delimiters); start becomes -1
    // and the result empty when none is left.
    CString Tokenize(const char* tokens, int& start) const;

    // Searching: -1 when not found. Matches begin only at character starts.
    int Find(char ch, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char* charSet) const;

    // Editing; counts are of replacements or removed characters.
    int Replace(char oldCh, char newCh);
    int Replace(const char* oldText, const char* newText);
    int Remove(char ch);
    int Insert(int index, char ch);
    int Insert(int index, const char* text);
    int Delete(int index, int count = 1);
    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();
    CString& Trim();
    CString& Trim(char target);
    CString& Trim(const char* targets);
    CString& TrimLeft();
    CString& TrimLeft(char target);
    CString& TrimLeft(const char* targets);
    CString& TrimRight();
    CString& TrimRight(char target);
    CString& TrimRight(const char* targets);

    // printf formatting. CString arguments are passed as their text; a string
    // may be formatted into itself.
    template <typename... Args>
    void Format(const char* format, const Args&... args)
    {
        FormatImpl(format, FormatArg(args)...);
    }
    template <typename... Args>
    void AppendFormat(const char* format, const Args&... args)
    {
        AppendFormatImpl(format, FormatArg(args)...);
    }
    void FormatV(const char* format, va_list args);
    void AppendFormatV(const char* format, va_list args);

    // Direct buffer access: GetBuffer(n) gives room for at least n bytes plus
    // the terminator; ReleaseBuffer(-1) takes the length up to the first NUL.
    char* GetBuffer();
    char* GetBuffer(int minLength);
    char* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);
    void ReleaseBufferSetLength(int newLength) { ReleaseBuffer(newLength); }
    void Preallocate(int length) { if (length > 0) m_s.reserve(static_cast<size_t>(length)); }
    void FreeExtra() { m_s.shrink_to_fit(); }

private:
    template <typename T>
    static const T& FormatArg(const T& v)
    {
        // Objects through "..." would be read as garbage by %s.
        static_assert(std::is_scalar_v<T> || std::is_array_v<T>, "pass plain values, pointers or CString to Format");
        return v;
    }
    static const char* FormatArg(const CString& s) { return s.GetString(); }

    void FormatImpl(const char* format, ...);
    void AppendFormatImpl(const char* format, ...);

    std::string m_s;
};

inline bool operator==(const CString& a, const CString& b) { return a.Str() == b.Str(); }
inline bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
inline bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return !(a == b); }
inline bool operator!=(const CString& a, const char* b) { return !(a == b); }
inline bool operator!=(const char* a, const CString& b) { return !(a == b); }
inline bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
inline bool operator<(const CString& a, const char* b) { return a.Compare(b) < 0; }
inline bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
inline bool operator>(const CString& a, const char* b) { return a.Compare(b) > 0; }
inline bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
inline bool operator<=(const CString& a, const char* b) { return a.Compare(b) <= 0; }
inline bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
inline bool operator>=(const CString& a, const char* b) { return a.Compare(b) >= 0; }
inline bool operator<(const char* a, const CString& b) { return b.Compare(a) > 0; }
inline bool operator>(const char* a, const CString& b) { return b.Compare(a) < 0; }
inline bool operator<=(const char* a, const CString& b) { return b.Compare(a) >= 0; }
inline bool operator>=(const char* a, const CString& b) { return b.Compare(a) <= 0; }

template <>
struct std::hash<CString> {
    size_t operator()(const CString& s) const noexcept { return std::hash<std::string>()(s.Str()); }
};
