// The escapers on any bytes. Read back the way a browser reads the page (GBK
// characters first, then the context's own escapes), every escaped value
// gives back its text, with '?' for each lead byte that has no valid second
// byte; and nothing in it can end its context: no raw quote, line break,
// bracket or lone backslash in a script string, no markup character in HTML
// text, nothing but unreserved bytes and %XX in a URL component.
#include "fuzz/FuzzText.h"
#include "providers/common/Escape.h"

#include <cstdint>
#include <string>
#include <string_view>

using fuzz::BrowserCharLength;

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The text as the escapers must see it: broken lead bytes become '?'.
std::string Expected(std::string_view text)
{
    std::string out;
    for (size_t p = 0; p < text.size();) {
        size_t n = BrowserCharLength(text, p);
        if (n == 1 && fuzz::IsGbkLead(static_cast<unsigned char>(text[p])))
            out += '?';
        else
            out.append(text, p, n);
        p += n;
    }
    return out;
}

// Every lead byte of the escaped text begins a valid double-byte character.
void CheckNoBrokenLead(std::string_view out)
{
    for (size_t p = 0; p < out.size();) {
        size_t n = BrowserCharLength(out, p);
        FUZZ_CHECK(n == 2 || !fuzz::IsGbkLead(static_cast<unsigned char>(out[p])));
        p += n;
    }
}

std::string ReadScriptString(std::string_view out)
{
    std::string back;
    for (size_t p = 0; p < out.size();) {
        size_t n = BrowserCharLength(out, p);
        if (n == 2) {
            back.append(out, p, 2);
            p += 2;
            continue;
        }
        char c = out[p];
        FUZZ_CHECK(c != '"' && c != '\'' && c != '\r' && c != '\n' && c != '<' && c != '>');
        FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
        if (c != '\\') {
            back += c;
            ++p;
            continue;
        }
        FUZZ_CHECK(p + 1 < out.size());
        char e = out[p + 1];
        p += 2;
        switch (e) {
        case '\\': case '"': case '\'': back += e; break;
        case 'n': back += '\n'; break;
        case 'r': back += '\r'; break;
        case 't': back += '\t'; break;
        case 'x': {
            FUZZ_CHECK(p + 2 <= out.size() && HexValue(out[p]) >= 0 && HexValue(out[p + 1]) >= 0);
            back += static_cast<char>(HexValue(out[p]) * 16 + HexValue(out[p + 1]));
            p += 2;
            break;
        }
        default: FUZZ_CHECK(false);
        }
    }
    return back;
}

std::string ReadHtml(std::string_view out)
{
    static constexpr std::string_view kEntities[][2] = {
        {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}};
    std::string back;
    for (size_t p = 0; p < out.size();) {
        size_t n = BrowserCharLength(out, p);
        char c = out[p];
        if (n == 2 || c != '&') {
            FUZZ_CHECK(n == 2 || (c != '<' && c != '>' && c != '"' && c != '\''));
            back.append(out, p, n);
            p += n;
            continue;
        }
        bool known = false;
        for (const auto& entity : kEntities) {
            if (out.substr(p, entity[0].size()) == entity[0]) {
                back += entity[1];
                p += entity[0].size();
                known = true;
                break;
            }
        }
        FUZZ_CHECK(known);
    }
    return back;
}

std::string ReadUrl(std::string_view out)
{
    std::string back;
    for (size_t p = 0; p < out.size(); ++p) {
        char c = out[p];
        if (c == '%') {
            FUZZ_CHECK(p + 2 < out.size());
            FUZZ_CHECK(HexValue(out[p + 1]) >= 0 && HexValue(out[p + 2]) >= 0);
            back += static_cast<char>(HexValue(out[p + 1]) * 16 + HexValue(out[p + 2]));
            p += 2;
            continue;
        }
        FUZZ_CHECK((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
              c == '.' || c == '~');
        back += c;
    }
    return back;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const CString text(bytes);
    const std::string expected = Expected(bytes);

    CString script = tavrin::EscapeScriptString(text);
    CheckNoBrokenLead(script.View());
    FUZZ_CHECK(ReadScriptString(script.View()) == expected);

    CString html = tavrin::EscapeHtml(text);
    CheckNoBrokenLead(html.View());
    FUZZ_CHECK(ReadHtml(html.View()) == expected);

    FUZZ_CHECK(ReadUrl(tavrin::EscapeUrl(text).View()) == expected);
    return 0;
}
