#include "toolkit/commandbars/XTPImageManager.h"

#include "tests/support/UserConfigScope.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/commandbars/XTPPropExchange.h"
#include "toolkit/controls/XTColorManager.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/mfc/Archive.h"
#include "platform/mfc/ImageList.h"
#include "platform/mfc/MemFile.h"
#include "platform/mfc/Resource.h"
#include "platform/mfc/Wnd.h"

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

using tavrin::test::Canvas;
using tavrin::test::ColorText;
using tavrin::test::TestResourceModule;

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255);

COLORREF StripColour(int i)
{
    return RGB(20 + i * 25, 100, 200 - i * 20);
}

// Eight 16 x 16 images; each image's top-left pixel is magenta.
COLORREF StripPixel(int x, int y)
{
    return x % 16 == 0 && y == 0 ? kMagenta : StripColour(x / 16);
}

// A 32-bit bitmap of one colour and alpha; the caller deletes it.
HBITMAP MakeAlpha(int size, COLORREF clr, BYTE alpha, BYTE** pBits = nullptr)
{
    BYTE* bits = nullptr;
    HBITMAP bitmap = XTPImageBits::Create32(size, size, &bits);
    for (int i = 0; i < size * size; ++i) {
        bits[i * 4] = GetBValue(clr);
        bits[i * 4 + 1] = GetGValue(clr);
        bits[i * 4 + 2] = GetRValue(clr);
        bits[i * 4 + 3] = alpha;
    }
    if (pBits)
        *pBits = bits;
    return bitmap;
}

// An icon of one colour with a transparent top-left pixel; the caller destroys it.
HICON MakeIcon(int size, COLORREF clr)
{
    BYTE* colourBits = nullptr;
    HBITMAP colour = MakeAlpha(size, clr, 0, &colourBits);
    std::vector<BYTE> maskBits(static_cast<size_t>((size + 15) / 16 * 2 * size), 0);
    maskBits[0] = 0x80; // (0, 0) transparent, and black as icons keep it
    colourBits[0] = colourBits[1] = colourBits[2] = 0;
    HBITMAP mask = CreateBitmap(size, size, 1, 1, maskBits.data());
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    return icon;
}

// The first pixel of an alpha record: RGB with alpha in the top byte.
DWORD AlphaPixel(const CXTPImageManagerIconHandle& handle, int index = 0)
{
    int cx = 0, cy = 0;
    std::vector<BYTE> bits;
    if (!XTPImageBits::Read32(handle.GetBitmap(), cx, cy, bits))
        return 0xDEADBEEF;
    const BYTE* p = &bits[static_cast<size_t>(index) * 4];
    return RGB(p[2], p[1], p[0]) | (DWORD(p[3]) << 24);
}

// The colour an icon record shows at (x, y) over white.
COLORREF IconPixel(CXTPImageManagerIcon* icon, CXTPImageManagerIconHandle& handle, int x, int y)
{
    Canvas canvas(64, 64);
    icon->Draw(canvas.DC(), CPoint(0, 0), handle);
    return canvas.At(x, y);
}

// A manager holding a 16-pixel icon under command 1 and an alpha image under 2.
struct IconAndAlpha {
    IconAndAlpha(COLORREF iconColour, int alphaSize, COLORREF alphaColour, BYTE alpha)
        : icon(MakeIcon(16, iconColour)), bitmap(MakeAlpha(alphaSize, alphaColour, alpha))
    {
        manager.SetIcon(CXTPImageManagerIconHandle(icon), 1);
        manager.SetIcon(CXTPImageManagerIconHandle(bitmap), 2);
        plain = manager.GetImage(1, 16);
        blended = manager.GetImage(2, alphaSize);
    }
    ~IconAndAlpha()
    {
        DestroyIcon(icon);
        DeleteObject(bitmap);
    }
    HICON icon;
    HBITMAP bitmap;
    CXTPImageManager manager;
    CXTPImageManagerIcon* plain = nullptr;
    CXTPImageManagerIcon* blended = nullptr;
};

