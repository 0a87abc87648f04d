#include "platform/base/CodePage.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <iconv.h>

namespace {

// glibc's "CP936" is an alias of its GBK converter: two-byte GBK plus 0x80
// for the euro sign, as the original platform's code page 936. GB18030 is not
// used: it also takes four-byte sequences (lead byte, digit, lead byte,
// digit), which code page 936 reads as other characters, so counts would
// differ.
const char kGbkName[] = "CP936";
// glibc's wchar_t encoding (UCS-4 in native byte order), locale-independent.
const char kWideName[] = "WCHAR_T";

enum class Encoding { Gbk, Utf8 };

// iconv descriptors are not safe to share between threads: one pair per
// thread, opened on first use. Only GBK goes through iconv: glibc's UTF-8
// converter takes five- and six-byte forms and values past U+10FFFF both
// ways, so UTF-8 is converted here.
class Converters {
public:
    ~Converters()
    {
        for (iconv_t& cd : m_cd) {
            if (cd != Invalid())
                iconv_close(cd);
        }
    }

    iconv_t Decoder() { return Get(0, kWideName, kGbkName); }
    iconv_t Encoder() { return Get(1, kGbkName, kWideName); }

private:
    static iconv_t Invalid() { return reinterpret_cast<iconv_t>(-1); }

    iconv_t Get(int slot, const char* to, const char* from)
    {
        iconv_t& cd = m_cd[slot];
        if (cd == Invalid())
            cd = iconv_open(to, from);
        else
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        return cd;
    }

