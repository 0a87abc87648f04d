#include "platform/gdi/Font.h"

#include "platform/gdi/Gdi.h"

#include <cstring>

namespace tavrin {

int Font::Describe(int size, void* out) const
{
    int need = int(sizeof(LOGFONTA));
    if (!out)
        return need;
    if (size <= 0)
        return 0;
    int n = size < need ? size : need; // a short buffer gets the leading part
    std::memcpy(out, &m_logFont, size_t(n));
    return n;
}

ScaledFont& Font::Scaled()
{
    std::call_once(m_once, [this] { m_scaled = FontLibrary::Instance().Resolve(m_logFont); });
    return *m_scaled;
}

int Font::QuarterTurns() const
{
    long e = m_logFont.lfEscapement % 3600;
    if (e < 0)
        e += 3600;
    return int(((e + 450) / 900) % 4);
}

} // namespace tavrin

HFONT CreateFontIndirectA(const LOGFONTA* lf)
{
    return lf ? tavrin::Register<HFONT>(std::make_shared<tavrin::Font>(*lf)) : nullptr;
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCSTR face)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = BYTE(italic);
    lf.lfUnderline = BYTE(underline);
    lf.lfStrikeOut = BYTE(strikeOut);
    lf.lfCharSet = BYTE(charSet);
    lf.lfOutPrecision = BYTE(outPrecision);
    lf.lfClipPrecision = BYTE(clipPrecision);
    lf.lfQuality = BYTE(quality);
    lf.lfPitchAndFamily = BYTE(pitchAndFamily);
    if (face)
        std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectA(&lf);
}

int AddFontResourceExA(LPCSTR, DWORD, void*)
{
    return 0; // only the pinned fonts are used
}