class ImageManagerTest : public tavrin::test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        m_oldResources = AfxGetResourceHandle();
    }
    void TearDown() override
    {
        AfxSetResourceHandle(m_oldResources);
        ToolkitTest::TearDown();
    }
    void UseResources(TestResourceModule& module) { AfxSetResourceHandle(module.Module()); }

    HINSTANCE m_oldResources = nullptr;
};

const UINT kStripIds[] = {32773, 32810, 151, 154, 32799, 32798, 32771, 57664};

} // namespace

TEST_F(ImageManagerTest, BitmapStripCutIntoIconsWithItsCornerColourTransparent)
{
    TestResourceModule module;
    module.AddBitmap(131, 128, 16, 24, StripPixel);
    UseResources(module);
    CXTPImageManager manager;
    ASSERT_TRUE(manager.SetIcons(131, kStripIds, 8, CSize(16, 16)));
    EXPECT_EQ(manager.GetIconSetCount(), 8);
    for (int i = 0; i < 8; ++i) {
        CXTPImageManagerIcon* icon = manager.GetImage(kStripIds[i], 16);
        ASSERT_NE(icon, nullptr) << i;
        EXPECT_EQ(icon->GetWidth(), 16);
        EXPECT_EQ(icon->GetHeight(), 16);
        EXPECT_FALSE(icon->IsAlpha());
        EXPECT_EQ(ColorText(IconPixel(icon, icon->GetIcon(), 0, 0)), ColorText(kWhite)) << i;
        EXPECT_EQ(ColorText(IconPixel(icon, icon->GetIcon(), 7, 9)), ColorText(StripColour(i))) << i;
    }
    // Size (0, 0): the width is the bitmap's divided by the count.
    CXTPImageManager sized;
    ASSERT_TRUE(sized.SetIcons(131, kStripIds, 8, CSize(0, 0)));
    EXPECT_EQ(sized.GetImage(57664, 16)->GetWidth(), 16);
    // A missing bitmap, and nothing to cut by, fail.
    EXPECT_FALSE(manager.SetIcons(999, kStripIds, 8, CSize(16, 16)));
    EXPECT_FALSE(manager.SetIcons(131, nullptr, 0, CSize(0, 0)));
}

TEST_F(ImageManagerTest, ToolbarResourceTakesItsSizeFromTheBitmap)
{
    TestResourceModule module;
    module.AddBitmap(300, 48, 16, 24, StripPixel);
    module.AddToolBar(300, 99, 99, {11, 0, 12, 13});
    UseResources(module);
    CXTPImageManager manager;
    ASSERT_TRUE(manager.SetIcons(300));
    for (UINT id : {11u, 12u, 13u})
        EXPECT_NE(manager.GetImage(id, 16), nullptr) << id;
    EXPECT_EQ(ColorText(IconPixel(manager.GetImage(13, 16), manager.GetImage(13, 16)->GetIcon(), 5, 5)),
              ColorText(StripColour(2)));
    EXPECT_EQ(manager.GetImage(0, 16), nullptr) << "separators take no image";
    EXPECT_FALSE(manager.SetIcons(301));
}

