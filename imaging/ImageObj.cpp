#include "imaging/ImageObj.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

CImageObj::CImageObj(DWORD imageType)
{
    Startup(imageType);
}

CImageObj::CImageObj(DWORD width, DWORD height, DWORD bpp, DWORD imageType)
{
    Startup(imageType);
    Create(width, height, bpp, imageType);
}

CImageObj::~CImageObj()
{
    Destroy();
}

void CImageObj::Startup(DWORD imageType)
{
    m_dib = nullptr;
    m_selection = nullptr;
    m_alpha = nullptr;
    m_layers = nullptr;
    std::memset(&m_head, 0, sizeof m_head);
    std::memset(&m_info, 0, sizeof m_info);
    m_info.type = imageType;
    m_info.jpegQuality = 90;
    m_info.alphaMax = 255;
    m_info.transIndex = -1;
    m_info.enabled = 1;
    SetXDPI(96);
    SetYDPI(96);
}

void CImageObj::SetLastError(const char* text)
{
    std::snprintf(m_info.lastError, sizeof m_info.lastError, "%s", text ? text : "");
}

bool CImageObj::CheckSize(unsigned long long width, unsigned long long height, unsigned bpp)
{
    // width and height are below 2^32, so neither product can overflow.
    unsigned long long effWidth = (width * bpp + 31) / 32 * 4;
    if (width * height * bpp / 256 > kMaxPixelBytes || effWidth * height > kMaxPixelBytes) {
        SetLastError("IMAGE_MAX_MEMORY exceeded");
        return false;
    }
    return true;
}

void* CImageObj::Create(DWORD width, DWORD height, DWORD bpp, DWORD imageType)
{
    if (!Destroy())
        return nullptr;
    if (width == 0 || height == 0) {
        SetLastError("CImageObj::Create : width and height must be greater than zero");
        return nullptr;
    }
    // The header holds signed sizes.
    if (width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) {
        SetLastError("IMAGE_MAX_MEMORY exceeded");
        return nullptr;
    }
    if (bpp <= 1)
        bpp = 1;
    else if (bpp <= 4)
        bpp = 4;
    else if (bpp <= 8)
        bpp = 8;
    else
        bpp = 24;
    if (!CheckSize(width, height, bpp))
        return nullptr;

    DWORD colors = bpp == 1 ? 2 : bpp == 4 ? 16 : bpp == 8 ? 256 : 0;
    DWORD effWidth = static_cast<DWORD>((static_cast<unsigned long long>(width) * bpp + 31) / 32 * 4);
    m_info.effWidth = effWidth;
    m_info.type = imageType;
    m_head.biSize = sizeof(BITMAPINFOHEADER);
    m_head.biWidth = static_cast<LONG>(width);
    m_head.biHeight = static_cast<LONG>(height);
    m_head.biPlanes = 1;
    m_head.biBitCount = static_cast<WORD>(bpp);
    m_head.biCompression = BI_RGB;
    m_head.biSizeImage = effWidth * height;
    m_head.biClrUsed = colors;
    m_head.biClrImportant = 0;

    size_t total = sizeof(BITMAPINFOHEADER) + colors * sizeof(RGBQUAD) + static_cast<size_t>(m_head.biSizeImage);
    m_dib = static_cast<BYTE*>(std::malloc(total));
    if (!m_dib) {
        SetLastError("CImageObj::Create can't allocate memory");
        m_info.pixels = nullptr;
        return nullptr;
    }
    std::memcpy(m_dib, &m_head, sizeof m_head);
    std::memset(m_dib + sizeof(BITMAPINFOHEADER), 0, colors * sizeof(RGBQUAD));
    m_info.pixels = m_dib + sizeof(BITMAPINFOHEADER) + colors * sizeof(RGBQUAD);
    // The palette was just cleared.
    InvalidateNearest();
    return m_dib;
}

