#include "platform/base/CodePage.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <iconv.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// Narrow literals are GBK here; u8 literals stay UTF-8.
namespace {

std::string U8(const char8_t* s)
{
    return reinterpret_cast<const char*>(s);
}

// The UTF-16 form of valid GBK text, straight from iconv: what the original
// platform's counts are measured in.
std::u16string ReferenceUtf16(const std::string& gbk)
{
    iconv_t cd = iconv_open("UTF-16LE", "GBK");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string out(gbk.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(gbk.data());
    size_t left = gbk.size();
    char* o = out.data();
    size_t room = out.size();
    EXPECT_NE(iconv(cd, &in, &left, &o, &room), static_cast<size_t>(-1));
    iconv_close(cd);
    std::u16string units;
    for (char* p = out.data(); p < o; p += 2)
        units += static_cast<char16_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8);
    return units;
}

std::wstring ToWide(UINT cp, const std::string& bytes)
{
    int n = MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    EXPECT_EQ(MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), w.data(), n), n);
    return w;
}

std::string ToBytes(UINT cp, const std::wstring& wide, const char* defaultChar = nullptr, BOOL* used = nullptr)
{
    int n = WideCharToMultiByte(cp, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, defaultChar, used);
    std::string s(static_cast<size_t>(n), '\0');
    EXPECT_EQ(WideCharToMultiByte(cp, 0, wide.data(), static_cast<int>(wide.size()), s.data(), n, defaultChar, used), n);
    return s;
}

} // namespace

class ValidGbk : public testing::TestWithParam<const char*> {};

TEST_P(ValidGbk, CountsAndCharactersMatchIconv)
{
    std::string text = GetParam();
    std::u16string ref = ReferenceUtf16(text);
    for (UINT cp : {UINT(CP_ACP), UINT(CP_OEMCP), UINT(936)}) {
        std::wstring w = ToWide(cp, text);
        ASSERT_EQ(w.size(), ref.size());
        for (size_t i = 0; i < w.size(); ++i)
            EXPECT_EQ(static_cast<unsigned>(w[i]), static_cast<unsigned>(ref[i])) << i;
        EXPECT_EQ(ToBytes(cp, w), text);
    }
    EXPECT_EQ(tavrin::GbkCharCount(text), static_cast<int>(ref.size()));
}

INSTANTIATE_TEST_SUITE_P(Table, ValidGbk, testing::Values(
    "a", "abc", "宋体", "運誤觸", "運\\誤`觸|", "華A補a", "数据库 2024-01-02",
    "\x80",  // the euro sign of code page 936
    "对不起，请输入留言内容！", "·—…“”、。《》"));

TEST(CodePage, CountIncludesTheTerminatorWhenLengthIsMinusOne)
{
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "宋体", -1, nullptr, 0), 3);
    wchar_t buf[8];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "ab", -1, buf, 8), 3);
    EXPECT_EQ(buf[2], L'\0');
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"\x5B8B", -1, nullptr, 0, nullptr, nullptr), 3);
}

TEST(CodePage, LoneLeadByteAtTheEndIsOneCharacterAndNeverOverreads)
{
    // Exactly three bytes on the heap, so a read past them is caught.
    auto text = std::make_unique<char[]>(3);
    std::memcpy(text.get(), "ab\xB0", 3);
    wchar_t out[4] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text.get(), 3, nullptr, 0), 3);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text.get(), 3, out, 4), 3);
    EXPECT_EQ(out[2], L'\xFFFD');
    // Cut in the middle of a character: the lead byte alone.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "宋体", 3, nullptr, 0), 2);
    EXPECT_EQ(tavrin::GbkCharCount(std::string_view("\xCB\xCE\xCC", 3)), 2);
}

