// Remote HTML through the sanitiser. What comes out is read the way a browser
// reads it (GBK characters, the tag tokenizer, character references in
// attribute values, the URL parser's scheme): every '<' outside a quoted
// attribute value opens a complete tag of the allowlist (so "<script" in any
// letter case can stand only inside such a value, as its text), only listed
// attributes remain, no address has a scheme but http or https, and cleaning
// the output again changes nothing.
#include "fuzz/FuzzText.h"
#include "providers/common/HtmlSanitizer.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

using fuzz::AsciiLower;

namespace {

constexpr std::string_view kTags[] = {
    "a",    "b",     "big",    "blockquote", "br",    "caption", "center", "cite", "code", "col",   "colgroup",
    "dd",   "del",   "div",    "dl",         "dt",    "em",      "font",   "h1",   "h2",   "h3",    "h4",
    "h5",   "h6",    "hr",     "i",          "img",   "ins",     "li",     "nobr", "ol",   "p",     "pre",
    "q",    "s",     "small",  "span",       "strike", "strong", "sub",    "sup",  "table", "tbody", "td",
    "tfoot", "th",   "thead",  "tr",         "tt",    "u",       "ul",     "wbr",
};

constexpr std::string_view kAttributes[] = {
    "align",  "alt",    "background", "bgcolor", "border",  "cellpadding", "cellspacing", "class",
    "clear",  "color",  "cols",       "colspan", "dir",     "face",        "height",      "href",
    "hspace", "lang",   "noshade",    "nowrap",  "rowspan", "size",        "span",        "src",
    "start",  "target", "title",      "type",    "valign",  "value",       "vspace",      "width",
};

template <size_t N>
bool Listed(const std::string_view (&list)[N], std::string_view name)
{
    return std::find(std::begin(list), std::end(list), name) != std::end(list);
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexValue(char c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// An attribute value after character references, as far as a scheme goes:
// numeric references of any length (leading zeros too) and the named ones
// for ASCII punctuation; everything not ASCII becomes 0x80.
std::string DecodeValue(std::string_view v)
{
    static constexpr std::string_view kNamed[][2] = {
        {"&colon;", ":"}, {"&Tab;", "\t"}, {"&NewLine;", "\n"}, {"&sol;", "/"}, {"&quest;", "?"},
        {"&num;", "#"},   {"&period;", "."}, {"&plus;", "+"},   {"&amp;", "&"}};
    std::string out;
    for (size_t p = 0; p < v.size();) {
        if (v[p] == '&' && p + 2 < v.size() && v[p + 1] == '#') {
            size_t q = p + 2;
            bool hex = v[q] == 'x' || v[q] == 'X';
            if (hex)
                ++q;
            size_t digits = q;
            unsigned long code = 0;
            while (q < v.size() && (hex ? HexValue(v[q]) >= 0 : IsDigit(v[q]))) {
                code = std::min<unsigned long>(code * (hex ? 16 : 10) + static_cast<unsigned long>(HexValue(v[q])),
                                               0x110000);
                ++q;
            }
            if (q > digits) {
                if (q < v.size() && v[q] == ';')
                    ++q;
                out += code != 0 && code < 0x80 ? static_cast<char>(code) : '\x80';
                p = q;
                continue;
            }
        }
        bool named = false;
        for (const auto& ref : kNamed) {
            if (v.substr(p, ref[0].size()) == ref[0]) {
                out += ref[1];
                p += ref[0].size();
                named = true;
                break;
            }
        }
        if (named)
            continue;
        out += (v[p] == '\0' || static_cast<unsigned char>(v[p]) >= 0x80) ? '\x80' : v[p];
        ++p;
    }
    return out;
}

// The URL parser: C0 controls and spaces trimmed, tabs and line breaks
// removed, then a scheme is letters, digits, '+', '-', '.' from a letter to
// the first ':'.
bool HasOnlyWebScheme(std::string_view value)
{
    std::string url = DecodeValue(value);
    size_t first = 0;
    while (first < url.size() && static_cast<unsigned char>(url[first]) <= 0x20)
        ++first;
    size_t last = url.size();
    while (last > first && static_cast<unsigned char>(url[last - 1]) <= 0x20)
        --last;
    std::string s;
    for (size_t i = first; i < last; ++i)
        if (url[i] != '\t' && url[i] != '\n' && url[i] != '\r')
            s += url[i];
    if (s.empty() || !IsAlpha(s[0]))
        return true;
    size_t i = 1;
    while (i < s.size() && (IsAlpha(s[i]) || IsDigit(s[i]) || s[i] == '+' || s[i] == '-' || s[i] == '.'))
        ++i;
    if (i == s.size() || s[i] != ':')
        return true; // no scheme: a relative address
    std::string scheme = AsciiLower(s.substr(0, i));
    return scheme == "http" || scheme == "https";
}

// Reads the tag at out[p] == '<' as the browser's tokenizer does and checks
// it; returns one past its '>'.
size_t CheckTag(std::string_view out, size_t p)
{
    size_t q = p + 1;
    bool closing = q < out.size() && out[q] == '/';
    if (closing)
        ++q;
    FUZZ_CHECK(q < out.size() && IsAlpha(out[q])); // no comment, declaration or stray '<'
    size_t name = q;
    while (q < out.size() && !IsSpace(out[q]) && out[q] != '/' && out[q] != '>')
        ++q;
    std::string tag = AsciiLower(out.substr(name, q - name));
    FUZZ_CHECK(Listed(kTags, tag));
    if (closing) {
        FUZZ_CHECK(q < out.size() && out[q] == '>');
        return q + 1;
    }
    for (;;) {
        while (q < out.size() && (IsSpace(out[q]) || out[q] == '/'))
            ++q;
        FUZZ_CHECK(q < out.size()); // the tag ends inside the output
        if (out[q] == '>')
            return q + 1;
        size_t start = q++;
        while (q < out.size() && !IsSpace(out[q]) && out[q] != '/' && out[q] != '>' && out[q] != '=')
            ++q;
        std::string attribute = AsciiLower(out.substr(start, q - start));
        FUZZ_CHECK(Listed(kAttributes, attribute));
        while (q < out.size() && IsSpace(out[q]))
            ++q;
        if (q >= out.size() || out[q] != '=')
            continue;
        ++q;
        while (q < out.size() && IsSpace(out[q]))
            ++q;
        FUZZ_CHECK(q < out.size());
        std::string_view value;
        if (out[q] == '"' || out[q] == '\'') {
            size_t close = out.find(out[q], q + 1);
            FUZZ_CHECK(close != std::string_view::npos);
            value = out.substr(q + 1, close - q - 1);
            q = close + 1;
        } else {
            size_t v = q;
            while (q < out.size() && !IsSpace(out[q]) && out[q] != '>')
                ++q;
            value = out.substr(v, q - v);
        }
        if (attribute == "href" || attribute == "src" || attribute == "background")
            FUZZ_CHECK(HasOnlyWebScheme(value));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CString html(std::string_view(reinterpret_cast<const char*>(data), size));
    const CString clean = tavrin::SanitizeHtml(html);
    std::string_view out = clean.View();

    for (size_t p = 0; p < out.size();) {
        if (fuzz::BrowserCharLength(out, p) == 2) {
            p += 2;
            continue;
        }
        if (out[p] == '<') {
            p = CheckTag(out, p);
            continue;
        }
        ++p;
    }
    FUZZ_CHECK(tavrin::SanitizeHtml(clean).View() == out);
    return 0;
}
