#include "platform/browser/HtmlPage.h"

#include "platform/base/CodePage.h"

#include <cctype>
#include <cstdlib>
#include <utility>

namespace tavrin::browser {

namespace {

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

void AppendUtf8(std::string& out, unsigned long cp)
{
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The character references our pages use; others stay as written.
std::string DecodeEntities(std::string_view s)
{
    static const std::pair<const char*, unsigned long> named[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0}, {"copy", 0xA9},
    };
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        size_t semi = s.find(';', i + 1);
        if (semi == std::string_view::npos || semi - i > 12) {
            out += '&';
            continue;
        }
        std::string_view ref = s.substr(i + 1, semi - i - 1);
        bool done = false;
        if (ref.size() > 1 && ref[0] == '#') {
            bool hex = ref[1] == 'x' || ref[1] == 'X';
            std::string digits(ref.substr(hex ? 2 : 1));
            char* end = nullptr;
            unsigned long cp = digits.empty() ? 0 : std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
            if (!digits.empty() && end && *end == '\0') {
                AppendUtf8(out, cp);
                done = true;
            }
        } else {
            for (const auto& [name, cp] : named) {
                if (ref == name) {
                    AppendUtf8(out, cp);
                    done = true;
                    break;
                }
            }
        }
        if (done)
            i = semi;
        else
            out += '&';
    }
    return out;
}

std::string CollapseSpace(std::string_view s)
{
    std::string out;
    bool space = false;
    for (char c : s) {
        if (IsSpace(c)) {
            space = !out.empty();
            continue;
        }
        if (space)
            out += ' ';
        space = false;
        out += c;
    }
    return out;
}

struct Tag {
    std::string name; // lower case
    bool end = false;
    std::vector<std::pair<std::string, std::string>> attributes; // names lower case, values decoded

    const std::string* Find(std::string_view attr) const
    {
        for (const auto& a : attributes)
            if (a.first == attr)
                return &a.second;
        return nullptr;
    }
    std::string Get(std::string_view attr) const
    {
        const std::string* v = Find(attr);
        return v ? *v : std::string();
    }
    bool Has(std::string_view attr) const { return Find(attr) != nullptr; }
};

// Reads a tag starting at text[pos] == '<'; returns the position after it, or
// npos when this '<' does not start a tag.
size_t ReadTag(std::string_view text, size_t pos, Tag& tag)
{
    size_t i = pos + 1;
    tag = Tag{};
    if (i < text.size() && text[i] == '/') {
        tag.end = true;
        ++i;
    }
    if (i >= text.size() || !std::isalpha(static_cast<unsigned char>(text[i])))
        return std::string_view::npos;
    size_t start = i;
    while (i < text.size() && !IsSpace(text[i]) && text[i] != '>' && text[i] != '/')
        ++i;
    tag.name = Lower(text.substr(start, i - start));
    for (;;) {
        while (i < text.size() && (IsSpace(text[i]) || text[i] == '/'))
            ++i;
        if (i >= text.size())
            return text.size();
        if (text[i] == '>')
            return i + 1;
        size_t nameStart = i;
        while (i < text.size() && !IsSpace(text[i]) && text[i] != '>' && text[i] != '=' &&
               !(text[i] == '/' && i + 1 < text.size() && text[i + 1] == '>'))
            ++i;
        std::string name = Lower(text.substr(nameStart, i - nameStart));
        while (i < text.size() && IsSpace(text[i]))
            ++i;
        std::string value;
        if (i < text.size() && text[i] == '=') {
            ++i;
            while (i < text.size() && IsSpace(text[i]))
                ++i;
            if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
                char quote = text[i++];
                size_t close = text.find(quote, i);
                if (close == std::string_view::npos)
                    close = text.size();
                value = DecodeEntities(text.substr(i, close - i));
                i = close < text.size() ? close + 1 : close;
            } else {
                size_t valueStart = i;
                while (i < text.size() && !IsSpace(text[i]) && text[i] != '>')
                    ++i;
                value = DecodeEntities(text.substr(valueStart, i - valueStart));
            }
        }
        if (!name.empty() && !tag.Has(name))
            tag.attributes.emplace_back(std::move(name), std::move(value));
    }
}