TEST_F(ImageManagerTest, ZeroIdsAreSeparatorsOnlyWhenTheListIsShort)
{
    auto list = [](int images) {
        auto result = std::make_unique<CImageList>();
        result->Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 1);
        for (int i = 0; i < images; ++i) {
            HICON icon = MakeIcon(16, StripColour(i));
            result->Add(icon);
            DestroyIcon(icon);
        }
        return result;
    };
    const UINT ids[] = {1, 0, 3};
    struct Case {
        int images;
        bool zeroHasIcon;
        int imageOf3;
    };
    for (const Case& c : {Case{3, true, 2}, Case{2, false, 1}}) {
        auto images = list(c.images);
        CXTPImageManager manager;
        ASSERT_TRUE(manager.SetIcons(*images, ids, 3, CSize(16, 16)));
        EXPECT_EQ(manager.GetImage(0, 16) != nullptr, c.zeroHasIcon) << c.images;
        CXTPImageManagerIcon* icon = manager.GetImage(3, 16);
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(ColorText(IconPixel(icon, icon->GetIcon(), 5, 5)), ColorText(StripColour(c.imageOf3))) << c.images;
    }
    // No ids, no count: every image under its index.
    auto images = list(2);
    CXTPImageManager manager;
    ASSERT_TRUE(manager.SetIcons(*images, nullptr, 0, CSize(0, 0)));
    EXPECT_NE(manager.GetImage(0, 16), nullptr);
    EXPECT_NE(manager.GetImage(1, 16), nullptr);
    // Too many ids: the missing image fails the call, the ones set stay.
    const UINT more[] = {7, 8, 9};
    EXPECT_FALSE(manager.SetIcons(*images, more, 3, CSize(16, 16)));
    EXPECT_NE(manager.GetImage(8, 16), nullptr);
}

TEST_F(ImageManagerTest, ImagesByState)
{
    HICON normal = MakeIcon(16, RGB(0, 128, 0));
    HICON hot = MakeIcon(16, RGB(200, 0, 0));
    CXTPImageManager manager;
    EXPECT_FALSE(manager.SetIcon(CXTPImageManagerIconHandle(hot), 77, CSize(16, 16), xtpImageHot))
        << "a hot image for a command without icons";
    EXPECT_EQ(manager.GetIconSet(77), nullptr);
    EXPECT_FALSE(manager.SetIcon(CXTPImageManagerIconHandle(), 77)) << "an empty image";

    ASSERT_TRUE(manager.SetIcon(CXTPImageManagerIconHandle(normal), 77));
    CXTPImageManagerIcon* icon = manager.GetImage(77, 16);
    ASSERT_NE(icon, nullptr) << "size from the icon's extent";
    EXPECT_EQ(&icon->GetHotIcon(), &icon->GetIcon());
    EXPECT_EQ(&icon->GetCheckedIcon(), &icon->GetIcon());
    ASSERT_TRUE(manager.SetIcon(CXTPImageManagerIconHandle(hot), 77, CSize(16, 16), xtpImageHot));
    EXPECT_EQ(ColorText(IconPixel(icon, icon->GetHotIcon(), 4, 4)), ColorText(RGB(200, 0, 0)));
    EXPECT_EQ(&icon->GetCheckedIcon(), &icon->GetHotIcon()) << "checked falls back to hot";
    EXPECT_TRUE(manager.SetIcon(CXTPImageManagerIconHandle(hot), 77, CSize(16, 16), 9)) << "unknown state: nothing";
    // The manager keeps copies: the caller's icons stay the caller's.
    DestroyIcon(normal);
    DestroyIcon(hot);
    EXPECT_EQ(ColorText(IconPixel(icon, icon->GetIcon(), 4, 4)), ColorText(RGB(0, 128, 0)));
}