bool CImageObj::Destroy()
{
    if (m_info.ghostOwner)
        return false;
    if (m_layers) {
        for (LONG i = 0; i < m_info.layerCount; ++i)
            delete m_layers[i];
        std::free(m_layers);
        m_layers = nullptr;
    }
    std::free(m_selection);
    m_selection = nullptr;
    std::free(m_alpha);
    m_alpha = nullptr;
    std::free(m_dib);
    m_dib = nullptr;
    m_info.pixels = nullptr;
    return true;
}

void CImageObj::CopyInfo(const CImageObj& source)
{
    if (m_dib || &source == this)
        return;
    // Everything but what ties the block to buffers: this image owns none.
    DWORD effWidth = m_info.effWidth;
    CImageObj* ghostOwner = m_info.ghostOwner;
    m_info = source.m_info;
    m_info.effWidth = effWidth;
    m_info.pixels = nullptr;
    m_info.ghostOwner = ghostOwner;
}

bool CImageObj::Copy(const CImageObj& source, bool copyPixels, bool copySelection, bool copyAlpha)
{
    if (&source == this)
        return true;
    if (m_info.ghostOwner)
        return false;
    Destroy();
    CopyInfo(source);
    if (!source.m_dib)
        return false;
    if (!Create(source.GetWidth(), source.GetHeight(), source.GetBpp(), source.GetType()))
        return false;
    DWORD colors = source.GetNumColors() < m_head.biClrUsed ? source.GetNumColors() : m_head.biClrUsed;
    SetPalette(source.GetPalette(), colors);
    if (copyPixels && source.BlockExists()) {
        // Same size and depth: the header, then the pixels (each block keeps
        // its own palette room, which a decoder may have shortened).
        m_head = source.m_head;
        std::memcpy(m_dib, &m_head, sizeof m_head);
        std::memcpy(m_info.pixels, source.m_info.pixels, m_head.biSizeImage);
    }
    // Copying the attributes brought the source's cache; the palette is the same.
    m_info.nearestValid = 0;
    size_t planeSize = static_cast<size_t>(GetWidth()) * GetHeight();
    if (copySelection && source.m_selection) {
        std::free(m_selection);
        m_selection = static_cast<BYTE*>(std::malloc(planeSize));
        if (m_selection)
            std::memcpy(m_selection, source.m_selection, planeSize);
    }
    if (copyAlpha && source.m_alpha) {
        std::free(m_alpha);
        m_alpha = static_cast<BYTE*>(std::malloc(planeSize));
        if (m_alpha)
            std::memcpy(m_alpha, source.m_alpha, planeSize);
    }
    return true;
}

void CImageObj::BorrowOrTake(const CImageObj& source)
{
    m_head = source.m_head;
    m_info = source.m_info;
    m_dib = source.m_dib;
    m_selection = source.m_selection;
    m_alpha = source.m_alpha;
    m_layers = source.m_layers;
}

bool CImageObj::Transfer(CImageObj& source)
{
    if (&source == this)
        return true;
    // A ghost's buffers belong to another image: taking them would free them twice.
    if (source.m_info.ghostOwner)
        return false;
    if (!Destroy())
        return false;
    BorrowOrTake(source);
    m_info.ghostOwner = nullptr;
    source.m_dib = nullptr;
    source.m_selection = nullptr;
    source.m_alpha = nullptr;
    source.m_layers = nullptr;
    std::memset(&source.m_head, 0, sizeof source.m_head);
    std::memset(&source.m_info, 0, sizeof source.m_info);
    return true;
}

void CImageObj::Ghost(const CImageObj* source)
{
    if (!source || source == this)
        return;
    Destroy(); // frees what this image owned; a ghost owns nothing
    BorrowOrTake(*source);
    // A ghost of a ghost borrows from the real owner.
    m_info.ghostOwner = source->m_info.ghostOwner ? source->m_info.ghostOwner : const_cast<CImageObj*>(source);
}

void CImageObj::SetXDPI(LONG dpi)
{
    if (dpi < 1)
        dpi = 96;
    m_info.xDpi = dpi;
    m_head.biXPelsPerMeter = static_cast<LONG>(std::floor(dpi * 39.37007874015748 + 0.5));
}

