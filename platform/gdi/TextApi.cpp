// Text output and text measurement.
#include "platform/gdi/Font.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Painter.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/TextRenderer.h"

#include <cstring>
#include <string_view>

using namespace tavrin;

namespace {

std::string_view TextOf(LPCSTR text, int length)
{
    if (!text)
        return {};
    if (length < 0)
        return std::string_view(text);
    return std::string_view(text, size_t(length));
}

} // namespace

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length, const INT* dx)
{
    auto dc = DcFromHandle(hdc);
    if (!dc || (length && !text))
        return FALSE;
    DcState& s = dc->State();
    if ((options & ETO_OPAQUE) && rect) {
        Painter painter(*dc);
        if (painter.CanDraw())
            painter.PatternBlt(dc->ToSurface(*rect), BrushPattern::SolidPixel(painter.ColorPixel(s.bkColor)),
                               Rop3Code(PATCOPY));
    }
    if (!length)
        return TRUE;
    Font& font = SelectedFont(*dc);
    TextLayout layout = LayoutText(font.Scaled(), TextOf(text, int(length)), s.charExtra, dx);
    TextDrawOptions o;
    o.align = s.textAlign;
    o.clip = (options & ETO_CLIPPED) ? rect : nullptr;
    o.fillCell = s.bkMode == OPAQUE && !(options & ETO_OPAQUE);
    o.color = s.textColor;
    o.back = s.bkColor;
    if (s.textAlign & TA_UPDATECP) {
        x = s.position.x;
        y = s.position.y;
    }
    int advance = DrawTextLayout(*dc, font, layout, x, y, o);
    if (s.textAlign & TA_UPDATECP)
        s.position.x += advance;
    return TRUE;
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int length)
{
    if (length < 0)
        return FALSE;
    return ExtTextOutA(hdc, x, y, 0, nullptr, text, UINT(length), nullptr);
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int length, LPSIZE size)
{
    auto dc = DcFromHandle(hdc);
    if (!dc || !size || length < 0 || (length && !text))
        return FALSE;
    Font& font = SelectedFont(*dc);
    size->cx = font.Scaled().TextWidth(TextOf(text, length), dc->State().charExtra);
    size->cy = font.Scaled().Metrics().height;
    return TRUE;
}

BOOL GetTextExtentExPointA(HDC hdc, LPCSTR text, int length, int maxExtent, LPINT fit, LPINT dx, LPSIZE size)
{
    auto dc = DcFromHandle(hdc);
    if (!dc || length < 0 || (length && !text))
        return FALSE;
    Font& font = SelectedFont(*dc);
    TextLayout layout = LayoutText(font.Scaled(), TextOf(text, length), dc->State().charExtra);
    int total = 0, fitted = 0;
    for (size_t i = 0; i < layout.chars.size(); ++i) {
        total += layout.advances[i];
        if (fit && total <= maxExtent)
            fitted = layout.chars[i].offset + layout.chars[i].length;
        if (dx) {
            // Byte-indexed: both bytes of a double-byte character get its end.
            dx[layout.chars[i].offset] = total;
            if (layout.chars[i].length == 2)
                dx[layout.chars[i].offset + 1] = total;
        }
    }
    if (fit)
        *fit = fitted;
    if (size) {
        size->cx = total;
        size->cy = font.Scaled().Metrics().height;
    }
    return TRUE;
}

BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA tm)
{
    auto dc = DcFromHandle(hdc);
    if (!dc || !tm)
        return FALSE;
    Font& font = SelectedFont(*dc);
    const FontMetrics& m = font.Scaled().Metrics();
    const LOGFONTA& lf = font.LogFont();
    std::memset(tm, 0, sizeof *tm);
    tm->tmHeight = m.height;
    tm->tmAscent = m.ascent;
    tm->tmDescent = m.descent;
    tm->tmInternalLeading = m.internalLeading;
    tm->tmExternalLeading = m.externalLeading;
    tm->tmAveCharWidth = m.aveCharWidth;
    tm->tmMaxCharWidth = m.maxCharWidth;
    tm->tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    tm->tmDigitizedAspectX = tm->tmDigitizedAspectY = 96;
    tm->tmFirstChar = 0x20;
    tm->tmLastChar = 0xFF;
    tm->tmDefaultChar = 0x1F;
    tm->tmBreakChar = 0x20;
    tm->tmItalic = lf.lfItalic;
    tm->tmUnderlined = lf.lfUnderline;
    tm->tmStruckOut = lf.lfStrikeOut;
    // The low bit set means variable pitch, as documented.
    tm->tmPitchAndFamily = BYTE((m.fixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE | (lf.lfPitchAndFamily & 0xF0));
    tm->tmCharSet = lf.lfCharSet == DEFAULT_CHARSET ? GB2312_CHARSET : lf.lfCharSet;
    return TRUE;
}

int GetTextFaceA(HDC hdc, int size, LPSTR face)
{
    auto dc = DcFromHandle(hdc);
    if (!dc)
        return 0;
    const char* name = SelectedFont(*dc).LogFont().lfFaceName;
    int n = int(std::strlen(name));
    if (!face)
        return n + 1;
    if (size <= 0)
        return 0;
    int copy = std::min(n, size - 1);
    std::memcpy(face, name, size_t(copy));
    face[copy] = 0;
    return copy;
}

BOOL GetCharWidth32A(HDC hdc, UINT first, UINT last, LPINT widths)
{
    auto dc = DcFromHandle(hdc);
    if (!dc || !widths || last < first || last > 0xFFFF)
        return FALSE;
    ScaledFont& font = SelectedFont(*dc).Scaled();
    for (UINT c = first; c <= last; ++c) {
        char bytes[2] = {char(c >> 8), char(c & 0xFF)};
        std::string_view one = c > 0xFF ? std::string_view(bytes, 2) : std::string_view(bytes + 1, 1);
        TextLayout layout = LayoutText(font, one, 0);
        widths[c - first] = layout.width;
    }
    return TRUE;
}

int GetTextCharset(HDC hdc)
{
    auto dc = DcFromHandle(hdc);
    if (!dc)
        return DEFAULT_CHARSET;
    BYTE cs = SelectedFont(*dc).LogFont().lfCharSet;
    return cs == DEFAULT_CHARSET ? GB2312_CHARSET : cs;
}

int GetTextCharsetInfo(HDC hdc, void* signature, DWORD)
{
    if (signature)
        std::memset(signature, 0, 24);
    return GetTextCharset(hdc);
}

int EnumFontFamiliesExA(HDC hdc, LOGFONTA* lf, FONTENUMPROCA proc, LPARAM data, DWORD)
{
    if (!DcFromHandle(hdc) || !lf || !proc)
        return 0;
    int result = 1;
    for (const std::string& name : FontLibrary::Instance().FaceNames()) {
        if (lf->lfFaceName[0] && std::strncmp(lf->lfFaceName, name.c_str(), LF_FACESIZE) != 0)
            continue;
        ENUMLOGFONTEXA e{};
        e.elfLogFont.lfHeight = 16;
        e.elfLogFont.lfWeight = FW_NORMAL;
        bool cjk = static_cast<unsigned char>(name[name[0] == '@' ? 1 : 0]) >= 0x80;
        e.elfLogFont.lfCharSet = name == "Marlett" ? SYMBOL_CHARSET : cjk ? GB2312_CHARSET : ANSI_CHARSET;
        std::strncpy(e.elfLogFont.lfFaceName, name.c_str(), LF_FACESIZE - 1);
        std::strncpy(reinterpret_cast<char*>(e.elfFullName), name.c_str(), sizeof e.elfFullName - 1);
        NEWTEXTMETRICA tm{};
        tm.tm.tmHeight = 16;
        tm.tm.tmCharSet = e.elfLogFont.lfCharSet;
        result = proc(&e.elfLogFont, &tm.tm, TRUETYPE_FONTTYPE, data);
        if (result == 0)
            break;
    }
    return result;
}
