#include "platform/gdi/ImageList.h"

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiSystemColors.h"
#include "platform/gdi/Icon.h"
#include "platform/gdi/Painter.h"

#include <cstring>

namespace tavrin {

class ImageList final : public GdiObject {
public:
    ImageList(int cx, int cy, UINT flags) : m_cx(cx), m_cy(cy), m_flags(flags) {}
    int Type() const override { return kObjImageList; }

    struct Image {
        std::unique_ptr<Surface> pixels;
        std::vector<uint8_t> mask; // 1 = transparent
        bool alpha = false;
    };

    int m_cx, m_cy;
    UINT m_flags;
    COLORREF m_bk = CLR_NONE;
    std::vector<Image> m_images;
    HBITMAP m_infoImage = nullptr, m_infoMask = nullptr;

    bool Masked() const { return (m_flags & ILC_MASK) != 0; }
    ~ImageList() override { DropInfo(); }
    void DropInfo()
    {
        if (m_infoImage) DeleteObject(m_infoImage);
        if (m_infoMask) DeleteObject(m_infoMask);
        m_infoImage = m_infoMask = nullptr;
    }

    // Splits a strip into images; isMasked(x, y) gives transparency.
    template <typename F>
    int AddStrip(const Surface& strip, F isMasked, bool blackenMasked)
    {
        int n = strip.Width() / m_cx;
        if (n < 1 || strip.Height() < m_cy)
            return -1;
        int first = int(m_images.size());
        for (int k = 0; k < n; ++k) {
            Image img;
            img.pixels = Surface::Create(m_cx, m_cy);
            if (!img.pixels)
                return -1;
            img.mask.assign(size_t(m_cx) * size_t(m_cy), 0);
            for (int y = 0; y < m_cy; ++y)
                for (int x = 0; x < m_cx; ++x) {
                    uint32_t p = strip.GetPixel(k * m_cx + x, y);
                    if ((m_flags & 0xFE) != ILC_COLOR32)
                        p &= 0x00FFFFFFu;
                    bool masked = Masked() && isMasked(k * m_cx + x, y);
                    img.mask[size_t(y * m_cx + x)] = masked;
                    if (masked && blackenMasked)
                        p = 0;
                    img.alpha |= (p >> 24) != 0;
                    img.pixels->SetPixel(x, y, p);
                }
            m_images.push_back(std::move(img));
        }
        DropInfo();
        return first;
    }

    void Draw(DeviceContext& dc, const Image& img, int x, int y, int cx, int cy, COLORREF bk, COLORREF fg, UINT style)
    {
        Painter painter(dc);
        if (!painter.CanDraw())
            return;
        cx = cx ? std::min(cx, m_cx) : m_cx;
        cy = cy ? std::min(cy, m_cy) : m_cy;
        if (bk == CLR_DEFAULT)
            bk = m_bk;
        bool transparent = (style & ILD_TRANSPARENT) || bk == CLR_NONE || !Masked();
        if (!Masked())
            transparent = false;
        int blend = (style & ILD_BLEND50) ? 128 : (style & ILD_BLEND25) ? 64 : 0;
        uint32_t blendColor = PixelFromColor(fg == CLR_DEFAULT || fg == CLR_NONE ? GdiSysColor(syscolor::kHighlight) : fg);
        uint32_t back = PixelFromColor(bk);
        for (int yy = 0; yy < cy; ++yy)
            for (int xx = 0; xx < cx; ++xx) {
                POINT p = dc.ToSurface(x + xx, y + yy);
                if (!painter.Clip().Contains(p.x, p.y))
                    continue;
                uint32_t& d = painter.Target().Scanline(p.y)[p.x];
                bool masked = img.mask[size_t(yy * m_cx + xx)] != 0;
                if (style & ILD_MASK) {
                    d = masked ? 0x00FFFFFFu : 0u;
                    continue;
                }
                if (masked) {
                    if (!transparent)
                        d = back;
                    continue;
                }
                uint32_t s = img.pixels->GetPixel(xx, yy);
                uint32_t out = s & 0x00FFFFFFu;
                if (img.alpha) {
                    uint32_t a = s >> 24;
                    out = 0;
                    for (int shift = 0; shift < 24; shift += 8)
                        out |= ((((s >> shift) & 0xFF) * a + ((d >> shift) & 0xFF) * (255 - a) + 127) / 255) << shift;
                }
                if (blend) {
                    uint32_t mixed = 0;
                    for (int shift = 0; shift < 24; shift += 8)
                        mixed |= ((((out >> shift) & 0xFF) * (255 - blend) + ((blendColor >> shift) & 0xFF) * blend + 127) / 255) << shift;
                    out = mixed;
                }
                d = dc.IsMonochrome() ? ToMonoPixel(out) : out;
            }
    }
};

} // namespace tavrin

using namespace tavrin;

namespace {

std::shared_ptr<ImageList> ListFromHandle(HIMAGELIST h) { return GdiHandles::Get<ImageList>(h); }

} // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int, int)
{
    if (cx <= 0 || cy <= 0 || cx > Surface::kMaxSide || cy > Surface::kMaxSide)
        return nullptr;
    return Register<HIMAGELIST>(std::make_shared<ImageList>(cx, cy, flags));
}

BOOL ImageList_Destroy(HIMAGELIST list)
{
    return ListFromHandle(list) && GdiHandles::Remove(list) ? TRUE : FALSE;
}

