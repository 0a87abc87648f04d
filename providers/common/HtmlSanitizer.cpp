#include "providers/common/HtmlSanitizer.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

namespace {

constexpr std::string_view kAllowedTags[] = {
    "a",    "b",     "big",    "blockquote", "br",    "caption", "center", "cite", "code", "col",   "colgroup",
    "dd",   "del",   "div",    "dl",         "dt",    "em",      "font",   "h1",   "h2",   "h3",    "h4",
    "h5",   "h6",    "hr",     "i",          "img",   "ins",     "li",     "nobr", "ol",   "p",     "pre",
    "q",    "s",     "small",  "span",       "strike", "strong", "sub",    "sup",  "table", "tbody", "td",
    "tfoot", "th",   "thead",  "tr",         "tt",    "u",       "ul",     "wbr",
};

// Elements whose content goes with them.
constexpr std::string_view kDroppedWithContent[] = {
    "applet", "head", "iframe", "noembed", "noframes", "noscript", "object", "script",
    "select", "style", "template", "textarea", "title",  "xml",      "xmp",
};

constexpr std::string_view kAllowedAttributes[] = {
    "align",  "alt",    "background", "bgcolor", "border",  "cellpadding", "cellspacing", "class",
    "clear",  "color",  "cols",       "colspan", "dir",     "face",        "height",      "href",
    "hspace", "lang",   "noshade",    "nowrap",  "rowspan", "size",        "span",        "src",
    "start",  "target", "title",      "type",    "valign",  "value",       "vspace",      "width",
};

constexpr std::string_view kUrlAttributes[] = {"background", "href", "src"};

template <size_t N>
bool Contains(const std::string_view (&list)[N], std::string_view name)
{
    return std::find(std::begin(list), std::end(list), name) != std::end(list);
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

char LowerChar(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

size_t FindNoCase(std::string_view text, std::string_view lowerNeedle, size_t from)
{
    for (size_t p = from; p + lowerNeedle.size() <= text.size(); ++p) {
        size_t i = 0;
        while (i < lowerNeedle.size() && LowerChar(text[p + i]) == lowerNeedle[i])
            ++i;
        if (i == lowerNeedle.size())
            return p;
    }
    return std::string_view::npos;
}

// Bytes of the character at text[p] as the browser's GBK decoder reads it: a
// lead byte takes the next byte only when that is a valid second byte, else
// the next byte (a '<' say) counts on its own.
size_t CharBytes(std::string_view text, size_t p)
{
    if (!IsLeadByte(static_cast<unsigned char>(text[p])) || p + 1 >= text.size())
        return 1;
    unsigned char trail = static_cast<unsigned char>(text[p + 1]);
    return trail >= 0x40 && trail <= 0xFE && trail != 0x7F ? 2 : 1;
}

// Text as it stands, with every '<' shown as text.
void AppendText(std::string& out, std::string_view text)
{
    for (size_t p = 0; p < text.size();) {
        if (text[p] == '<') {
            out += "&lt;";
            ++p;
            continue;
        }
        size_t n = CharBytes(text, p);
        out.append(text, p, n);
        p += n;
    }
}

// The address as a browser reads it for its scheme: character references
// decoded, blanks and control characters removed, lower case.
std::string NormalizedUrl(std::string_view value)
{
    std::string out;
    for (size_t p = 0; p < value.size(); ++p) {
        char c = value[p];
        if (c == '&') {
            size_t q = p + 1;
            unsigned long code = 0;
            bool numeric = false;
            if (q < value.size() && value[q] == '#') {
                ++q;
                bool hex = q < value.size() && (value[q] == 'x' || value[q] == 'X');
                if (hex)
                    ++q;
                size_t digits = q;
                // Any number of digits, as the browser reads them: leading
                // zeros must not hide a ':'. Large values stay large.
                while (q < value.size() && (hex ? std::isxdigit(static_cast<unsigned char>(value[q])) != 0
                                                : (value[q] >= '0' && value[q] <= '9'))) {
                    code = code * (hex ? 16 : 10) +
                           static_cast<unsigned long>(std::isdigit(static_cast<unsigned char>(value[q]))
                                                          ? value[q] - '0'
                                                          : (std::tolower(static_cast<unsigned char>(value[q])) - 'a' + 10));
                    if (code > 0x10FFFF)
                        code = 0x110000;
                    ++q;
                }
                numeric = q > digits;
            }
            if (numeric) {
                if (q < value.size() && value[q] == ';')
                    ++q;
                out += code < 0x80 ? static_cast<char>(code) : '?';
                p = q - 1;
                continue;
            }
            std::string rest = Lower(value.substr(p, 10));
            if (rest.rfind("&colon;", 0) == 0) {
                out += ':';
                p += 6;
                continue;
            }
            if (rest.rfind("&tab;", 0) == 0 || rest.rfind("&newline;", 0) == 0) {
                p = value.find(';', p);
                continue;
            }
        }
        if (static_cast<unsigned char>(c) > 0x20 && c != 0x7F)
            out += c;
    }
    return Lower(out);
}

// An unquoted value that cannot run into what follows it.
bool IsPlainToken(std::string_view value)
{
    for (char c : value)
        if (!IsAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '-' && c != '_')
            return false;
    return !value.empty();
}

bool IsSafeUrl(std::string_view value)
{
    std::string url = NormalizedUrl(value);
    size_t colon = url.find(':');
    size_t stop = url.find_first_of("/?#");
    if (colon == std::string::npos || (stop != std::string::npos && stop < colon))
        return true; // relative: no scheme of its own
    std::string scheme = url.substr(0, colon);
    return scheme == "http" || scheme == "https";
}

struct Attribute {
    size_t begin; // the blanks before the name
    size_t nameBegin;
    size_t nameEnd;
    size_t end;
    std::string_view value;
    bool quoted; // the value is in quotes, so the attribute ends with one
};

// Parses the tag that begins at text[p] == '<' followed by its name. On
// success end is one past its '>'.
bool ParseTag(std::string_view text, size_t p, std::string_view& name, std::vector<Attribute>& attributes,
              size_t& tailBegin, size_t& end)
{
    size_t q = p + 1;
    while (q < text.size() && !IsSpace(text[q]) && text[q] != '/' && text[q] != '>')
        ++q;
    name = text.substr(p + 1, q - p - 1);
    attributes.clear();
    for (;;) {
        size_t begin = q;
        while (q < text.size() && IsSpace(text[q]))
            ++q;
        if (q >= text.size())
            return false;
        if (text[q] == '>') {
            tailBegin = begin;
            end = q + 1;
            return true;
        }
        if (text[q] == '/') {
            if (q + 1 < text.size() && text[q + 1] == '>') {
                tailBegin = begin;
                end = q + 2;
                return true;
            }
            ++q;
            continue;
        }
        Attribute a{begin, q, q, q, {}, false};
        // A name runs to a blank, '/', '>' or '=' (a leading '=' belongs to it).
        ++q;
        while (q < text.size() && !IsSpace(text[q]) && text[q] != '/' && text[q] != '>' && text[q] != '=')
            ++q;
        a.nameEnd = q;
        size_t r = q;
        while (r < text.size() && IsSpace(text[r]))
            ++r;
        if (r < text.size() && text[r] == '=') {
            ++r;
            while (r < text.size() && IsSpace(text[r]))
                ++r;
            if (r >= text.size())
                return false;
            if (text[r] == '"' || text[r] == '\'') {
                size_t close = text.find(text[r], r + 1);
                if (close == std::string_view::npos)
                    return false;
                a.value = text.substr(r + 1, close - r - 1);
                a.quoted = true;
                q = close + 1;
            } else {
                size_t v = r;
                while (r < text.size() && !IsSpace(text[r]) && text[r] != '>')
                    ++r;
                a.value = text.substr(v, r - v);
                q = r;
            }
        }
        a.end = q;
        attributes.push_back(a);
    }
}

} // namespace

CString SanitizeHtml(const CString& html, OwnLinkTest ownLink)
{
    OwnMarkup own;
    own.link = ownLink;
    return SanitizeHtml(html, own);
}

CString SanitizeHtml(const CString& html, const OwnMarkup& own)
{
    auto ownElement = [&own](const std::string& lowerName) { return own.element && own.element(lowerName); };
    std::string_view in = html.View();
    std::string out;
    out.reserve(in.size());
    std::vector<Attribute> attributes;
    size_t p = 0;
    while (p < in.size()) {
        char c = in[p];
        if (c != '<') {
            size_t n = CharBytes(in, p);
            out.append(in, p, n);
            p += n;
            continue;
        }
        if (in.substr(p, 2) == "<!" || in.substr(p, 2) == "<?") {
            // Comments (conditional ones too), declarations, processing
            // instructions: dropped.
            size_t close = in.substr(p, 4) == "<!--" ? in.find("-->", p + 2) : in.find('>', p);
            p = close == std::string_view::npos ? in.size() : close + (in[close] == '>' ? 1 : 3);
            continue;
        }
        if (in.substr(p, 2) == "</" && p + 2 < in.size() && IsAsciiLetter(in[p + 2])) {
            size_t q = p + 2;
            while (q < in.size() && !IsSpace(in[q]) && in[q] != '/' && in[q] != '>')
                ++q;
            std::string_view name = in.substr(p + 2, q - p - 2);
            size_t close = in.find('>', q);
            if (close == std::string_view::npos) {
                p = in.size();
                continue;
            }
            if (Contains(kAllowedTags, Lower(name)) || ownElement(Lower(name))) {
                out += "</";
                out += name;
                out += '>';
            }
            p = close + 1;
            continue;
        }
        std::string_view name;
        size_t tailBegin = 0;
        size_t end = 0;
        if (p + 1 >= in.size() || !IsAsciiLetter(in[p + 1])) {
            // Not a tag a browser would open: plain text.
            out += "&lt;";
            ++p;
            continue;
        }
        if (!ParseTag(in, p, name, attributes, tailBegin, end)) {
            // The tag runs to the end of the text, so nothing after it is a
            // tag to a browser either: the rest is text. (Trying each later
            // '<' again would take time square to the length.)
            AppendText(out, in.substr(p));
            break;
        }
        std::string lowerName = Lower(name);
        if (Contains(kDroppedWithContent, lowerName)) {
            bool selfClosing = in[end - 2] == '/';
            if (selfClosing) {
                p = end;
                continue;
            }
            size_t closing = FindNoCase(in, "</" + lowerName, end);
            size_t close = closing == std::string_view::npos ? std::string_view::npos : in.find('>', closing);
            p = close == std::string_view::npos ? in.size() : close + 1;
            continue;
        }
        const bool listed = Contains(kAllowedTags, lowerName);
        if (listed || ownElement(lowerName)) {
            out += '<';
            out += name;
            bool afterQuote = false; // what was kept so far ends with a closing quote
            for (const Attribute& a : attributes) {
                std::string attribute = Lower(in.substr(a.nameBegin, a.nameEnd - a.nameBegin));
                const bool ours = own.attribute && (a.quoted || IsPlainToken(a.value)) &&
                                  own.attribute(lowerName, attribute, a.value);
                if (!ours && !listed)
                    continue;
                if (!ours && !Contains(kAllowedAttributes, attribute))
                    continue;
                if (!ours && Contains(kUrlAttributes, attribute) && !IsSafeUrl(a.value) &&
                    !(own.link && a.quoted && lowerName == "a" && attribute == "href" && own.link(a.value)))
                    continue;
                // After a skipped '/' or a closing quote the attribute has no
                // blank before it. It needs one unless it follows a closing
                // quote here too: after an unquoted value (which may end in a
                // quote character) it would become part of that value.
                if (!IsSpace(in[a.begin]) && !afterQuote)
                    out += ' ';
                out.append(in, a.begin, a.end - a.begin);
                afterQuote = a.quoted;
            }
            out.append(in, tailBegin, end - tailBegin);
        }
        p = end;
    }
    return CString(std::move(out));
}

} // namespace tavrin