TEST(CodePage, InvalidSequencesBecomeReplacementsUnlessRefused)
{
    struct Case {
        UINT cp;
        std::string bytes;
        std::wstring wide;
    } cases[] = {
        {CP_ACP, "\xFF", L"\xFFFD"},
        {CP_ACP, "a\x81 b", L"a\xFFFD b"},          // lead byte before a space
        {CP_ACP, "\xAA\xA1x", L"\xFFFD" L"x"},      // unmapped pair: one character
        {CP_UTF8, "\xE5\xAE", L"\xFFFD"},           // truncated
        {CP_UTF8, "\xC0\x80", L"\xFFFD\xFFFD"},     // overlong
        {CP_UTF8, "\xED\xA0\x80", L"\xFFFD\xFFFD\xFFFD"},  // surrogate
        {CP_UTF8, "a\xFFz", L"a\xFFFDz"},
        // Past U+10FFFF, and the old five-byte form: never a character.
        {CP_UTF8, "\xF4\x90\x80\x80", L"\xFFFD\xFFFD\xFFFD\xFFFD"},
        {CP_UTF8, "\xF8\x88\x80\x80\x80", L"\xFFFD\xFFFD\xFFFD\xFFFD\xFFFD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToWide(c.cp, c.bytes), c.wide) << c.bytes;
        SetLastError(0);
        EXPECT_EQ(MultiByteToWideChar(c.cp, MB_ERR_INVALID_CHARS, c.bytes.data(), static_cast<int>(c.bytes.size()), nullptr, 0), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    }
}

TEST(CodePage, WideValuesOutsideUnicodeNeverMakeInvalidUtf8)
{
    // wchar_t holds any 32-bit value; only scalar values have a UTF-8 form.
    const std::wstring wide = {L'a', static_cast<wchar_t>(0x110000), static_cast<wchar_t>(0x7FFFFFFF),
                               static_cast<wchar_t>(-1), static_cast<wchar_t>(0xDC00), L'z'};
    EXPECT_EQ(ToBytes(CP_UTF8, wide), "a" + U8(u8"\uFFFD\uFFFD\uFFFD\uFFFD") + "z");
    BOOL used = FALSE;
    EXPECT_EQ(ToBytes(CP_ACP, wide, nullptr, &used), "a????z");
    EXPECT_TRUE(used);
    // A language tag is a character GBK lacks like any other, not nothing.
    const std::wstring tag(1, static_cast<wchar_t>(0xE007A));
    used = FALSE;
    EXPECT_EQ(ToBytes(CP_ACP, tag, nullptr, &used), "?");
    EXPECT_TRUE(used);
    EXPECT_EQ(tavrin::WideToGbk(L"a" + tag + L"b"), "a?b");
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), static_cast<int>(wide.size()), nullptr,
                                  0, nullptr, nullptr),
              0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(CodePage, SmallBufferAndBadArgumentsFail)
{
    wchar_t w[2];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "宋体a", -1, w, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "宋体", 4, w, 2), 2);
    EXPECT_EQ(w[0], L'\x5B8B');
    EXPECT_EQ(w[1], L'\x4F53');

    char b[3];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"\x5B8B\x4F53", 2, b, 3, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    struct Bad {
        UINT cp;
        const char* src;
        int srcBytes;
        wchar_t* dst;
        int dstChars;
    } bad[] = {
        {1252, "a", 1, nullptr, 0},
        {CP_ACP, nullptr, 1, nullptr, 0},
        {CP_ACP, "a", 0, nullptr, 0},
        {CP_ACP, "a", -2, nullptr, 0},
        {CP_ACP, "a", 1, nullptr, 5},
        {CP_ACP, "a", 1, w, -1},
    };
    for (const Bad& c : bad) {
        SetLastError(0);
        EXPECT_EQ(MultiByteToWideChar(c.cp, 0, c.src, c.srcBytes, c.dst, c.dstChars), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    BOOL used = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"a", 1, nullptr, 0, nullptr, &used), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(CodePage, MissingCharactersUseTheDefaultCharacter)
{
    BOOL used = TRUE;
    EXPECT_EQ(ToBytes(CP_ACP, L"a\x0E01" L"b", nullptr, &used), "a?b");
    EXPECT_TRUE(used);
    EXPECT_EQ(ToBytes(CP_ACP, L"a", nullptr, &used), "a");
    EXPECT_FALSE(used);
    EXPECT_EQ(ToBytes(CP_ACP, L"\x1F600" L"x", "*"), "*x");
    EXPECT_EQ(ToBytes(CP_ACP, L"\xD800", "宋体"), "宋");

    EXPECT_EQ(ToBytes(CP_UTF8, L"a\xD800" L"b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, L"\xD800", 1, nullptr, 0, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(CodePage, Utf8RoundTrips)
{
    struct Case {
        std::string gbk;
        std::string utf8;
    } cases[] = {
        {"", ""},
        {"abc", "abc"},
        {"運\\誤`觸|", U8(u8"運\\誤`觸|")},
        {"宋体.txt", U8(u8"宋体.txt")},
        {"\x80", U8(u8"\u20AC")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tavrin::GbkToUtf8(c.gbk), c.utf8);
        EXPECT_EQ(tavrin::Utf8ToGbk(c.utf8), c.gbk);
        EXPECT_EQ(ToWide(CP_UTF8, c.utf8.empty() ? std::string(1, '\0') : c.utf8),
                  ToWide(CP_ACP, c.gbk.empty() ? std::string(1, '\0') : c.gbk));
    }
    EXPECT_EQ(tavrin::GbkToUtf8("a\xFF"), "a\xEF\xBF\xBD");
    EXPECT_EQ(tavrin::Utf8ToGbk("a\xFF" + U8(u8"\u0E01")), "a??");
    EXPECT_EQ(ToWide(CP_UTF8, U8(u8"\U0001F600")), L"\x1F600");
}

TEST(CodePage, IndependentOfTheProcessLocale)
{
    std::string saved = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(tavrin::GbkCharCount("宋体ab"), 4);
    EXPECT_EQ(tavrin::GbkToUtf8("宋"), U8(u8"宋"));
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(CodePage, ConvertsOnManyThreadsAtOnce)
{
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &failures] {
            for (int i = 0; i < 200; ++i) {
                if (tavrin::Utf8ToGbk(tavrin::GbkToUtf8("運誤觸宋体")) != "運誤觸宋体")
                    ++failures[static_cast<size_t>(t)];
                if (tavrin::GbkCharCount("宋体ab") != 4)
                    ++failures[static_cast<size_t>(t)];
            }
        });
    }
    for (std::thread& th : threads)
        th.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}
