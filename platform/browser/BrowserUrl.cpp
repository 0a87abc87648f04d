#include "platform/browser/BrowserUrl.h"

#include "platform/base/CodePage.h"
#include "platform/base/Path.h"

#include <cctype>
#include <climits>
#include <vector>

namespace tavrin::browser {

namespace {

bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
    if (s.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

// Length of "scheme:" at the start, or 0. One letter before ':' is a drive.
size_t SchemeLength(std::string_view s)
{
    if (s.empty() || !std::isalpha(static_cast<unsigned char>(s[0])))
        return 0;
    size_t i = 1;
    while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '+' || s[i] == '-' || s[i] == '.'))
        ++i;
    if (i < 2 || i >= s.size() || s[i] != ':')
        return 0;
    return i + 1;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Well-formed UTF-8 only: GBK text can pass for overlong or surrogate forms
// (E0 80 80 is a GBK character and the euro sign), which must stay GBK.
bool IsUtf8(std::string_view s)
{
    if (s.empty())
        return true;
    if (s.size() > static_cast<size_t>(INT_MAX))
        return false;
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0) > 0;
}

// Drops "." and ".." segments of an absolute path.
std::string NormalisePath(std::string_view path)
{
    std::vector<std::string_view> segments;
    bool endsInDirectory = false;
    size_t pos = path.empty() || path[0] != '/' ? 0 : 1;
    for (;;) {
        size_t slash = path.find('/', pos);
        std::string_view seg = path.substr(pos, slash == std::string_view::npos ? std::string_view::npos : slash - pos);
        const bool last = slash == std::string_view::npos;
        endsInDirectory = false;
        if (seg == "..") {
            if (!segments.empty())
                segments.pop_back();
            endsInDirectory = true;
        } else if (seg == ".") {
            endsInDirectory = true;
        } else {
            segments.push_back(seg);
        }
        if (last)
            break;
        pos = slash + 1;
    }
    std::string result;
    for (std::string_view seg : segments) {
        result += '/';
        result += seg;
    }
    if (endsInDirectory || result.empty())
        result += '/';
    return result;
}

} // namespace

std::string EncodeUrl(std::string_view utf8)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(utf8.size());
    for (char ch : utf8) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '`') {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

std::string UrlFromTarget(std::string_view gbkTarget)
{
    if (gbkTarget.empty())
        return {};
    std::string utf8 = GbkToUtf8(gbkTarget);
    if (SchemeLength(gbkTarget))
        return EncodeUrl(utf8);
    std::string native = NativePath(gbkTarget);
    if (native.empty() || native[0] != '/')
        return {};
    return "file://" + EncodeUrl(native);
}

namespace {

std::string PercentDecode(std::string_view s)
{
    std::string decoded;
    decoded.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        int hi, lo;
        if (s[i] == '%' && i + 2 < s.size() && (hi = HexValue(s[i + 1])) >= 0 && (lo = HexValue(s[i + 2])) >= 0) {
            decoded += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            decoded += s[i];
        }
    }
    return decoded;
}

std::string DecodedGbk(std::string_view s)
{
    std::string decoded = PercentDecode(s);
    return IsUtf8(decoded) ? Utf8ToGbk(decoded) : decoded;
}

} // namespace

std::string ProgramUrl(std::string_view url, std::string_view formCharset)
{
    size_t query = url.find('?');
    if (query == std::string_view::npos)
        return DecodedGbk(url);
    std::string result = DecodedGbk(url.substr(0, query + 1));
    std::string_view rest = url.substr(query + 1);
    if (formCharset == "GBK") {
        size_t hash = rest.find('#');
        result += PercentDecode(rest.substr(0, hash));
        if (hash != std::string_view::npos)
            result += DecodedGbk(rest.substr(hash));
    } else {
        result += DecodedGbk(rest);
    }
    return result;
}

std::string ResolveUrl(std::string_view base, std::string_view href)
{
    std::string clean;
    for (char c : href)
        if (c != '\t' && c != '\n' && c != '\r')
            clean += c;
    size_t first = clean.find_first_not_of(' ');
    size_t last = clean.find_last_not_of(' ');
    clean = first == std::string::npos ? std::string() : clean.substr(first, last - first + 1);

    if (SchemeLength(clean))
        return EncodeUrl(clean);
    size_t schemeLen = SchemeLength(base);
    if (!schemeLen)
        return EncodeUrl(clean);
    std::string_view scheme = base.substr(0, schemeLen);
    std::string_view rest = base.substr(schemeLen);
    // Authority and path of the base.
    std::string_view authority;
    std::string_view path = rest;
    if (rest.substr(0, 2) == "//") {
        size_t slash = rest.find('/', 2);
        authority = rest.substr(0, slash == std::string_view::npos ? rest.size() : slash);
        path = slash == std::string_view::npos ? std::string_view("/") : rest.substr(slash);
    } else if (path.empty() || path[0] != '/') {
        // An opaque base ("tavrin:...") resolves nothing but fragments.
        if (!clean.empty() && clean[0] == '#')
            return EncodeUrl(std::string(base.substr(0, base.find('#'))) + clean);
        return {};
    }
    std::string_view pathOnly = path.substr(0, path.find_first_of("?#"));
    if (clean.empty())
        return std::string(base.substr(0, base.find('#')));
    if (clean[0] == '#')
        return std::string(base.substr(0, base.find('#'))) + EncodeUrl(clean);
    if (clean.substr(0, 2) == "//")
        return std::string(scheme) + EncodeUrl(clean);
    std::string target;
    std::string suffix;
    size_t q = clean.find_first_of("?#");
    std::string hrefPath = clean.substr(0, q);
    if (q != std::string::npos)
        suffix = clean.substr(q);
    if (hrefPath.empty())
        target = std::string(pathOnly);
    else if (hrefPath[0] == '/')
        target = NormalisePath(hrefPath);
    else
        target = NormalisePath(std::string(pathOnly.substr(0, pathOnly.rfind('/') + 1)) + hrefPath);
    return std::string(scheme) + std::string(authority) + EncodeUrl(target) + EncodeUrl(suffix);
}

bool IsLocalPage(std::string_view url)
{
    return StartsWithNoCase(url, "file:");
}

bool IsProgramAction(std::string_view url)
{
    return StartsWithNoCase(url, "tavrin:");
}

} // namespace tavrin::browser