int ImageList_GetImageCount(HIMAGELIST list)
{
    auto l = ListFromHandle(list);
    return l ? int(l->m_images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy)
{
    auto l = ListFromHandle(list);
    if (!l || !cx || !cy)
        return FALSE;
    *cx = l->m_cx;
    *cy = l->m_cy;
    return TRUE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask)
{
    auto l = ListFromHandle(list);
    auto bm = GdiHandles::Get<Bitmap>(image);
    if (!l || !bm)
        return -1;
    auto mk = GdiHandles::Get<Bitmap>(mask);
    const Surface* m = mk ? mk->Pixels() : nullptr;
    return l->AddStrip(*bm->Pixels(), [&](int x, int y) {
        return m && x < m->Width() && y < m->Height() && (m->GetPixel(x, y) & 0x00FFFFFFu) != 0;
    }, false);
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor)
{
    auto l = ListFromHandle(list);
    auto bm = GdiHandles::Get<Bitmap>(image);
    if (!l || !bm)
        return -1;
    const Surface& s = *bm->Pixels();
    uint32_t key = PixelFromColor(maskColor & 0x00FFFFFF);
    return l->AddStrip(s, [&](int x, int y) { return (s.GetPixel(x, y) & 0x00FFFFFFu) == key; }, true);
}

int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON handle)
{
    auto l = ListFromHandle(list);
    auto icon = IconFromHandle(handle);
    if (!l || !icon || index < -1 || index >= int(l->m_images.size()))
        return -1;
    // The icon is fitted to the list's size by nearest pixel.
    auto scaled = Surface::Create(l->m_cx, l->m_cy);
    if (!scaled)
        return -1;
    std::vector<uint8_t> mask(size_t(l->m_cx) * size_t(l->m_cy));
    for (int y = 0; y < l->m_cy; ++y)
        for (int x = 0; x < l->m_cx; ++x) {
            int sx = x * icon->Width() / l->m_cx, sy = y * icon->Height() / l->m_cy;
            scaled->SetPixel(x, y, icon->Colour().GetPixel(sx, sy));
            mask[size_t(y * l->m_cx + x)] = icon->Mask()[size_t(sy * icon->Width() + sx)];
        }
    bool iconAlpha = icon->HasAlpha();
    int at = l->AddStrip(*scaled, [&](int x, int y) {
        return iconAlpha ? (scaled->GetPixel(x, y) >> 24) == 0 : mask[size_t(y * l->m_cx + x)] != 0;
    }, false);
    if (at < 0 || index == -1)
        return at;
    std::swap(l->m_images[size_t(index)], l->m_images.back());
    l->m_images.pop_back();
    return index;
}

BOOL ImageList_Remove(HIMAGELIST list, int index)
{
    auto l = ListFromHandle(list);
    if (!l || index < -1 || index >= int(l->m_images.size()))
        return FALSE;
    if (index == -1)
        l->m_images.clear();
    else
        l->m_images.erase(l->m_images.begin() + index);
    l->DropInfo();
    return TRUE;
}

HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT)
{
    auto l = ListFromHandle(list);
    if (!l || index < 0 || index >= int(l->m_images.size()))
        return nullptr;
    const auto& img = l->m_images[size_t(index)];
    return Register<HICON>(Icon::FromPixels(*img.pixels, img.mask));
}

BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC hdc, int x, int y, int dx, int dy, COLORREF bk, COLORREF fg,
                      UINT style)
{
    auto l = ListFromHandle(list);
    auto dc = DcFromHandle(hdc);
    if (!l || !dc || index < 0 || index >= int(l->m_images.size()))
        return FALSE;
    l->Draw(*dc, l->m_images[size_t(index)], x, y, dx, dy, bk, fg, style);
    return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC hdc, int x, int y, UINT style)
{
    return ImageList_DrawEx(list, index, hdc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

BOOL ImageList_GetImageInfo(HIMAGELIST list, int index, IMAGEINFO* info)
{
    auto l = ListFromHandle(list);
    if (!l || !info || index < 0 || index >= int(l->m_images.size()))
        return FALSE;
    if (!l->m_infoImage) {
        // Strips of every image, kept until the list changes.
        int n = int(l->m_images.size());
        auto image = Bitmap::CreateDevice(l->m_cx * n, l->m_cy, 32);
        auto mask = Bitmap::CreateDevice(l->m_cx * n, l->m_cy, 1);
        if (!image || !mask)
            return FALSE;
        for (int k = 0; k < n; ++k)
            for (int y = 0; y < l->m_cy; ++y)
                for (int x = 0; x < l->m_cx; ++x) {
                    image->Pixels()->SetPixel(k * l->m_cx + x, y, l->m_images[size_t(k)].pixels->GetPixel(x, y));
                    mask->Pixels()->SetPixel(k * l->m_cx + x, y,
                                             l->m_images[size_t(k)].mask[size_t(y * l->m_cx + x)] ? 0x00FFFFFFu : 0u);
                }
        l->m_infoImage = Register<HBITMAP>(image);
        l->m_infoMask = l->Masked() ? Register<HBITMAP>(mask) : nullptr;
    }
    info->hbmImage = l->m_infoImage;
    info->hbmMask = l->m_infoMask;
    info->Unused1 = info->Unused2 = 0;
    info->rcImage = RECT{index * l->m_cx, 0, (index + 1) * l->m_cx, l->m_cy};
    return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color)
{
    auto l = ListFromHandle(list);
    if (!l)
        return CLR_NONE;
    COLORREF old = l->m_bk;
    l->m_bk = color;
    return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST list)
{
    auto l = ListFromHandle(list);
    return l ? l->m_bk : CLR_NONE;
}
