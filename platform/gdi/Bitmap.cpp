#include "platform/gdi/Bitmap.h"

#include "platform/gdi/Gdi.h"

#include <cstring>
#include <new>

namespace tavrin {

std::shared_ptr<Bitmap> Bitmap::CreateDevice(int width, int height, int bpp)
{
    if (bpp != 1 && bpp != 32)
        return nullptr;
    auto surface = Surface::Create(width, height);
    if (!surface)
        return nullptr;
    std::shared_ptr<Bitmap> b(new Bitmap);
    b->m_surface = std::move(surface);
    b->m_bpp = bpp;
    return b;
}

std::shared_ptr<Bitmap> Bitmap::CreateDibSection(const BITMAPINFO* info, UINT usage, void** bits)
{
    if (bits)
        *bits = nullptr;
    DibLayout layout;
    if (!ParseDibInfo(info, usage, layout))
        return nullptr;
    std::shared_ptr<Bitmap> b(new Bitmap);
    b->m_bits.reset(new (std::nothrow) uint8_t[layout.ImageSize()]());
    if (!b->m_bits)
        return nullptr;
    b->m_dib = true;
    b->m_bpp = layout.bitsPerPixel;
    b->m_direct = layout.bitsPerPixel == 32 && layout.compression == BI_RGB;
    if (b->m_direct) {
        uint8_t* top = layout.topDown ? b->m_bits.get() : b->m_bits.get() + layout.stride * size_t(layout.height - 1);
        ptrdiff_t pitch = layout.topDown ? ptrdiff_t(layout.stride) : -ptrdiff_t(layout.stride);
        b->m_surface = Surface::Wrap(top, layout.width, layout.height, pitch);
    } else {
        b->m_surface = Surface::Create(layout.width, layout.height);
    }
    if (!b->m_surface)
        return nullptr;
    b->m_layout = std::move(layout);
    if (!b->m_direct) {
        b->m_shadow.reset(new (std::nothrow) uint8_t[b->m_layout.ImageSize()]);
        if (!b->m_shadow)
            return nullptr;
        b->LoadFromBits();
    }
    if (bits)
        *bits = b->m_bits.get();
    return b;
}

Surface* Bitmap::Pixels()
{
    // The caller may write to a section's bits at any time between calls.
    if (Converted() && m_drawing == 0 && std::memcmp(m_bits.get(), m_shadow.get(), m_layout.ImageSize()) != 0)
        LoadFromBits();
    return m_surface.get();
}

void Bitmap::LoadFromBits()
{
    for (int y = 0; y < m_layout.height; ++y)
        DecodeDibRow(m_layout, m_bits.get() + m_layout.stride * size_t(m_layout.StorageRow(y)),
                     m_surface->Scanline(y));
    std::memcpy(m_shadow.get(), m_bits.get(), m_layout.ImageSize());
}

void Bitmap::WriteToBits()
{
    for (int y = 0; y < m_layout.height; ++y)
        EncodeDibRow(m_layout, m_surface->Scanline(y),
                     m_bits.get() + m_layout.stride * size_t(m_layout.StorageRow(y)));
}

void Bitmap::EndDraw()
{
    if (m_drawing > 0 && --m_drawing == 0 && Converted()) {
        WriteToBits();
        // Read back what the format kept (palette indices, 5-bit channels, no
        // alpha), so the next call draws on what the bits hold.
        LoadFromBits();
    }
}

int Bitmap::Describe(int size, void* out) const
{
    BITMAP bm{};
    bm.bmWidth = m_surface->Width();
    bm.bmHeight = m_surface->Height();
    bm.bmPlanes = 1;
    bm.bmBitsPixel = WORD(m_bpp);
    if (m_dib) {
        bm.bmWidthBytes = LONG(m_layout.stride);
        bm.bmBits = m_bits.get();
    } else {
        bm.bmWidthBytes = m_bpp == 1 ? ((bm.bmWidth + 15) / 16) * 2 : bm.bmWidth * 4;
    }
    if (m_dib && size >= int(sizeof(DIBSECTION))) {
        if (!out)
            return int(sizeof(DIBSECTION));
        DIBSECTION ds{};
        ds.dsBm = bm;
        ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
        ds.dsBmih.biWidth = m_layout.width;
        ds.dsBmih.biHeight = m_layout.topDown ? -m_layout.height : m_layout.height;
        ds.dsBmih.biPlanes = 1;
        ds.dsBmih.biBitCount = WORD(m_bpp);
        ds.dsBmih.biCompression = m_layout.compression;
        ds.dsBmih.biSizeImage = DWORD(m_layout.ImageSize());
        ds.dsBmih.biClrUsed = DWORD(m_layout.colors.size());
        std::memcpy(ds.dsBitfields, m_layout.masks, sizeof ds.dsBitfields);
        std::memcpy(out, &ds, sizeof ds);
        return int(sizeof(DIBSECTION));
    }
    if (!out)
        return int(sizeof(BITMAP));
    if (size < int(sizeof(BITMAP)))
        return 0;
    std::memcpy(out, &bm, sizeof bm);
    return int(sizeof(BITMAP));
}

std::shared_ptr<Bitmap> DefaultBitmap()
{
    static std::shared_ptr<Bitmap> stock = [] {
        auto b = Bitmap::CreateDevice(1, 1, 1);
        b->MarkStock();
        GdiHandles::Insert(b);
        return b;
    }();
    return stock;
}

} // namespace tavrin

