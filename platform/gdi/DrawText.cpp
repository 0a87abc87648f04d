// DrawText: formatted text in a rectangle (lines, word breaks, alignment,
// ellipsis, "&" prefixes), and DrawState's prefix text.
#include "platform/gdi/Font.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GbkText.h"
#include "platform/gdi/TextRenderer.h"

#include <cstring>
#include <string>

using namespace tavrin;

namespace {

struct Line {
    std::string text;
    int underline = -1; // byte offset of the prefixed character
};

// Removes "&" prefixes: "&&" becomes "&", "&x" marks x; returns the text and
// the byte offset of the marked character (-1 when none).
std::string StripPrefix(std::string_view in, int& marked)
{
    marked = -1;
    std::string out;
    for (size_t i = 0; i < in.size(); ++i) {
        char c = in[i];
        if (static_cast<unsigned char>(c) >= 0x81 && i + 1 < in.size()) {
            out += c;
            out += in[++i];
            continue;
        }
        if (c == '&') {
            if (i + 1 < in.size() && in[i + 1] == '&') {
                out += '&';
                ++i;
                continue;
            }
            if (i + 1 < in.size())
                marked = int(out.size());
            continue;
        }
        out += c;
    }
    return out;
}

int Width(ScaledFont& font, std::string_view s, int extra)
{
    return font.TextWidth(s, extra);
}

std::string ExpandTabs(std::string_view s, ScaledFont& font, int extra, int tabWidth)
{
    std::string out;
    for (char c : s) {
        if (c != '\t') {
            out += c;
            continue;
        }
        int w = Width(font, out, extra);
        int spaceWidth = std::max(1, font.Advance(U' ') + extra);
        int target = (w / tabWidth + 1) * tabWidth;
        while (w < target) {
            out += ' ';
            w += spaceWidth;
        }
    }
    return out;
}

// Splits one paragraph into lines no wider than width, at spaces or between
// double-byte characters; a word wider than the line stays whole.
void WrapParagraph(const std::string& text, ScaledFont& font, int extra, int width, std::vector<std::string>& out)
{
    size_t start = 0;
    while (start < text.size()) {
        size_t best = std::string::npos, i = start;
        while (i < text.size()) {
            size_t next = i + (static_cast<unsigned char>(text[i]) >= 0x81 && i + 1 < text.size() ? 2 : 1);
            if (Width(font, std::string_view(text).substr(start, next - start), extra) > width)
                break;
            // Break opportunities: after a space, or around a double-byte character.
            bool dbcs = next - i == 2;
            bool nextDbcs = next < text.size() && static_cast<unsigned char>(text[next]) >= 0x81;
            if (text[i] == ' ' || dbcs || nextDbcs || next == text.size())
                best = next;
            i = next;
        }
        if (i >= text.size()) {
            out.push_back(text.substr(start));
            return;
        }
        if (best == std::string::npos || best <= start) {
            // No break fits: the word runs to the next space.
            size_t sp = text.find(' ', i);
            best = sp == std::string::npos ? text.size() : sp + 1;
        }
        std::string line = text.substr(start, best - start);
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out.push_back(line);
        start = best;
        while (start < text.size() && text[start] == ' ')
            ++start;
    }
    if (text.empty())
        out.push_back(std::string());
}

// A line shortened with "...": its text and how many of its first bytes are
// the line's own, unchanged.
struct Shortened {
    std::string text;
    size_t kept;
};

bool Fits(ScaledFont& font, const std::string& s, int extra, int width)
{
    return Width(font, s, extra) <= width;
}

// The start of the line cut after a character, "..." appended.
Shortened EndEllipsis(const std::string& text, const std::vector<TextChar>& chars, ScaledFont& font, int extra,
                      int width)
{
    for (size_t n = chars.size(); n-- > 0;) {
        std::string candidate = text.substr(0, size_t(chars[n].offset)) + "...";
        if (Fits(font, candidate, extra, width))
            return {candidate, size_t(chars[n].offset)};
    }
    return {"...", 0};
}

// The start of the line cut after its last whole word that fits: before a
// space, or beside a double-byte character (each is a word of its own). A
// first word too long for the line is cut like the end ellipsis.
Shortened WordEllipsis(const std::string& text, const std::vector<TextChar>& chars, ScaledFont& font, int extra,
                       int width)
{
    for (size_t n = chars.size(); n-- > 1;) {
        const TextChar& before = chars[n - 1];
        const TextChar& at = chars[n];
        if (!(at.code == U' ' || before.length == 2 || at.length == 2))
            continue;
        std::string head = text.substr(0, size_t(at.offset));
        while (!head.empty() && head.back() == ' ')
            head.pop_back();
        if (head.empty())
            continue;
        if (Fits(font, head + "...", extra, width))
            return {head + "...", head.size()};
    }
    return EndEllipsis(text, chars, font, extra, width);
}

// "..." in place of the middle: the part from the last backslash on is kept
// whole as long as anything before it can stay; without a backslash the
// line keeps as much of its start and end as fits, the start taking the odd
// character.
Shortened PathEllipsis(const std::string& text, const std::vector<TextChar>& chars, ScaledFont& font, int extra,
                       int width)
{
    size_t slash = chars.size();
    for (size_t i = chars.size(); i-- > 1;)
        if (chars[i].code == U'\\' && chars[i].length == 1) {
            slash = i;
            break;
        }
    if (slash < chars.size()) {
        std::string tail = text.substr(size_t(chars[slash].offset));
        for (size_t n = slash; n-- > 0;) {
            std::string candidate = text.substr(0, size_t(chars[n].offset)) + "..." + tail;
            if (Fits(font, candidate, extra, width))
                return {candidate, size_t(chars[n].offset)};
        }
        // Not even the last part fits behind "...": as much of its start as does.
        for (size_t n = chars.size(); n-- > slash;) {
            std::string candidate = "..." + text.substr(size_t(chars[slash].offset),
                                                        size_t(chars[n].offset - chars[slash].offset));
            if (Fits(font, candidate, extra, width))
                return {candidate, 0};
        }
        return {"...", 0};
    }
    for (size_t keep = chars.size(); keep-- > 0;) {
        size_t headChars = (keep + 1) / 2, tailChars = keep / 2;
        size_t headBytes = headChars < chars.size() ? size_t(chars[headChars].offset) : text.size();
        size_t tailFrom = tailChars ? size_t(chars[chars.size() - tailChars].offset) : text.size();
        std::string candidate = text.substr(0, headBytes) + "..." + text.substr(tailFrom);
        if (Fits(font, candidate, extra, width))
            return {candidate, headBytes};
    }
    return {"...", 0};
}

Shortened Ellipsis(const std::string& text, UINT format, ScaledFont& font, int extra, int width)
{
    if (Fits(font, text, extra, width))
        return {text, text.size()};
    std::vector<TextChar> chars = DecodeGbkText(text);
    if (format & DT_PATH_ELLIPSIS)
        return PathEllipsis(text, chars, font, extra, width);
    if (format & DT_WORD_ELLIPSIS)
        return WordEllipsis(text, chars, font, extra, width);
    return EndEllipsis(text, chars, font, extra, width);
}

// Writes the shown text back over the caller's text, which has room for
// four bytes more than its length; never past that, nor through a character.
void WriteBack(LPCSTR text, size_t length, const std::string& shown)
{
    size_t room = length + 3, n = 0;
    for (const TextChar& c : DecodeGbkText(shown)) {
        if (size_t(c.offset + c.length) > room)
            break;
        n = size_t(c.offset + c.length);
    }
    char* out = const_cast<char*>(text); // the caller asked for its buffer to be changed
    std::memcpy(out, shown.data(), n);
    out[n] = '\0';
}

} // namespace