TEST_F(ImageManagerTest, ScaledCopiesComeFromTheNearestIconAndGoOnRefresh)
{
    HICON big = MakeIcon(24, RGB(255, 0, 0));
    HICON small = MakeIcon(16, RGB(0, 0, 255));
    CXTPImageManager manager;
    ASSERT_TRUE(manager.SetIcon(CXTPImageManagerIconHandle(big), 5, CSize(24, 24)));
    ASSERT_TRUE(manager.SetIcon(CXTPImageManagerIconHandle(small), 5, CSize(16, 16)));

    CXTPImageManagerIcon* copy = manager.GetImage(5, 20);
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->IsScaled());
    EXPECT_EQ(copy->GetWidth(), 20);
    EXPECT_EQ(copy->GetHeight(), 20);
    EXPECT_EQ(ColorText(IconPixel(copy, copy->GetIcon(), 10, 10)), ColorText(RGB(0, 0, 255)))
        << "both are 4 away; the later insertion in bucket 1 wins";
    EXPECT_EQ(manager.GetImage(5, 20), copy);
    EXPECT_EQ(manager.GetIconSet(5)->GetIcon(20, FALSE), copy);
    EXPECT_EQ(manager.GetIconSet(5)->GetIcon(22, FALSE), nullptr);

    // A copy from a scaled copy, then from a real icon.
    CXTPImageManagerIcon* from20 = manager.GetImage(5, 21);
    ASSERT_NE(from20, nullptr);
    EXPECT_EQ(from20->GetWidth(), 21);
    EXPECT_EQ(ColorText(IconPixel(from20, from20->GetIcon(), 10, 10)), ColorText(RGB(0, 0, 255)));
    CXTPImageManagerIcon* from16 = manager.GetImage(5, 18);
    ASSERT_NE(from16, nullptr);
    EXPECT_EQ(from16->GetWidth(), 18);
    EXPECT_EQ(manager.GetImage(5, 20), copy) << "making copies deletes no other icon";
    EXPECT_EQ(manager.GetIconSet(5)->GetIcons().GetCount(), 5);

    // A new normal image for any width drops the copies.
    HICON other = MakeIcon(24, RGB(0, 255, 0));
    manager.SetIcon(CXTPImageManagerIconHandle(other), 5, CSize(24, 24));
    EXPECT_EQ(manager.GetIconSet(5)->GetIcon(18, FALSE), nullptr);
    EXPECT_EQ(manager.GetIconSet(5)->GetIcons().GetCount(), 2);
    manager.GetImage(5, 30);
    manager.RefreshAll();
    EXPECT_EQ(manager.GetIconSet(5)->GetIcons().GetCount(), 2);
    EXPECT_NE(manager.GetImage(5, 0), nullptr) << "width 0: the nearest icon itself";
    EXPECT_FALSE(manager.GetImage(5, 0)->IsScaled());
    DestroyIcon(big);
    DestroyIcon(small);
    DestroyIcon(other);
}

TEST_F(ImageManagerTest, GeneratedImagesOfIconsAndAlphaBitmaps)
{
    COLORREF shadowBase = XTGetColorManager()->GetColor(31);
    COLORREF shadow = RGB(BYTE(GetRValue(shadowBase) * 0.75), BYTE(GetGValue(shadowBase) * 0.75),
                          BYTE(GetBValue(shadowBase) * 0.75));
    struct Case {
        COLORREF colour;
        COLORREF faded;
        COLORREF disabled;
    };
    const Case cases[] = {
        {RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)},
        {RGB(0, 0, 0), RGB(76, 76, 76), RGB(0, 0, 0)},
        {RGB(255, 0, 0), RGB(255, 76, 76), RGB(139, 139, 139)},
        {RGB(0, 0, 255), RGB(76, 76, 255), RGB(86, 86, 86)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ColorText(c.colour));
        IconAndAlpha images(c.colour, 16, c.colour, 200);
        CXTPImageManagerIcon* plain = images.plain;
        CXTPImageManagerIcon* blended = images.blended;
        ASSERT_TRUE(plain && blended);
        ASSERT_TRUE(blended->IsAlpha());

        EXPECT_EQ(ColorText(IconPixel(plain, plain->GetFadedIcon(), 5, 5)), ColorText(c.faded));
        EXPECT_EQ(ColorText(IconPixel(plain, plain->GetDisabledIcon(), 5, 5)), ColorText(c.disabled));
        EXPECT_EQ(ColorText(IconPixel(plain, plain->GetShadowIcon(), 5, 5)), ColorText(shadow));
        EXPECT_EQ(ColorText(IconPixel(plain, plain->GetDisabledIcon(), 0, 0)), ColorText(kWhite))
            << "transparent pixels stay transparent";

        EXPECT_EQ(AlphaPixel(blended->GetFadedIcon()), c.faded | 0xC8000000u);
        EXPECT_EQ(AlphaPixel(blended->GetDisabledIcon()), c.disabled | 0xC8000000u);
        EXPECT_EQ(AlphaPixel(blended->GetShadowIcon()), shadow | 0xC8000000u);
        EXPECT_EQ(AlphaPixel(blended->GetIcon()), c.colour | 0xC8000000u) << "the normal image is untouched";
        // Kept until cleared.
        HBITMAP faded = blended->GetFadedIcon().GetBitmap();
        EXPECT_EQ(blended->GetFadedIcon().GetBitmap(), faded);
    }
}