void CImageObj::SetYDPI(LONG dpi)
{
    if (dpi < 1)
        dpi = 96;
    m_info.yDpi = dpi;
    m_head.biYPelsPerMeter = static_cast<LONG>(std::floor(dpi * 39.37007874015748 + 0.5));
}

DWORD CImageObj::GetCodecOption(DWORD imageType) const
{
    if (imageType == IMAGE_TYPE_ANY)
        imageType = m_info.type;
    return imageType < IMAGE_TYPE_COUNT ? m_info.codecOptions[imageType] : 0;
}

void CImageObj::SetCodecOption(DWORD option, DWORD imageType)
{
    if (imageType == IMAGE_TYPE_ANY)
        imageType = m_info.type;
    if (imageType < IMAGE_TYPE_COUNT)
        m_info.codecOptions[imageType] = option;
}

RGBQUAD CImageObj::GetTransColor() const
{
    if (m_head.biBitCount < 24 && m_info.transIndex >= 0)
        return GetPaletteColor(static_cast<BYTE>(m_info.transIndex));
    return m_info.transColor;
}

void CImageObj::SetTransColor(RGBQUAD color)
{
    color.rgbReserved = 0;
    m_info.transColor = color;
}

BYTE* CImageObj::GetBits(DWORD row) const
{
    if (!BlockExists())
        return nullptr;
    if (row == 0)
        return m_info.pixels;
    if (row >= GetHeight())
        return nullptr;
    return m_info.pixels + static_cast<size_t>(row) * m_info.effWidth;
}

bool CImageObj::IsInside(LONG x, LONG y) const
{
    return x >= 0 && y >= 0 && x < m_head.biWidth && y < m_head.biHeight;
}

void CImageObj::Clear(BYTE value)
{
    if (!BlockExists())
        return;
    if (m_head.biBitCount == 1 && value)
        value = 255;
    else if (m_head.biBitCount == 4)
        value = static_cast<BYTE>((value & 15) * 17);
    std::memset(m_info.pixels, value, m_head.biSizeImage);
}

RGBQUAD* CImageObj::GetPalette() const
{
    if (m_dib && m_head.biClrUsed)
        return reinterpret_cast<RGBQUAD*>(m_dib + sizeof(BITMAPINFOHEADER));
    return nullptr;
}

RGBQUAD CImageObj::GetPaletteColor(BYTE index) const
{
    RGBQUAD color{0, 0, 0, 0};
    RGBQUAD* palette = GetPalette();
    if (palette && index < m_head.biClrUsed)
        color = palette[index];
    return color;
}

void CImageObj::SetPaletteColor(BYTE index, RGBQUAD color)
{
    RGBQUAD* palette = GetPalette();
    if (palette && index < m_head.biClrUsed) {
        palette[index] = color;
        InvalidateNearest();
    }
}

void CImageObj::SetPalette(const RGBQUAD* entries, DWORD count)
{
    RGBQUAD* palette = GetPalette();
    if (!palette || !entries)
        return;
    if (count > m_head.biClrUsed)
        count = m_head.biClrUsed;
    std::memmove(palette, entries, count * sizeof(RGBQUAD));
    InvalidateNearest();
}

void CImageObj::SetPalette(DWORD count, const BYTE* red, const BYTE* green, const BYTE* blue)
{
    RGBQUAD* palette = GetPalette();
    if (!palette || !red)
        return;
    if (!green)
        green = red;
    if (!blue)
        blue = green;
    if (count > m_head.biClrUsed)
        count = m_head.biClrUsed;
    for (DWORD i = 0; i < count; ++i) {
        palette[i].rgbRed = red[i];
        palette[i].rgbGreen = green[i];
        palette[i].rgbBlue = blue[i];
        palette[i].rgbReserved = 0;
    }
    InvalidateNearest();
}