// The end of an element whose content is raw text (script, style, textarea,
// title): the position of its end tag, or the end of the text.
size_t FindEndTag(std::string_view text, size_t from, std::string_view name)
{
    for (size_t i = text.find("</", from); i != std::string_view::npos; i = text.find("</", i + 2)) {
        if (Lower(text.substr(i + 2, name.size())) == name) {
            size_t after = i + 2 + name.size();
            if (after >= text.size() || IsSpace(text[after]) || text[after] == '>' || text[after] == '/')
                return i;
        }
    }
    return text.size();
}

// A page's UTF-8 as a browser reads it: each invalid sequence becomes U+FFFD.
std::string ValidUtf8(std::string_view bytes)
{
    if (bytes.empty())
        return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    if (m <= 0)
        return {};
    std::string out(static_cast<size_t>(m), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), m, nullptr, nullptr);
    return out;
}

std::string Charset(std::string_view label)
{
    std::string l = Lower(label);
    while (!l.empty() && (IsSpace(l.back()) || l.back() == '"' || l.back() == '\'' || l.back() == ';'))
        l.pop_back();
    while (!l.empty() && (IsSpace(l.front()) || l.front() == '"' || l.front() == '\''))
        l.erase(l.begin());
    if (l == "utf-8" || l == "utf8" || l == "unicode-1-1-utf-8")
        return "UTF-8";
    return "GBK";
}

} // namespace

std::string DetectCharset(std::string_view bytes)
{
    // Meta elements within the first 1024 bytes, as browsers pre-scan.
    std::string_view head = bytes.substr(0, 1024);
    Tag tag;
    for (size_t i = head.find('<'); i != std::string_view::npos; i = head.find('<', i + 1)) {
        if (head.substr(i, 4) == "<!--") {
            size_t close = head.find("-->", i + 4);
            if (close == std::string_view::npos)
                break;
            i = close;
            continue;
        }
        size_t next = ReadTag(head, i, tag);
        if (next == std::string_view::npos || tag.end || tag.name != "meta")
            continue;
        if (const std::string* cs = tag.Find("charset"))
            return Charset(*cs);
        std::string content = Lower(tag.Get("content"));
        size_t at = content.find("charset=");
        if (at != std::string::npos && Lower(tag.Get("http-equiv")) == "content-type")
            return Charset(std::string_view(content).substr(at + 8));
    }
    return "GBK";
}