TEST_F(ImageManagerTest, FadedImageOnALowColourDisplayIsTheIcon)
{
    tavrin::SetDisplayBitsPerPixel(8);
    HICON icon = MakeIcon(16, RGB(0, 0, 0));
    CXTPImageManager manager;
    manager.SetIcon(CXTPImageManagerIconHandle(icon), 1);
    CXTPImageManagerIcon* plain = manager.GetImage(1, 16);
    CXTPImageManagerIconHandle& faded = plain->GetFadedIcon();
    tavrin::SetDisplayBitsPerPixel(32);
    EXPECT_EQ(ColorText(IconPixel(plain, faded, 5, 5)), ColorText(RGB(0, 0, 0)));
    DestroyIcon(icon);
}

TEST_F(ImageManagerTest, DrawingAtOtherSizes)
{
    IconAndAlpha images(RGB(0, 0, 255), 4, RGB(255, 0, 0), 128);
    ASSERT_TRUE(images.plain && images.blended);
    Canvas canvas(40, 40);
    images.plain->Draw(canvas.DC(), CPoint(0, 0), images.plain->GetIcon(), CSize(32, 0));
    EXPECT_EQ(ColorText(canvas.At(31, 31)), ColorText(RGB(0, 0, 255))) << "height follows the width";
    EXPECT_EQ(ColorText(canvas.At(33, 33)), ColorText(kWhite));

    // Premultiplied red at alpha 128 over white.
    Canvas blend(40, 40);
    images.blended->Draw(blend.DC(), CPoint(0, 0), images.blended->GetIcon(), CSize(8, 8));
    COLORREF mixed = blend.At(7, 7);
    EXPECT_NEAR(GetRValue(mixed), 255, 2) << ColorText(mixed);
    EXPECT_NEAR(GetGValue(mixed), 127, 2) << ColorText(mixed);
    EXPECT_EQ(ColorText(blend.At(9, 9)), ColorText(kWhite));
    EXPECT_EQ(images.manager.GetImage(2, 8), images.blended) << "alpha images are never scaled";
}

TEST_F(ImageManagerTest, MonochromeSilhouette)
{
    IconAndAlpha images(RGB(0, 200, 0), 4, RGB(255, 0, 0), 255);
    ASSERT_TRUE(images.plain && images.blended);
    Canvas canvas(20, 20);
    images.plain->DrawMono(canvas.DC(), CPoint(0, 0), images.plain->GetIcon(), RGB(0, 0, 128));
    EXPECT_EQ(ColorText(canvas.At(5, 5)), ColorText(RGB(0, 0, 128)));
    EXPECT_EQ(ColorText(canvas.At(0, 0)), ColorText(kWhite));
    Canvas empty(20, 20);
    images.blended->DrawMono(empty.DC(), CPoint(0, 0), images.blended->GetIcon(), RGB(0, 0, 128));
    EXPECT_EQ(ColorText(empty.At(1, 1)), ColorText(kWhite)) << "alpha images draw no silhouette";
}

