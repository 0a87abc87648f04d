// The fuzz build compiles escaped copies of the sources with clang; their
// literals must hold exactly the bytes g++ gives the originals.
#include "tools/literals/EscapeLiterals.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

using tavrin::tools::EscapeLiterals;

namespace {

int HexValue(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) ? std::stoi(std::string(1, c), nullptr, 16) : -1;
}

// The bytes of a run of adjacent narrow literals ("..." and R"(...)"), as a
// compiler concatenates them; only the escapes the copies use are decoded.
std::string LiteralBytes(std::string_view code)
{
    std::string bytes;
    size_t i = 0;
    while (i < code.size()) {
        if (code[i] == ' ') {
            ++i;
        } else if (code.substr(i, 3) == "R\"(") {
            size_t end = code.find(")\"", i + 3);
            bytes += code.substr(i + 3, end - i - 3);
            i = end + 2;
        } else if (code[i] == '"' || code[i] == '\'') {
            char quote = code[i++];
            while (code[i] != quote) {
                if (code[i] != '\\') {
                    bytes += code[i++];
                } else if (code[i + 1] == 'x') {
                    int value = 0;
                    for (i += 2; HexValue(code[i]) >= 0; ++i)
                        value = value * 16 + HexValue(code[i]);
                    bytes += static_cast<char>(value);
                } else if (code[i + 1] >= '0' && code[i + 1] <= '7') {
                    int value = 0;
                    for (int n = 0, j = i + 1; n < 3 && code[j] >= '0' && code[j] <= '7'; ++n, ++j, i = j)
                        value = value * 8 + (code[j] - '0');
                    bytes += static_cast<char>(value);
                } else {
                    bytes += code[i + 1];
                    i += 2;
                }
            }
            ++i;
        } else {
            ADD_FAILURE() << "not a literal: " << code.substr(i);
            break;
        }
    }
    return bytes;
}

std::string Utf8(const char8_t* s)
{
    return reinterpret_cast<const char*>(s);
}

} // namespace

// The copy's literal against what this very build (g++, GBK) made of it.
TEST(EscapeLiterals, CopiesGiveTheCompiledBytes)
{
    struct Case {
        const char8_t* source;
        std::string compiled;
    };
    const Case cases[] = {
        {u8R"("同学录")", "同学录"},
        {u8R"("<td class=\"unnamed1\">姓名:(.*?)</td>")", "<td class=\"unnamed1\">姓名:(.*?)</td>"},
        // A hex digit after a Chinese character must not join its escape.
        {u8R"("共1页, 第A2页Fe")", "共1页, 第A2页Fe"},
        {u8R"("\x41中\\文")", "\x41中\\文"},
        {u8R"('发')", std::string("\xB7\xA2")},
        {u8"R\"(主题：.*?)\"", R"(主题：.*?)"},
        {u8R"("【】「」，。")", "【】「」，。"},
    };
    for (const Case& c : cases) {
        tavrin::tools::EscapeResult result = EscapeLiterals(Utf8(c.source));
        ASSERT_TRUE(result.error.empty()) << result.error;
        for (unsigned char b : result.text)
            EXPECT_LT(b, 0x80) << result.text;
        EXPECT_EQ(LiteralBytes(result.text), c.compiled) << Utf8(c.source) << " -> " << result.text;
    }
}

TEST(EscapeLiterals, LeavesEverythingButNarrowLiterals)
{
    const char8_t* kept[] = {
        u8"// 注释 \"中\"\nint x;",
        u8"/* 多行\n 注释 '中' */",
        u8"const char* s = reinterpret_cast<const char*>(u8\"确定\");",
        u8"const wchar_t* w = L\"宽\"; auto r = u8R\"x(原样)x\";",
        u8"int n = 1'000'000; // 百万",
        u8"'a' + '\\'' // 引号",
    };
    for (const char8_t* source : kept) {
        tavrin::tools::EscapeResult result = EscapeLiterals(Utf8(source));
        ASSERT_TRUE(result.error.empty()) << result.error;
        EXPECT_EQ(result.text, Utf8(source));
    }
}

TEST(EscapeLiterals, ReportsWhatItCannotCopy)
{
    const char8_t* bad[] = {
        u8"int a;\nconst char* s = \"未完;\n",
        u8"const char* s = \"😀\";",
        u8"auto r = R\"(未完",
    };
    for (const char8_t* source : bad)
        EXPECT_FALSE(EscapeLiterals(Utf8(source)).error.empty()) << Utf8(source);
}