void CImageObj::SetGrayPalette()
{
    RGBQUAD* palette = GetPalette();
    if (!palette)
        return;
    DWORD colors = m_head.biClrUsed;
    DWORD step = colors > 1 ? 255 / (colors - 1) : 0;
    for (DWORD i = 0; i < colors; ++i) {
        BYTE v = static_cast<BYTE>(step * i);
        palette[i] = RGBQUAD{v, v, v, 0};
    }
    InvalidateNearest();
}

bool CImageObj::IsGrayScale() const
{
    RGBQUAD* palette = GetPalette();
    if (!palette)
        return false;
    for (DWORD i = 0; i < m_head.biClrUsed; ++i) {
        if (palette[i].rgbBlue != i || palette[i].rgbGreen != i || palette[i].rgbRed != i)
            return false;
    }
    return true;
}

void CImageObj::RGBtoBGR(BYTE* bytes, DWORD length) const
{
    if (!bytes || m_head.biClrUsed != 0)
        return;
    if (length > m_info.effWidth)
        length = m_info.effWidth;
    for (DWORD i = 0; i + 2 < length; i += 3) {
        BYTE t = bytes[i];
        bytes[i] = bytes[i + 2];
        bytes[i + 2] = t;
    }
}

BYTE CImageObj::GetPixelIndex(LONG x, LONG y) const
{
    if (!BlockExists() || m_head.biClrUsed == 0)
        return 0;
    if (!IsInside(x, y)) {
        if (m_info.transIndex >= 0)
            return static_cast<BYTE>(m_info.transIndex);
        return *m_info.pixels;
    }
    const BYTE* row = m_info.pixels + static_cast<size_t>(y) * m_info.effWidth;
    switch (m_head.biBitCount) {
    case 8:
        return row[x];
    case 4: {
        BYTE b = row[x >> 1];
        return (x & 1) ? (b & 0x0F) : (b >> 4);
    }
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    default:
        return 0;
    }
}

void CImageObj::SetPixelIndex(LONG x, LONG y, BYTE index)
{
    if (!BlockExists() || m_head.biClrUsed == 0 || !IsInside(x, y))
        return;
    BYTE* row = m_info.pixels + static_cast<size_t>(y) * m_info.effWidth;
    switch (m_head.biBitCount) {
    case 8:
        row[x] = index;
        break;
    case 4: {
        BYTE& b = row[x >> 1];
        if (x & 1)
            b = static_cast<BYTE>((b & 0xF0) | (index & 0x0F));
        else
            b = static_cast<BYTE>((b & 0x0F) | ((index & 0x0F) << 4));
        break;
    }
    case 1: {
        BYTE& b = row[x >> 3];
        BYTE mask = static_cast<BYTE>(0x80 >> (x & 7));
        b = (index & 1) ? (b | mask) : (b & ~mask);
        break;
    }
    default:
        break;
    }
}

RGBQUAD CImageObj::GetPixelColor(LONG x, LONG y) const
{
    RGBQUAD color = m_info.transColor;
    if (!BlockExists() || !IsInside(x, y)) {
        if (m_info.transIndex >= 0) {
            if (m_head.biBitCount < 24)
                color = GetPaletteColor(static_cast<BYTE>(m_info.transIndex));
            else
                color = m_info.transColor;
        } else if (BlockExists()) {
            return GetPixelColor(0, 0);
        }
        color.rgbReserved = 0;
        return color;
    }
    if (m_head.biClrUsed) {
        color = GetPaletteColor(GetPixelIndex(x, y));
    } else {
        const BYTE* p = m_info.pixels + static_cast<size_t>(y) * m_info.effWidth + static_cast<size_t>(x) * 3;
        color.rgbBlue = p[0];
        color.rgbGreen = p[1];
        color.rgbRed = p[2];
    }
    color.rgbReserved = 0;
    return color;
}

