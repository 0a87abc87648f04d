// DrawText: formatted text in a rectangle (lines, word breaks, alignment,
// ellipsis, "&" prefixes), and DrawState's prefix text.
#include "platform/win/Font.h"
#include "platform/win/Gdi.h"
#include "platform/win/TextRenderer.h"

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
    return LayoutText(font, s, extra).width;
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

// Cuts the line to fit width with "..." appended.
std::string EndEllipsis(const std::string& text, ScaledFont& font, int extra, int width)
{
    if (Width(font, text, extra) <= width)
        return text;
    std::vector<TextChar> chars = DecodeGbkText(text);
    std::string best = "...";
    for (size_t n = chars.size(); n-- > 0;) {
        std::string candidate = text.substr(0, size_t(chars[n].offset)) + "...";
        if (Width(font, candidate, extra) <= width)
            return candidate;
    }
    return best;
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
                std::string cut = EndEllipsis(w, scaled, extra, width);
                if (cut != w && line.underline >= int(cut.size()) - 3)
                    line.underline = -1;
                w = cut;
            }
            line.text = w;
            lines.push_back(line);
        }
    }
    int lineHeight = m.height;
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