TEST_F(ImageManagerTest, AlphaStripCutIntoImages)
{
    TestResourceModule module;
    module.AddBitmap(400, 32, 16, 32, [](int x, int) -> COLORREF {
        return (x < 16 ? RGB(255, 0, 0) : RGB(0, 0, 255)) | 0x80000000u;
    });
    UseResources(module);
    EXPECT_TRUE(CXTPImageManagerIcon::IsAlphaBitmapResource(400));
    CXTPImageManager manager;
    const UINT ids[] = {1, 2};
    ASSERT_TRUE(manager.SetIcons(400, ids, 2, CSize(16, 16)));
    ASSERT_TRUE(manager.GetImage(2, 16) && manager.GetImage(2, 16)->IsAlpha());
    EXPECT_EQ(AlphaPixel(manager.GetImage(2, 16)->GetIcon()), RGB(0, 0, 255) | 0x80000000u);
    EXPECT_FALSE(manager.SetIcons(400, ids, 2, CSize(12, 16))) << "the width must divide evenly";
}

// Stored data ------------------------------------------------------------

namespace {

std::vector<BYTE> Store(const std::function<void(CArchive&)>& write)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
    }
    std::vector<BYTE> bytes(static_cast<size_t>(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

BOOL Load(CXTPImageManager& manager, std::vector<BYTE> bytes)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CXTPPropExchangeArchive px(ar);
    return manager.DoPropExchange(&px);
}

// One icon set holding one icon whose blocks the caller writes.
std::vector<BYTE> OneIconStream(const char* checkSum, DWORD version,
                                const std::function<void(CArchive&)>& blocks, DWORD height = 16)
{
    return Store([&](CArchive& ar) {
        ar.WriteCount(1);           // "IconSet" sections
        ar << static_cast<LONG>(9); // "Id"
        ar << CString(checkSum);
        ar.WriteCount(1);            // "Icon" sections
        ar << static_cast<LONG>(16); // "Width"
        ar << height << version;
        blocks(ar);
    });
}

struct Header {
    DWORD size = 40;
    LONG width = 16, height = 16;
    WORD planes = 1, bits = 24;
    DWORD sizeImage = 16 * 3 * 16;
};

void WriteBlock(CArchive& ar, const Header& h, DWORD headerCount, DWORD pixelCount, DWORD pixelsWritten)
{
    BYTE header[52] = {};
    BITMAPINFOHEADER bih{};
    bih.biSize = h.size;
    bih.biWidth = h.width;
    bih.biHeight = h.height;
    bih.biPlanes = h.planes;
    bih.biBitCount = h.bits;
    bih.biSizeImage = h.sizeImage;
    std::memcpy(header, &bih, sizeof bih);
    ar.WriteCount(headerCount);
    ar.Write(header, std::min<DWORD>(headerCount, 52));
    ar.WriteCount(pixelCount);
    std::vector<BYTE> pixels(pixelsWritten, 0x40);
    if (!pixels.empty())
        ar.Write(pixels.data(), static_cast<UINT>(pixels.size()));
}

} // namespace

