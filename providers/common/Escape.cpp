#include "providers/common/Escape.h"

#include <string>
#include <string_view>

namespace tavrin {

namespace {

const char kHex[] = "0123456789ABCDEF";

bool IsTrail(unsigned char c)
{
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

// Calls single(c) for each single-byte character and pair(p) for each valid
// double-byte character; a broken lead byte becomes '?'.
template <class Single, class Pair>
void ForEachChar(std::string_view in, Single single, Pair pair)
{
    for (size_t p = 0; p < in.size();) {
        unsigned char c = static_cast<unsigned char>(in[p]);
        if (IsLeadByte(c)) {
            if (p + 1 < in.size() && IsTrail(static_cast<unsigned char>(in[p + 1]))) {
                pair(in.substr(p, 2));
                p += 2;
            } else {
                single('?');
                ++p;
            }
            continue;
        }
        single(static_cast<char>(c));
        ++p;
    }
}

} // namespace

CString EscapeScriptString(const CString& text)
{
    std::string out;
    out.reserve(static_cast<size_t>(text.GetLength()) + 16);
    ForEachChar(
        text.View(),
        [&](char c) {
            switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\'': out += "\\'"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '<': out += "\\x3C"; break;
            case '>': out += "\\x3E"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    out += "\\x";
                    out += kHex[(static_cast<unsigned char>(c) >> 4) & 15];
                    out += kHex[c & 15];
                } else {
                    out += c;
                }
            }
        },
        [&](std::string_view pair) { out += pair; });
    return CString(std::move(out));
}

CString EscapeHtml(const CString& text)
{
    std::string out;
    out.reserve(static_cast<size_t>(text.GetLength()) + 16);
    ForEachChar(
        text.View(),
        [&](char c) {
            switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
            }
        },
        [&](std::string_view pair) { out += pair; });
    return CString(std::move(out));
}

CString EscapeUrl(const CString& text)
{
    std::string out;
    auto percent = [&](unsigned char c) {
        out += '%';
        out += kHex[c >> 4];
        out += kHex[c & 15];
    };
    ForEachChar(
        text.View(),
        [&](char ch) {
            unsigned char c = static_cast<unsigned char>(ch);
            if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                c == '.' || c == '~')
                out += ch;
            else
                percent(c);
        },
        [&](std::string_view pair) {
            percent(static_cast<unsigned char>(pair[0]));
            percent(static_cast<unsigned char>(pair[1]));
        });
    return CString(std::move(out));
}

} // namespace tavrin