using tavrin::Bitmap;

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bpp, const void* bits)
{
    if (planes != 1 || (bpp != 1 && bpp != 32 && bpp != 24 && bpp != 16 && bpp != 8 && bpp != 4))
        return nullptr;
    if (width == 0 || height == 0)
        return static_cast<HBITMAP>(tavrin::DefaultBitmap()->Handle());
    auto b = Bitmap::CreateDevice(width, height, bpp == 1 ? 1 : 32);
    if (!b)
        return nullptr;
    if (bits) {
        // Device-bitmap rows are padded to 16 bits; depths below 32 other than 1
        // are read as DIB rows of the same depth with the default table.
        tavrin::DibLayout d;
        d.width = width;
        d.height = height;
        d.topDown = true;
        d.bitsPerPixel = int(bpp);
        d.stride = ((size_t(width) * bpp + 15) / 16) * 2;
        d.colors = tavrin::DefaultColorTable(int(bpp));
        if (bpp == 16) { d.masks[0] = 0x7C00; d.masks[1] = 0x03E0; d.masks[2] = 0x001F; }
        if (bpp == 32) { d.masks[0] = 0xFF0000; d.masks[1] = 0xFF00; d.masks[2] = 0xFF; }
        const uint8_t* p = static_cast<const uint8_t*>(bits);
        for (int y = 0; y < height; ++y)
            tavrin::DecodeDibRow(d, p + d.stride * size_t(y), b->Pixels()->Scanline(y));
    }
    return tavrin::Register<HBITMAP>(b);
}

HBITMAP CreateBitmapIndirect(const BITMAP* bm)
{
    return bm ? CreateBitmap(bm->bmWidth, bm->bmHeight, bm->bmPlanes, bm->bmBitsPixel, bm->bmBits) : nullptr;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD)
{
    if (section)
        return nullptr; // file-mapping sections are not used
    return tavrin::Register<HBITMAP>(Bitmap::CreateDibSection(info, usage, bits));
}

LONG GetBitmapBits(HBITMAP bitmap, LONG size, LPVOID bits)
{
    auto b = tavrin::GdiHandles::Get<Bitmap>(bitmap);
    if (!b)
        return 0;
    const tavrin::Surface* s = b->Pixels();
    LONG rowBytes = b->IsMonochrome() ? ((s->Width() + 15) / 16) * 2 : s->Width() * 4;
    LONG total = rowBytes * s->Height();
    if (!bits)
        return total;
    LONG n = size < total ? size : total;
    auto* out = static_cast<uint8_t*>(bits);
    for (LONG i = 0; i < n; ++i) {
        int y = int(i / rowBytes), off = int(i % rowBytes);
        if (b->IsMonochrome()) {
            uint8_t v = 0;
            for (int k = 0; k < 8; ++k) {
                int x = off * 8 + k;
                if (x < s->Width() && (s->GetPixel(x, y) & 0xFFFFFF))
                    v |= uint8_t(0x80 >> k);
            }
            out[i] = v;
        } else {
            uint32_t p = s->GetPixel(off / 4, y);
            out[i] = uint8_t(p >> (8 * (off % 4)));
        }
    }
    return n;
}

BOOL GetBitmapDimensionEx(HBITMAP bitmap, LPSIZE size)
{
    if (!tavrin::GdiHandles::Get<Bitmap>(bitmap) || !size)
        return FALSE;
    *size = SIZE{0, 0};
    return TRUE;
}