int DrawTextA(HDC hdc, LPCSTR text, int length, LPRECT rect, UINT format)
{
    auto dc = DcFromHandle(hdc);
    if (!dc || !rect || !text)
        return 0;
    std::string_view input = length < 0 ? std::string_view(text) : std::string_view(text, size_t(length));
    Font& font = SelectedFont(*dc);
    ScaledFont& scaled = font.Scaled();
    const FontMetrics& m = scaled.Metrics();
    int extra = dc->State().charExtra;
    int width = rect->right - rect->left;

    std::vector<std::string> paragraphs;
    if (format & DT_SINGLELINE) {
        paragraphs.emplace_back(input);
    } else {
        std::string cur;
        for (size_t i = 0; i < input.size(); ++i) {
            char c = input[i];
            if (c == '\r' || c == '\n') {
                paragraphs.push_back(cur);
                cur.clear();
                if (c == '\r' && i + 1 < input.size() && input[i + 1] == '\n')
                    ++i;
            } else {
                cur += c;
            }
        }
        paragraphs.push_back(cur);
    }
    int tabWidth = 8 * std::max(1, m.aveCharWidth);
    std::vector<Line> lines;
    int shortened = 0;
    for (std::string& p : paragraphs) {
        int marked = -1;
        std::string plain = (format & DT_NOPREFIX) ? p : StripPrefix(p, marked);
        if (format & DT_EXPANDTABS)
            plain = ExpandTabs(plain, scaled, extra, tabWidth);
        std::vector<std::string> wrapped;
        if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE))
            WrapParagraph(plain, scaled, extra, width, wrapped);
        else
            wrapped.push_back(plain);
        int offset = 0;
        for (std::string& w : wrapped) {
            Line line;
            size_t at = plain.find(w, size_t(offset));
            int begin = at == std::string::npos ? offset : int(at);
            if (marked >= begin && marked < begin + int(w.size()))
                line.underline = marked - begin;
            offset = begin + int(w.size());
            if ((format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)) && !(format & DT_CALCRECT)) {
                Shortened cut = Ellipsis(w, format, scaled, extra, width);
                if (cut.text != w) {
                    if (line.underline >= int(cut.kept))
                        line.underline = -1;
                    w = cut.text;
                    ++shortened;
                }
            }
            line.text = w;
            lines.push_back(line);
        }
    }
    if ((format & DT_MODIFYSTRING) && shortened && lines.size() == 1)
        WriteBack(text, input.size(), lines[0].text);
    int lineHeight = m.height + ((format & DT_EXTERNALLEADING) ? m.externalLeading : 0);
    int total = lineHeight * int(lines.size());
    int maxWidth = 0;
    for (const Line& l : lines)
        maxWidth = std::max(maxWidth, Width(scaled, l.text, extra));

    if (format & DT_CALCRECT) {
        if (!lines.empty() && !(lines.size() == 1 && lines[0].text.empty() && input.empty()))
            rect->right = rect->left + maxWidth;
        else
            rect->right = rect->left;
        rect->bottom = rect->top + total;
        return total;
    }

    int y = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = (rect->top + rect->bottom - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = rect->bottom - lineHeight;
    }
    DcState& s = dc->State();
    TextDrawOptions o;
    o.align = TA_TOP | TA_LEFT;
    o.clip = (format & DT_NOCLIP) ? nullptr : rect;
    o.fillCell = s.bkMode == OPAQUE;
    o.color = s.textColor;
    o.back = s.bkColor;
    o.glyphs = !(format & DT_PREFIXONLY);
    int top = y;
    for (const Line& l : lines) {
        TextLayout layout = LayoutText(scaled, l.text, extra);
        int x = rect->left;
        if (format & DT_CENTER)
            x = (rect->left + rect->right - layout.width) / 2;
        else if (format & DT_RIGHT)
            x = rect->right - layout.width;
        std::vector<int> underline;
        if (l.underline >= 0 && !(format & DT_HIDEPREFIX))
            for (size_t i = 0; i < layout.chars.size(); ++i)
                if (layout.chars[i].offset == l.underline)
                    underline.push_back(int(i));
        o.underline = &underline;
        DrawTextLayout(*dc, font, layout, x, y, o);
        y += lineHeight;
    }
    if (format & (DT_VCENTER | DT_BOTTOM))
        return top - rect->top + total;
    return total;
}