TEST_F(ImageManagerTest, ArchiveRoundTripOfEveryImageKind)
{
    HICON normal = MakeIcon(16, RGB(0, 0, 255));
    HICON hot = MakeIcon(16, RGB(255, 0, 0));
    HICON disabled = MakeIcon(16, RGB(128, 128, 128));
    HICON checked = MakeIcon(16, RGB(0, 255, 0));
    HBITMAP alpha = MakeAlpha(8, RGB(10, 20, 30), 99);
    CXTPImageManager stored;
    stored.SetIcon(CXTPImageManagerIconHandle(normal), 1);
    stored.SetIcon(CXTPImageManagerIconHandle(hot), 1, CSize(16, 16), xtpImageHot);
    stored.SetIcon(CXTPImageManagerIconHandle(disabled), 1, CSize(16, 16), xtpImageDisabled);
    stored.SetIcon(CXTPImageManagerIconHandle(checked), 1, CSize(16, 16), xtpImageChecked);
    stored.SetIcon(CXTPImageManagerIconHandle(alpha), 2);
    stored.GetImage(1, 20); // a scaled copy is not stored
    std::vector<BYTE> bytes = Store([&](CArchive& ar) { stored.Serialize(ar); });

    CXTPImageManager loaded;
    loaded.SetIcon(CXTPImageManagerIconHandle(hot), 3); // loading replaces what was there
    ASSERT_TRUE(Load(loaded, bytes));
    EXPECT_EQ(loaded.GetIconSetCount(), 2);
    EXPECT_EQ(loaded.GetImage(3, 16), nullptr);
    EXPECT_EQ(loaded.GetIconSet(1)->GetIcons().GetCount(), 1);
    CXTPImageManagerIcon* icon = loaded.GetImage(1, 16);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->GetHeight(), 16);
    EXPECT_EQ(ColorText(IconPixel(icon, icon->GetIcon(), 5, 5)), ColorText(RGB(0, 0, 255)));
    EXPECT_EQ(ColorText(IconPixel(icon, icon->GetIcon(), 0, 0)), ColorText(kWhite)) << "the mask survives";
    EXPECT_EQ(ColorText(IconPixel(icon, icon->GetHotIcon(), 5, 5)), ColorText(RGB(255, 0, 0)));
    EXPECT_EQ(ColorText(IconPixel(icon, icon->GetDisabledIcon(), 5, 5)), ColorText(RGB(128, 128, 128)));
    EXPECT_EQ(ColorText(IconPixel(icon, icon->GetCheckedIcon(), 5, 5)), ColorText(RGB(0, 255, 0)));
    CXTPImageManagerIcon* blended = loaded.GetImage(2, 8);
    ASSERT_TRUE(blended && blended->IsAlpha());
    EXPECT_EQ(AlphaPixel(blended->GetIcon()), RGB(10, 20, 30) | 0x63000000u);
    DestroyIcon(normal);
    DestroyIcon(hot);
    DestroyIcon(disabled);
    DestroyIcon(checked);
    DeleteObject(alpha);
}

TEST_F(ImageManagerTest, VersionSevenStreamHasNoCheckedBlock)
{
    HICON normal = MakeIcon(16, RGB(0, 0, 255));
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(normal, &info));
    std::vector<BYTE> bytes = OneIconStream("CXTPImageManagerIcons", 7, [&](CArchive& ar) {
        XTPImageArchive::WriteBitmap(ar, info.hbmColor); // normal
        XTPImageArchive::WriteBitmap(ar, info.hbmMask);
        XTPImageArchive::WriteBitmap(ar, nullptr); // disabled
        XTPImageArchive::WriteBitmap(ar, nullptr);
        XTPImageArchive::WriteBitmap(ar, nullptr); // hot
        XTPImageArchive::WriteBitmap(ar, nullptr);
    });
    CXTPImageManager manager;
    ASSERT_TRUE(Load(manager, bytes));
    CXTPImageManagerIcon* icon = manager.GetImage(9, 16);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(ColorText(IconPixel(icon, icon->GetCheckedIcon(), 5, 5)), ColorText(RGB(0, 0, 255)));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(normal);
}