void CImageObj::SetPixelColor(LONG x, LONG y, RGBQUAD color)
{
    if (!BlockExists() || !IsInside(x, y))
        return;
    if (m_head.biClrUsed) {
        SetPixelIndex(x, y, GetNearestIndex(color));
    } else {
        BYTE* p = m_info.pixels + static_cast<size_t>(y) * m_info.effWidth + static_cast<size_t>(x) * 3;
        p[0] = color.rgbBlue;
        p[1] = color.rgbGreen;
        p[2] = color.rgbRed;
    }
}

void CImageObj::SetPixelColor(LONG x, LONG y, COLORREF color)
{
    SetPixelColor(x, y, RGBQUAD{GetBValue(color), GetGValue(color), GetRValue(color), 0});
}

static DWORD PackColor(RGBQUAD c)
{
    return static_cast<DWORD>(c.rgbBlue) | (static_cast<DWORD>(c.rgbGreen) << 8) |
           (static_cast<DWORD>(c.rgbRed) << 16) | (static_cast<DWORD>(c.rgbReserved) << 24);
}

BYTE CImageObj::GetNearestIndex(RGBQUAD color)
{
    RGBQUAD* palette = GetPalette();
    if (!BlockExists() || !palette)
        return 0;
    if (m_info.nearestValid && PackColor(m_info.nearestColor) == PackColor(color))
        return m_info.nearestIndex;
    m_info.nearestColor = color;
    m_info.nearestValid = 1;

    DWORD m = m_head.biClrImportant ? m_head.biClrImportant : m_head.biClrUsed;
    if (m > m_head.biClrUsed)
        m = m_head.biClrUsed;
    long best = 200000;
    DWORD bestIndex = 0;
    for (DWORD i = 0; i < m; ++i) {
        long db = static_cast<long>(palette[i].rgbBlue) - color.rgbBlue;
        long dg = static_cast<long>(palette[i].rgbGreen) - color.rgbGreen;
        long dr = static_cast<long>(palette[i].rgbRed) - color.rgbRed;
        long d = db * db + dg * dg + dr * dr;
        if (d == 0) {
            bestIndex = i;
            break;
        }
        if (d < best) {
            best = d;
            bestIndex = i;
        }
    }
    m_info.nearestIndex = static_cast<BYTE>(bestIndex);
    return m_info.nearestIndex;
}

// ---------------------------------------------------------------------------

CImageIterator::CImageIterator(CImageObj* image) : m_image(image)
{
    if (image)
        m_row = image->GetBits(0);
}

void CImageIterator::Upset()
{
    m_x = 0;
    m_y = 0;
    m_row = nullptr;
    if (!m_image || m_image->GetHeight() == 0)
        return;
    m_y = static_cast<LONG>(m_image->GetHeight()) - 1;
    m_row = m_image->GetBits(static_cast<DWORD>(m_y));
}

void CImageIterator::SetY(LONG y)
{
    // Row "height" would address one row past the buffer.
    if (!m_image || y < 0 || static_cast<DWORD>(y) >= m_image->GetHeight())
        return;
    m_y = y;
    m_row = m_image->GetBits(static_cast<DWORD>(y));
}

void CImageIterator::SetRow(const BYTE* bytes, LONG n)
{
    if (!m_image)
        return;
    LONG eff = static_cast<LONG>(m_image->GetEffWidth());
    if (n < 0 || n >= eff)
        n = eff;
    if (bytes && m_row && n > 0)
        std::memcpy(m_row, bytes, static_cast<size_t>(n));
}

void CImageIterator::GetRow(BYTE* bytes, LONG n) const
{
    if (!m_image)
        return;
    LONG eff = static_cast<LONG>(m_image->GetEffWidth());
    if (n < 0 || n >= eff)
        n = eff;
    if (bytes && m_row && n > 0)
        std::memcpy(bytes, m_row, static_cast<size_t>(n));
}

bool CImageIterator::PrevRow()
{
    if (--m_y < 0)
        return false;
    if (m_row)
        m_row -= m_image->GetEffWidth();
    return true;
}

bool CImageIterator::ItOK() const
{
    return m_image && m_image->IsInside(m_x, m_y);
}