HtmlPage ParseHtml(std::string_view bytes)
{
    HtmlPage page;
    page.charset = DetectCharset(bytes);
    std::string text = page.charset == "UTF-8" ? ValidUtf8(bytes) : GbkToUtf8(bytes);
    std::string_view t = text;

    HtmlForm* form = nullptr;
    HtmlControl* select = nullptr;
    HtmlOption* option = nullptr;
    std::string optionText;
    bool optionHasValue = false;
    HtmlLink* link = nullptr;
    std::string linkText;

    auto endOption = [&] {
        if (option && !optionHasValue)
            option->value = CollapseSpace(DecodeEntities(optionText));
        option = nullptr;
    };
    auto appendText = [&](std::string_view s) {
        if (link)
            linkText += s;
        if (option)
            optionText += s;
    };

    size_t i = 0;
    Tag tag;
    while (i < t.size()) {
        size_t lt = t.find('<', i);
        if (lt == std::string_view::npos) {
            appendText(t.substr(i));
            break;
        }
        appendText(t.substr(i, lt - i));
        if (t.substr(lt, 4) == "<!--") {
            size_t close = t.find("-->", lt + 4);
            i = close == std::string_view::npos ? t.size() : close + 3;
            continue;
        }
        if (t.substr(lt, 2) == "<!" || t.substr(lt, 2) == "<?") {
            size_t close = t.find('>', lt);
            i = close == std::string_view::npos ? t.size() : close + 1;
            continue;
        }
        size_t next = ReadTag(t, lt, tag);
        if (next == std::string_view::npos) {
            appendText("<");
            i = lt + 1;
            continue;
        }
        i = next;
        const std::string& name = tag.name;
        if (!tag.end && (name == "script" || name == "style" || name == "title" || name == "textarea")) {
            size_t close = FindEndTag(t, i, name);
            if (name == "textarea" && form) {
                endOption();
                select = nullptr;
                HtmlControl c;
                c.tag = "textarea";
                c.type = "textarea";
                c.name = tag.Get("name");
                c.disabled = tag.Has("disabled");
                std::string_view content = t.substr(i, close - i);
                // A line break right after the start tag is not part of the value.
                if (content.substr(0, 2) == "\r\n")
                    content.remove_prefix(2);
                else if (!content.empty() && content[0] == '\n')
                    content.remove_prefix(1);
                c.value = DecodeEntities(content);
                form->controls.push_back(std::move(c));
            }
            size_t gt = t.find('>', close);
            i = gt == std::string_view::npos ? t.size() : gt + 1;
            continue;
        }
        if (name == "a") {
            if (link) {
                link->text = CollapseSpace(DecodeEntities(linkText));
                link = nullptr;
            }
            if (!tag.end && tag.Has("href")) {
                page.links.push_back(HtmlLink{tag.Get("href"), {}});
                link = &page.links.back();
                linkText.clear();
            }
        } else if (name == "form") {
            if (tag.end) {
                endOption();
                form = nullptr;
                select = nullptr;
            } else if (!form) {
                HtmlForm f;
                f.action = tag.Get("action");
                f.method = Lower(tag.Get("method")) == "post" ? "post" : "get";
                std::string enctype = Lower(tag.Get("enctype"));
                f.enctype = enctype == "multipart/form-data" || enctype == "text/plain"
                                ? enctype
                                : "application/x-www-form-urlencoded";
                page.forms.push_back(std::move(f));
                form = &page.forms.back();
            }
        } else if (form && !tag.end && (name == "input" || name == "button")) {
            HtmlControl c;
            c.tag = name;
            c.type = Lower(tag.Get("type"));
            if (c.type.empty() || (name == "button" && c.type != "reset" && c.type != "button"))
                c.type = name == "button" ? "submit" : "text";
            c.name = tag.Get("name");
            c.value = tag.Get("value");
            c.checked = tag.Has("checked");
            c.disabled = tag.Has("disabled");
            c.multiple = tag.Has("multiple");
            if (c.tag == "input" && (c.type == "checkbox" || c.type == "radio") && !tag.Has("value"))
                c.value = "on";
            endOption();
            select = nullptr;
            form->controls.push_back(std::move(c));
        } else if (form && name == "select") {
            endOption();
            if (tag.end) {
                select = nullptr;
            } else {
                HtmlControl c;
                c.tag = "select";
                c.type = tag.Has("multiple") ? "select-multiple" : "select-one";
                c.name = tag.Get("name");
                c.disabled = tag.Has("disabled");
                c.multiple = tag.Has("multiple");
                form->controls.push_back(std::move(c));
                select = &form->controls.back();
            }
        } else if (select && name == "option") {
            endOption();
            if (!tag.end) {
                select->options.push_back(HtmlOption{tag.Get("value"), tag.Has("selected"), tag.Has("disabled")});
                option = &select->options.back();
                optionHasValue = tag.Has("value");
                optionText.clear();
            }
        }
    }
    endOption();
    if (link)
        link->text = CollapseSpace(DecodeEntities(linkText));
    return page;
}

} // namespace tavrin::browser
