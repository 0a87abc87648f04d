#include "providers/common/PageTemplate.h"

#include "platform/base/FileApi.h"

#include <string>
#include <string_view>

namespace tavrin {

namespace {

bool IsLead(char c)
{
    return IsLeadByte(static_cast<unsigned char>(c));
}

char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// First match of needle at a character boundary of text at or after from;
// letters of single-byte characters compare in any case, double-byte
// characters byte for byte.
size_t FindNoCase(std::string_view text, std::string_view needle, size_t from)
{
    if (needle.empty())
        return from;
    for (size_t p = from; p + needle.size() <= text.size(); p += CharLength(text.data() + p, text.data() + text.size())) {
        size_t i = 0;
        while (i < needle.size()) {
            if (IsLead(text[p + i]) && i + 1 < needle.size()) {
                if (text[p + i] != needle[i] || text[p + i + 1] != needle[i + 1])
                    break;
                i += 2;
            } else {
                if (FoldAscii(text[p + i]) != FoldAscii(needle[i]))
                    break;
                ++i;
            }
        }
        if (i == needle.size())
            return p;
    }
    return std::string_view::npos;
}

} // namespace

bool ReadTemplateFile(const CString& path, CString& text)
{
    std::string bytes;
    if (!ReadWholeFile(path.GetString(), bytes)) {
        text.Empty();
        return false;
    }
    text = CString(std::move(bytes));
    return true;
}

bool FindMarkedBlock(const CString& text, const CString& startMarker, const CString& endMarker, CString& block)
{
    std::string_view view = text.View();
    view = view.substr(0, view.find('\0'));
    size_t start = FindNoCase(view, startMarker.View(), 0);
    if (start == std::string_view::npos)
        return false;
    start += startMarker.GetLength();
    size_t end = FindNoCase(view, endMarker.View(), start);
    if (end == std::string_view::npos)
        return false;
    block = CString(view.substr(start, end - start));
    return true;
}

bool FindDataBlock(const CString& text, const CString& label, CString& block)
{
    // GBK for "data variables assigned: start" and ": end"; escaped, as the
    // fuzz build compiles this file.
    static const char kStart[] = "\xCA\xFD\xBE\xDD\xB1\xE4\xC1\xBF\xB8\xB3\xD6\xB5\xBF\xAA\xCA\xBC-->";
    static const char kEnd[] = "\xCA\xFD\xBE\xDD\xB1\xE4\xC1\xBF\xB8\xB3\xD6\xB5\xBD\xE1\xCA\xF8-->";
    return FindMarkedBlock(text, "<!--" + label + kStart, "<!--" + label + kEnd, block);
}

CString FillFormat(const CString& format, const std::vector<CString>& values)
{
    std::string_view in = format.View();
    std::string out;
    out.reserve(in.size());
    size_t next = 0;
    for (size_t p = 0; p < in.size();) {
        size_t n = static_cast<size_t>(CharLength(in.data() + p, in.data() + in.size()));
        if (n == 1 && in[p] == '%' && p + 1 < in.size() && (in[p + 1] == 's' || in[p + 1] == '%')) {
            if (in[p + 1] == '%') {
                out += '%';
            } else if (next < values.size()) {
                out += values[next++].View();
            } else {
                ++next;
            }
            p += 2;
            continue;
        }
        out.append(in, p, n);
        p += n;
    }
    return CString(std::move(out));
}

bool FillDataBlock(CString& text, const CString& label, const std::vector<CString>& values)
{
    CString block;
    if (!FindDataBlock(text, label, block) || block.IsEmpty())
        return false;
    CString filled = FillFormat(block, values);
    // Replace stops at a NUL of its argument; the block ends before any NUL
    // of the text, and the values are texts without one.
    text.Replace(block, filled);
    return true;
}

} // namespace tavrin

#include "providers/common/Escape.h"

namespace tavrin {

bool FillScriptDataBlock(CString& text, const CString& label, const std::vector<CString>& values)
{
    std::vector<CString> escaped;
    escaped.reserve(values.size());
    for (const CString& v : values)
        escaped.push_back(EscapeScriptString(v));
    return FillDataBlock(text, label, escaped);
}

} // namespace tavrin