TEST_F(ImageManagerTest, HostileStoredIconsAreRejected)
{
    const DWORD rows24 = 16 * 3 * 16;
    struct Case {
        const char* what;
        std::function<void(CArchive&)> blocks;
    };
    auto with = [](Header h, DWORD headerCount, DWORD pixelCount, DWORD written) {
        return [=](CArchive& ar) { WriteBlock(ar, h, headerCount, pixelCount, written); };
    };
    Header big;
    big.width = 0x8000;
    big.height = 0x8000;
    big.bits = 32;
    big.sizeImage = 0;
    Header size39, size53;
    size39.size = 39;
    size53.size = 53;
    Header fourBits;
    fourBits.bits = 4;
    fourBits.sizeImage = 8 * 16;
    const Case cases[] = {
        {"header count 39", with(Header{}, 39, rows24, rows24)},
        {"header count 53", with(Header{}, 53, rows24, rows24)},
        {"header size 39", with(size39, 52, rows24, rows24)},
        {"header size 53", with(size53, 52, rows24, rows24)},
        {"pixel count one short", with(Header{}, 52, rows24 - 1, rows24 - 1)},
        {"pixel count one long", with(Header{}, 52, rows24 + 1, rows24 + 1)},
        {"width x height x 4 past 32 bits", with(big, 52, 0, 0)},
        {"a 4-bit bitmap has no room for its colours", with(fourBits, 52, 8 * 16, 8 * 16)},
        {"pixels missing", with(Header{}, 52, rows24, 10)},
        {"header count 0xFFFF then 0x7FFFFFFF",
         [](CArchive& ar) {
             ar << static_cast<WORD>(0xFFFF) << static_cast<DWORD>(0x7FFFFFFF);
         }},
        {"pixel count 0xFFFF then 0x7FFFFFFF",
         [](CArchive& ar) {
             Header h;
             h.sizeImage = 0x7FFFFFFF;
             WriteBlock(ar, h, 52, 0x7FFFFFFF, 0);
         }},
    };
    std::vector<std::pair<const char*, std::vector<BYTE>>> streams;
    for (const Case& c : cases)
        streams.emplace_back(c.what, OneIconStream("CXTPImageManagerIcons", 8, c.blocks));
    streams.emplace_back("a height past 4096",
                         OneIconStream("CXTPImageManagerIcons", 8, with(Header{}, 52, rows24, rows24), 0x7FFFFFFF));
    for (const auto& [what, bytes] : streams) {
        CXTPImageManager manager;
        EXPECT_FALSE(Load(manager, bytes)) << what;
        EXPECT_EQ(manager.GetIconSetCount(), 0) << what << ": the failed set is dropped";
        // Still usable.
        HICON icon = MakeIcon(16, RGB(1, 2, 3));
        EXPECT_TRUE(manager.SetIcon(CXTPImageManagerIconHandle(icon), 10)) << what;
        EXPECT_NE(manager.GetImage(10, 16), nullptr) << what;
        DestroyIcon(icon);
    }
}

TEST_F(ImageManagerTest, ForeignCheckSumFailsItsSet)
{
    HICON icon = MakeIcon(16, RGB(0, 0, 255));
    CXTPImageManager stored;
    stored.SetIcon(CXTPImageManagerIconHandle(icon), 1);
    std::vector<BYTE> good = Store([&](CArchive& ar) { stored.Serialize(ar); });
    // Two sets: the first good, the second with another check sum.
    std::vector<BYTE> bytes = Store([&](CArchive& ar) {
        ar.WriteCount(2);
        ar << static_cast<LONG>(1);
        ar.Write(good.data() + 2 + 4, static_cast<UINT>(good.size() - 6)); // the first set's own data
        ar << static_cast<LONG>(2);
        ar << CString("CXTPImageManagerIconz");
    });
    CXTPImageManager manager;
    EXPECT_FALSE(Load(manager, bytes));
    EXPECT_NE(manager.GetImage(1, 16), nullptr) << "the set loaded before stays";
    EXPECT_TRUE(manager.SetIcon(CXTPImageManagerIconHandle(icon), 3));
    DestroyIcon(icon);
}

TEST_F(ImageManagerTest, IconsThroughTheRegistryExchange)
{
    tavrin::test::UserConfigScope config;
    HICON icon = MakeIcon(16, RGB(0, 0, 255));
    CXTPImageManager stored;
    stored.SetIcon(CXTPImageManagerIconHandle(icon), 1);
    {
        CXTPPropExchangeRegistry px(FALSE, HKEY_CURRENT_USER, "Software\\Tavrin\\Icons");
        EXPECT_TRUE(stored.DoPropExchange(&px));
    }
    CXTPImageManager loaded;
    {
        CXTPPropExchangeRegistry px(TRUE, HKEY_CURRENT_USER, "Software\\Tavrin\\Icons");
        EXPECT_TRUE(loaded.DoPropExchange(&px));
    }
    CXTPImageManagerIcon* result = loaded.GetImage(1, 16);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(ColorText(IconPixel(result, result->GetIcon(), 5, 5)), ColorText(RGB(0, 0, 255)));
    DestroyIcon(icon);
}