    iconv_t m_cd[2] = {Invalid(), Invalid()};
};

thread_local Converters t_converters;

inline unsigned char Byte(const char* p) { return static_cast<unsigned char>(*p); }

// Bytes of one invalid or unmapped GBK character at p, so decoding resumes
// after it. A lead byte with a trail byte is one (unmapped) character; a lead
// byte before anything else, or alone at the end, is one by itself.
size_t InvalidGbkLength(const char* p, size_t left)
{
    unsigned char b = Byte(p);
    if (b >= 0x81 && b <= 0xFE && left >= 2) {
        unsigned char t = Byte(p + 1);
        if ((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFE))
            return 2;
    }
    return 1;
}

// The UTF-8 sequence at p: returns its length when it is a well-formed
// character (stored in ch), else 0 with bad set to the bytes of the maximal
// start of a valid sequence, which is replaced as one character.
size_t Utf8Sequence(const char* p, size_t left, wchar_t& ch, size_t& bad)
{
    unsigned char b = Byte(p);
    if (b < 0x80) {
        ch = static_cast<wchar_t>(b);
        return 1;
    }
    size_t need;
    unsigned char lo = 0x80, hi = 0xBF;
    unsigned long value;
    if (b >= 0xC2 && b <= 0xDF) {
        need = 1;
        value = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need = 2;
        value = b & 0x0F;
        lo = b == 0xE0 ? 0xA0 : 0x80;
        hi = b == 0xED ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
        need = 3;
        value = b & 0x07;
        lo = b == 0xF0 ? 0x90 : 0x80;
        hi = b == 0xF4 ? 0x8F : 0xBF;
    } else {
        bad = 1;
        return 0;
    }
    size_t k = 1;
    while (k <= need && k < left && Byte(p + k) >= lo && Byte(p + k) <= hi) {
        value = (value << 6) | (Byte(p + k) & 0x3F);
        ++k;
        lo = 0x80;
        hi = 0xBF;
    }
    if (k <= need) {
        bad = k;
        return 0;
    }
    ch = static_cast<wchar_t>(value);
    return k;
}

enum class Result { Ok, Invalid, Unavailable };

Result DecodeUtf8(const char* src, size_t n, bool strict, std::wstring& out)
{
    out.reserve(n);
    for (size_t i = 0; i < n;) {
        wchar_t ch = 0;
        size_t bad = 0;
        size_t len = Utf8Sequence(src + i, n - i, ch, bad);
        if (len) {
            out += ch;
            i += len;
        } else if (strict) {
            return Result::Invalid;
        } else {
            out += L'\xFFFD';
            i += bad;
        }
    }
    return Result::Ok;
}

Result Decode(Encoding e, const char* src, size_t n, bool strict, std::wstring& out)
{
    out.clear();
    if (e == Encoding::Utf8)
        return DecodeUtf8(src, n, strict, out);
    iconv_t cd = t_converters.Decoder();
    if (cd == reinterpret_cast<iconv_t>(-1))
        return Result::Unavailable;
    char* in = const_cast<char*>(src);
    size_t left = n;
    wchar_t buf[256];
    while (left > 0) {
        char* o = reinterpret_cast<char*>(buf);
        size_t room = sizeof buf;
        size_t r = iconv(cd, &in, &left, &o, &room);
        int err = errno;
        out.append(buf, static_cast<size_t>(o - reinterpret_cast<char*>(buf)) / sizeof(wchar_t));
        if (r != static_cast<size_t>(-1))
            continue;
        if (err == E2BIG)
            continue;
        if (err != EILSEQ && err != EINVAL)
            return Result::Invalid;
        if (strict)
            return Result::Invalid;
        out += L'\xFFFD';
        size_t skip = InvalidGbkLength(in, left);
        in += skip;
        left -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return Result::Ok;
}

// A Unicode scalar value: wchar_t holds any 32-bit value, UTF-8 only these.
bool IsScalarValue(wchar_t ch)
{
    return ch >= 0 && ch <= 0x10FFFF && (ch < 0xD800 || ch > 0xDFFF);
}

Result EncodeUtf8(const wchar_t* src, size_t n, std::string_view replacement, bool* usedDefault, std::string& out)
{
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        unsigned long c = static_cast<unsigned long>(src[i]);
        if (!IsScalarValue(src[i])) {
            if (replacement.empty())
                return Result::Invalid;
            out += replacement;
            if (usedDefault)
                *usedDefault = true;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return Result::Ok;
}

// Characters GBK may have: scalar values of the Basic Multilingual Plane.
// Nothing else goes to iconv, which drops some characters past it (the
// language tags) without a word instead of refusing them.
bool MayBeGbk(wchar_t ch)
{
    return ch >= 0 && ch <= 0xFFFF && (ch < 0xD800 || ch > 0xDFFF);
}

// One run of possible GBK characters, appended to out.
Result EncodeGbkRun(iconv_t cd, const wchar_t* src, size_t n, std::string_view replacement, bool* usedDefault,
                    std::string& out)
{
    char* in = reinterpret_cast<char*>(const_cast<wchar_t*>(src));
    size_t left = n * sizeof(wchar_t);
    char buf[1024];
    while (left > 0) {
        char* o = buf;
        size_t room = sizeof buf;
        size_t r = iconv(cd, &in, &left, &o, &room);
        int err = errno;
        out.append(buf, static_cast<size_t>(o - buf));
        if (r != static_cast<size_t>(-1) || err == E2BIG)
            continue;
        if (err != EILSEQ && err != EINVAL)
            return Result::Invalid;
        if (replacement.empty())
            return Result::Invalid;
        out += replacement;
        if (usedDefault)
            *usedDefault = true;
        size_t skip = left < sizeof(wchar_t) ? left : sizeof(wchar_t);
        in += skip;
        left -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return Result::Ok;
}

// replacement: the bytes for a character the target lacks; empty means fail.
Result Encode(Encoding e, const wchar_t* src, size_t n, std::string_view replacement, bool* usedDefault, std::string& out)
{
    out.clear();
    if (e == Encoding::Utf8)
        return EncodeUtf8(src, n, replacement, usedDefault, out);
    iconv_t cd = t_converters.Encoder();
    if (cd == reinterpret_cast<iconv_t>(-1))
        return Result::Unavailable;
    for (size_t i = 0; i < n;) {
        size_t end = i;
        while (end < n && MayBeGbk(src[end]))
            ++end;
        if (end > i) {
            Result r = EncodeGbkRun(cd, src + i, end - i, replacement, usedDefault, out);
            if (r != Result::Ok)
                return r;
        }
        if (end < n) {
            if (replacement.empty())
                return Result::Invalid;
            out += replacement;
            if (usedDefault)
                *usedDefault = true;
            ++end;
        }
        i = end;
    }
    return Result::Ok;
}

bool EncodingOf(UINT codePage, Encoding& e)
{
    switch (codePage) {
    case CP_ACP:
    case CP_OEMCP:
    case CP_THREAD_ACP:
    case CP_GBK:
        e = Encoding::Gbk;
        return true;
    case CP_UTF8:
        e = Encoding::Utf8;
        return true;
    default:
        return false;
    }
}

int Fail(DWORD error)
{
    SetLastError(error);
    return 0;
}

const char kUtf8Replacement[] = "\xEF\xBF\xBD";

} // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcBytes, LPWSTR dst, int dstChars)
{
    Encoding e;
    if (!EncodingOf(codePage, e) || !src || srcBytes == 0 || srcBytes < -1 || dstChars < 0 || (dstChars > 0 && !dst))
        return Fail(ERROR_INVALID_PARAMETER);
    size_t n = srcBytes == -1 ? std::strlen(src) + 1 : static_cast<size_t>(srcBytes);
    std::wstring wide;
    switch (Decode(e, src, n, (flags & MB_ERR_INVALID_CHARS) != 0, wide)) {
    case Result::Ok:
        break;
    case Result::Invalid:
        return Fail(ERROR_NO_UNICODE_TRANSLATION);
    case Result::Unavailable:
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (wide.size() > static_cast<size_t>(INT_MAX))
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    if (dstChars == 0)
        return static_cast<int>(wide.size());
    if (wide.size() > static_cast<size_t>(dstChars))
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::wmemcpy(dst, wide.data(), wide.size());
    return static_cast<int>(wide.size());
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcChars, LPSTR dst, int dstBytes,
                        LPCSTR defaultChar, LPBOOL usedDefault)
{
    Encoding e;
    if (!EncodingOf(codePage, e) || !src || srcChars == 0 || srcChars < -1 || dstBytes < 0 || (dstBytes > 0 && !dst))
        return Fail(ERROR_INVALID_PARAMETER);
    if (e == Encoding::Utf8 && (defaultChar || usedDefault))
        return Fail(ERROR_INVALID_PARAMETER);
    size_t n = srcChars == -1 ? std::wcslen(src) + 1 : static_cast<size_t>(srcChars);

    // The bytes that stand for a character the target lacks; empty means fail.
    std::string_view replacement = "?";
    if (e == Encoding::Utf8) {
        replacement = (flags & WC_ERR_INVALID_CHARS) ? std::string_view() : std::string_view(kUtf8Replacement);
    } else if (defaultChar && *defaultChar) {
        // One character of the code page: a lead byte takes its trail along.
        unsigned char b = static_cast<unsigned char>(defaultChar[0]);
        replacement = std::string_view(defaultChar, b >= 0x81 && b <= 0xFE && defaultChar[1] ? 2 : 1);
    }

    bool used = false;
    std::string bytes;
    switch (Encode(e, src, n, replacement, &used, bytes)) {
    case Result::Ok:
        break;
    case Result::Invalid:
        return Fail(ERROR_NO_UNICODE_TRANSLATION);
    case Result::Unavailable:
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (usedDefault)
        *usedDefault = used ? TRUE : FALSE;
    if (bytes.size() > static_cast<size_t>(INT_MAX))
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    if (dstBytes == 0)
        return static_cast<int>(bytes.size());
    if (bytes.size() > static_cast<size_t>(dstBytes))
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(dst, bytes.data(), bytes.size());
    return static_cast<int>(bytes.size());
}

namespace tavrin {

std::wstring GbkToWide(std::string_view gbk)
{
    std::wstring wide;
    Decode(Encoding::Gbk, gbk.data(), gbk.size(), false, wide);
    return wide;
}

std::string WideToGbk(std::wstring_view wide)
{
    std::string out;
    Encode(Encoding::Gbk, wide.data(), wide.size(), "?", nullptr, out);
    return out;
}

std::string GbkToUtf8(std::string_view gbk)
{
    std::wstring wide = GbkToWide(gbk);
    std::string out;
    Encode(Encoding::Utf8, wide.data(), wide.size(), kUtf8Replacement, nullptr, out);
    return out;
}

std::string Utf8ToGbk(std::string_view utf8)
{
    std::wstring wide;
    Decode(Encoding::Utf8, utf8.data(), utf8.size(), false, wide);
    return WideToGbk(wide);
}

int GbkCharCount(std::string_view gbk)
{
    return static_cast<int>(GbkToWide(gbk).size());
}

} // namespace tavrin
