// Icons, image lists, edges, focus rectangles, DrawState and object handles.
#include "GdiTestSurface.h"

#include "platform/gdi/GdiSystemColors.h"
#include "platform/gdi/ImageList.h"
#include "platform/gdi/Surface.h"

#include <gtest/gtest.h>

namespace {

// A 2x1 colour bitmap: red, magenta (the key colour).
HBITMAP MakeStrip(int images)
{
    HBITMAP bm = CreateBitmap(2 * images, 1, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bm);
    for (int i = 0; i < images; ++i) {
        SetPixel(dc, 2 * i, 0, RGB(255, 0, 0 + i));
        SetPixel(dc, 2 * i + 1, 0, RGB(255, 0, 255));
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return bm;
}

} // namespace

TEST(Icon, MaskAndColourDrawing)
{
    HBITMAP colour = MakeStrip(1);
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask);
    SetPixel(dc, 1, 0, RGB(255, 255, 255)); // pixel 1 transparent
    SelectObject(dc, old);
    DeleteDC(dc);
    // The masked pixel of the colour image must be black for the XOR to leave
    // the background alone.
    HDC cdc = CreateCompatibleDC(nullptr);
    old = SelectObject(cdc, colour);
    SetPixel(cdc, 1, 0, RGB(0, 0, 0));
    SelectObject(cdc, old);
    DeleteDC(cdc);
    ICONINFO ii{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&ii);
    ASSERT_NE(icon, nullptr);
    DeleteObject(colour); // the icon keeps copies
    DeleteObject(mask);
    TestSurface s(4, 2, RGB(0, 0, 255));
    EXPECT_TRUE(DrawIconEx(s.Dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(s.Pixel(0, 0), 0xFF0000u);
    EXPECT_EQ(s.Pixel(1, 0), 0x0000FFu) << "transparent pixel keeps the background";
    EXPECT_TRUE(DrawIconEx(s.Dc(), 0, 1, icon, 4, 1, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(s.Rows(0xFF0000), "#...\n##..\n") << "stretched to 4 pixels";
    ICONINFO back{};
    ASSERT_TRUE(GetIconInfo(icon, &back));
    BITMAP bm{};
    GetObject(back.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 2);
    DeleteObject(back.hbmColor);
    DeleteObject(back.hbmMask);
    HICON copy = CopyIcon(icon);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_TRUE(DrawIcon(s.Dc(), 0, 0, copy));
    EXPECT_FALSE(DeleteObject(copy)) << "icons are destroyed, not deleted";
    EXPECT_TRUE(DestroyIcon(copy));
}

TEST(ImageList, MaskedByColourDrawnTransparentBlendedAndAsIcon)
{
    HIMAGELIST list = ImageList_Create(2, 1, ILC_COLOR24 | ILC_MASK, 0, 1);
    HBITMAP strip = MakeStrip(3);
    EXPECT_EQ(ImageList_AddMasked(list, strip, RGB(255, 0, 255)), 0);
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    TestSurface s(2, 1, RGB(0, 255, 0));
    EXPECT_TRUE(ImageList_Draw(list, 1, s.Dc(), 0, 0, ILD_TRANSPARENT));
    EXPECT_EQ(s.Pixel(0, 0), 0xFF0001u);
    EXPECT_EQ(s.Pixel(1, 0), 0x00FF00u);
    // With a background colour the masked pixels take it.
    ImageList_SetBkColor(list, RGB(1, 2, 3));
    ImageList_Draw(list, 0, s.Dc(), 0, 0, ILD_NORMAL);
    EXPECT_EQ(s.Pixel(1, 0), 0x010203u);
    // Blended half with the highlight colour.
    ImageList_Draw(list, 0, s.Dc(), 0, 0, ILD_TRANSPARENT | ILD_BLEND50);
    uint32_t hi = tavrin::PixelFromColor(tavrin::GdiSysColor(tavrin::syscolor::kHighlight));
    uint32_t r = ((0xFF * 127 + ((hi >> 16) & 0xFF) * 128 + 127) / 255);
    EXPECT_EQ(s.Pixel(0, 0) >> 16, r);
    // Extracting an icon keeps the mask.
    HICON icon = ImageList_GetIcon(list, 2, ILD_NORMAL);
    ASSERT_NE(icon, nullptr);
    TestSurface t(2, 1, RGB(0, 0, 0));
    DrawIconEx(t.Dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(t.Pixel(0, 0), 0xFF0002u);
    EXPECT_EQ(t.Pixel(1, 0), 0u);
    // Round trip through ImageList_ReplaceIcon.
    EXPECT_EQ(ImageList_ReplaceIcon(list, -1, icon), 3);
    IMAGEINFO info{};
    ASSERT_TRUE(ImageList_GetImageInfo(list, 3, &info));
    EXPECT_EQ(info.rcImage.left, 6);
    EXPECT_NE(info.hbmMask, nullptr);
    DestroyIcon(icon);
    EXPECT_FALSE(ImageList_Draw(list, 9, s.Dc(), 0, 0, ILD_NORMAL));
    EXPECT_TRUE(ImageList_Remove(list, 0));
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    EXPECT_TRUE(ImageList_Destroy(list));
    DeleteObject(strip);
}

TEST(Edge, RaisedAndSunkenColours)
{
    using namespace tavrin::syscolor;
    auto px = [](int index) { return tavrin::PixelFromColor(tavrin::GdiSysColor(index)); };
    TestSurface s(6, 6, RGB(1, 1, 1));
    RECT r{0, 0, 6, 6};
    EXPECT_TRUE(DrawEdge(s.Dc(), &r, EDGE_RAISED, BF_RECT | BF_ADJUST | BF_MIDDLE));
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.right, 4);
    EXPECT_EQ(s.Pixel(0, 0), px(kLight));
    EXPECT_EQ(s.Pixel(5, 5), px(kDarkShadow));
    EXPECT_EQ(s.Pixel(0, 5), px(kDarkShadow)) << "bottom edge spans the full width";
    EXPECT_EQ(s.Pixel(1, 1), px(kHilight));
    EXPECT_EQ(s.Pixel(4, 4), px(kShadow));
    EXPECT_EQ(s.Pixel(2, 2), px(kFace));
    RECT q{0, 0, 6, 6};
    DrawEdge(s.Dc(), &q, BDR_SUNKENOUTER, BF_RECT);
    EXPECT_EQ(s.Pixel(0, 0), px(kShadow));
    EXPECT_EQ(s.Pixel(5, 5), px(kHilight));
}

TEST(Edge, FocusRectTwiceRestores)
{
    TestSurface s(5, 4, RGB(10, 20, 30));
    RECT r{0, 0, 5, 4};
    EXPECT_TRUE(DrawFocusRect(s.Dc(), &r));
    EXPECT_EQ(s.Rows(0xF5EBE1), "#.#.#\n.....\n#...#\n.#.#.\n");
    DrawFocusRect(s.Dc(), &r);
    EXPECT_EQ(s.Count(0x0A141E), 20);
}

TEST(Edge, DrawStateMonoAndDisabled)
{
    // A one-colour silhouette of a text in the brush's colour.
    TestSurface s(40, 20);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    EXPECT_TRUE(DrawState(s.Dc(), blue, nullptr, reinterpret_cast<LPARAM>("&Go"), 0, 2, 2, 0, 0, DST_PREFIXTEXT | DSS_MONO));
    EXPECT_GT(s.Count(0x0000FF), 5);
    EXPECT_EQ(s.Count(0x0000FF) + s.Count(0xFFFFFF), 800) << "one colour only";
    s.Fill(RGB(255, 255, 255));
    DrawState(s.Dc(), nullptr, nullptr, reinterpret_cast<LPARAM>("Go"), 0, 2, 2, 0, 0, DST_TEXT | DSS_DISABLED);
    uint32_t shadow = tavrin::PixelFromColor(tavrin::GdiSysColor(tavrin::syscolor::kShadow));
    EXPECT_GT(s.Count(shadow), 5);
    DeleteObject(blue);
    EXPECT_FALSE(DrawState(s.Dc(), nullptr, nullptr, 0, 0, 0, 0, 4, 4, DST_COMPLEX));
}

TEST(Objects, SelectDeleteAndGetObject)
{
    TestSurface s(2, 2);
    HPEN pen = CreatePen(PS_DASH, 1, RGB(1, 2, 3));
    LOGPEN lp{};
    EXPECT_EQ(GetObject(pen, sizeof lp, &lp), int(sizeof lp));
    EXPECT_EQ(lp.lopnStyle, UINT(PS_DASH));
    EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
    EXPECT_EQ(GetObjectType(pen), DWORD(OBJ_PEN));
    HGDIOBJ old = SelectObject(s.Dc(), pen);
    EXPECT_EQ(old, GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(s.Dc(), OBJ_PEN), pen);
    // Deleting a selected pen retires the handle; the DC keeps drawing with it.
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(GetObjectType(pen), 0u);
    MoveToEx(s.Dc(), 0, 0, nullptr);
    EXPECT_TRUE(LineTo(s.Dc(), 2, 0));
    EXPECT_EQ(s.Pixel(0, 0), 0x010203u);
    EXPECT_EQ(SelectObject(s.Dc(), old), pen) << "the retired handle, for comparison only";
    EXPECT_EQ(SelectObject(s.Dc(), pen), nullptr) << "a retired handle selects nothing";
    // Stock objects survive DeleteObject.
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), DWORD(OBJ_BRUSH));
    // A bitmap goes into one memory DC at a time.
    HBITMAP bm = CreateCompatibleBitmap(s.Dc(), 3, 3);
    HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
    EXPECT_NE(SelectObject(a, bm), nullptr);
    EXPECT_EQ(SelectObject(b, bm), nullptr);
    EXPECT_EQ(GetObjectType(a), DWORD(OBJ_MEMDC));
    DeleteDC(a);
    EXPECT_NE(SelectObject(b, bm), nullptr) << "free again once its DC is gone";
    DeleteDC(b);
    DeleteObject(bm);
    EXPECT_EQ(SelectObject(nullptr, GetStockObject(BLACK_PEN)), nullptr);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(0x12345)), 0u);
}
