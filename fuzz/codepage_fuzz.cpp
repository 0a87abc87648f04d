// Code-page conversions on hostile bytes (pages, posted forms, stored files):
// the size a query reports is the size the real call writes, a buffer one
// short is refused, and nothing is read or written past exact-size buffers.
#include "platform/base/CodePage.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

// A failed property names itself, so a crash input tells what broke.
#define CHECK(cond)                                                                                      \
    do {                                                                                                 \
        if (!(cond)) {                                                                                   \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond);           \
            std::abort();                                                                                \
        }                                                                                                \
    } while (0)

namespace {

bool IsUtf8(std::string_view s)
{
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            n = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2;
            lo = c == 0xE0 ? 0xA0 : 0x80;
            hi = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3;
            lo = c == 0xF0 ? 0x90 : 0x80;
            hi = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + n >= s.size())
            return false;
        for (size_t k = 1; k <= n; ++k) {
            unsigned char t = static_cast<unsigned char>(s[i + k]);
            if (t < lo || t > hi)
                return false;
            lo = 0x80;
            hi = 0xBF;
        }
        i += n + 1;
    }
    return true;
}

// Multibyte -> wide through exact-size heap buffers; returns the characters.
std::wstring ToWide(UINT codePage, DWORD flags, const char* src, int srcBytes, bool& ok)
{
    ok = false;
    int n = MultiByteToWideChar(codePage, flags, src, srcBytes, nullptr, 0);
    CHECK(n >= 0);
    if (n == 0)
        return {};
    std::unique_ptr<wchar_t[]> buf(new wchar_t[static_cast<size_t>(n)]);
    if (n > 1) {
        SetLastError(0);
        CHECK(MultiByteToWideChar(codePage, flags, src, srcBytes, buf.get(), n - 1) == 0 &&
              GetLastError() == ERROR_INSUFFICIENT_BUFFER);
    }
    CHECK(MultiByteToWideChar(codePage, flags, src, srcBytes, buf.get(), n) == n);
    ok = true;
    return std::wstring(buf.get(), static_cast<size_t>(n));
}

// Wide -> multibyte the same way.
std::string ToBytes(UINT codePage, DWORD flags, const wchar_t* src, int srcChars, bool withDefault, bool& ok)
{
    ok = false;
    BOOL used = FALSE;
    LPBOOL usedPtr = withDefault ? &used : nullptr;
    int n = WideCharToMultiByte(codePage, flags, src, srcChars, nullptr, 0, nullptr, usedPtr);
    CHECK(n >= 0);
    if (n == 0)
        return {};
    BOOL usedQuery = used;
    std::unique_ptr<char[]> buf(new char[static_cast<size_t>(n)]);
    if (n > 1) {
        SetLastError(0);
        CHECK(WideCharToMultiByte(codePage, flags, src, srcChars, buf.get(), n - 1, nullptr, usedPtr) == 0 &&
              GetLastError() == ERROR_INSUFFICIENT_BUFFER);
    }
    used = FALSE;
    CHECK(WideCharToMultiByte(codePage, flags, src, srcChars, buf.get(), n, nullptr, usedPtr) == n && used == usedQuery);
    ok = true;
    return std::string(buf.get(), static_cast<size_t>(n));
}

void CheckCodePage(UINT codePage, std::string_view bytes)
{
    const bool utf8 = codePage == CP_UTF8;
    // An exact-size copy, so a read past the end is caught.
    std::unique_ptr<char[]> src(new char[bytes.size() ? bytes.size() : 1]);
    std::memcpy(src.get(), bytes.data(), bytes.size());
    const int srcBytes = static_cast<int>(bytes.size());

    bool lenientOk = false, strictOk = false;
    std::wstring lenient = ToWide(codePage, 0, src.get(), srcBytes, lenientOk);
    std::wstring strict = ToWide(codePage, MB_ERR_INVALID_CHARS, src.get(), srcBytes, strictOk);
    if (bytes.empty()) {
        CHECK(!lenientOk && !strictOk);
        return;
    }
    // Lenient decoding always succeeds; strict decoding agrees with it when
    // it succeeds, and every character comes from at least one byte.
    CHECK(lenientOk && lenient.size() <= bytes.size() && (!strictOk || strict == lenient));
    CHECK(!utf8 || strictOk == IsUtf8(bytes));
    for (wchar_t c : lenient)
        CHECK(c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF) && (utf8 || c <= 0xFFFF));

    // NUL-terminated source: the NUL is converted and counted.
    size_t nul = bytes.find('\0');
    std::string_view head = bytes.substr(0, nul);
    std::unique_ptr<char[]> terminated(new char[head.size() + 1]);
    std::memcpy(terminated.get(), head.data(), head.size());
    terminated[head.size()] = '\0';
    bool headOk = false;
    std::wstring headWide = ToWide(codePage, 0, terminated.get(), -1, headOk);
    CHECK(headOk && !headWide.empty() && headWide.back() == L'\0');

    // And back: valid text comes back byte for byte in UTF-8; decoded text
    // always encodes.
    bool backOk = false;
    std::unique_ptr<wchar_t[]> wide(new wchar_t[lenient.size()]);
    std::wmemcpy(wide.get(), lenient.data(), lenient.size());
    std::string back = ToBytes(codePage, 0, wide.get(), static_cast<int>(lenient.size()), !utf8, backOk);
    CHECK(backOk);
    CHECK(!utf8 || !strictOk || back == bytes);
    if (!utf8) {
        bool headBackOk = false;
        std::unique_ptr<wchar_t[]> w(new wchar_t[headWide.size()]);
        std::wmemcpy(w.get(), headWide.data(), headWide.size());
        std::string headBack = ToBytes(codePage, 0, w.get(), -1, true, headBackOk);
        CHECK(headBackOk && !headBack.empty() && headBack.back() == '\0');
    }
}

// The bytes read as wide characters: any 32-bit values, surrogates and
// values past U+10FFFF included.
void CheckWide(std::string_view bytes)
{
    size_t n = bytes.size() / sizeof(wchar_t);
    if (n == 0)
        return;
    std::unique_ptr<wchar_t[]> wide(new wchar_t[n]);
    std::memcpy(wide.get(), bytes.data(), n * sizeof(wchar_t));
    for (UINT cp : {CP_ACP, CP_UTF8}) {
        bool ok = false;
        std::string out = ToBytes(cp, 0, wide.get(), static_cast<int>(n), cp != CP_UTF8, ok);
        CHECK(ok);
        CHECK(cp != CP_UTF8 || IsUtf8(out));
        bool strictOk = false;
        if (cp == CP_UTF8)
            ToBytes(cp, WC_ERR_INVALID_CHARS, wide.get(), static_cast<int>(n), false, strictOk);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckCodePage(CP_ACP, bytes);
    CheckCodePage(CP_UTF8, bytes);
    CheckWide(bytes);

    // The lenient helpers: their output is always valid in its target.
    std::string utf8 = tavrin::GbkToUtf8(bytes);
    CHECK(IsUtf8(utf8));
    std::string gbk = tavrin::Utf8ToGbk(bytes);
    CHECK(gbk.empty() || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, gbk.data(), static_cast<int>(gbk.size()),
                                            nullptr, 0) > 0);
    CHECK(tavrin::GbkCharCount(bytes) == static_cast<int>(tavrin::GbkToWide(bytes).size()));
    // After one trip, GBK -> UTF-8 -> GBK is stable.
    std::string once = tavrin::Utf8ToGbk(utf8);
    CHECK(tavrin::Utf8ToGbk(tavrin::GbkToUtf8(once)) == once);
    return 0;
}
