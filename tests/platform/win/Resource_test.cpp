// Resources by id from the program's module (the framework's, toolkit's and
// application's scripts) and from a fixture module: strings, raw resources,
// bitmaps, icons and cursors, and damaged resources refused.
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Icon.h"
#include "platform/win/OptionalLibrary.h"
#include "platform/win/ResourceImage.h"
#include "platform/win/User.h"
#include "tests/fixtures/rc/fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

const tavrin::win::ResourceTable& TavrinFixtureResources();

using namespace tavrin;

namespace {

class ResourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_fixture = win::CreateResourceModule(TavrinFixtureResources());
        ASSERT_TRUE(m_fixture);
    }
    void TearDown() override { win::DestroyResourceModule(m_fixture); }

    std::string String(HMODULE module, UINT id, int size = 256)
    {
        std::string buffer(static_cast<size_t>(size) + 8, '#');
        const int n = LoadStringA(module, id, buffer.data(), size);
        EXPECT_EQ(std::strlen(buffer.c_str()), static_cast<size_t>(n));
        return buffer.substr(0, static_cast<size_t>(n));
    }

    HMODULE m_fixture = nullptr;
};

uint32_t IconPixel(HICON icon, int x, int y)
{
    auto i = IconFromHandle(icon);
    return i ? i->Colour().GetPixel(x, y) & 0x00FFFFFFu : 0xDEADBEEF;
}

} // namespace

TEST_F(ResourceTest, StringsOfTheThreeLayers)
{
    HMODULE program = GetModuleHandleA(nullptr);
    EXPECT_EQ(String(nullptr, 0xF111), "请输入一个数字。");          // the framework's
    EXPECT_EQ(String(program, 9021), "Settings");                     // the toolkit's
    EXPECT_EQ(String(program, 9404), "\n还原窗口");
    EXPECT_EQ(String(program, 32865), "显示主窗口\n显示主窗口"); // the application's
    EXPECT_EQ(String(program, 57665), "退出应用程序\n退出");
    EXPECT_EQ(String(program, 32866), "") << "no such string";
    EXPECT_EQ(String(m_fixture, 0xFFFF), "top");
    EXPECT_EQ(String(m_fixture, IDS_LAST_IN_BLOCK), "最后");
    EXPECT_EQ(String(m_fixture, 9021), "") << "modules are separate";
}

TEST_F(ResourceTest, ShortBufferCutsWholeCharacters)
{
    // "中文ab字": 2 + 2 + 1 + 1 + 2 bytes.
    const struct {
        int size;
        const char* text;
    } cases[] = {{1, ""}, {2, ""}, {3, "中"}, {4, "中"}, {5, "中文"}, {6, "中文a"},
                 {7, "中文ab"}, {8, "中文ab"}, {9, "中文ab字"}, {100, "中文ab字"}};
    for (const auto& c : cases)
        EXPECT_EQ(String(m_fixture, IDS_CHINESE, c.size), c.text) << "buffer of " << c.size;
    char untouched = 'x';
    EXPECT_EQ(LoadStringA(m_fixture, IDS_CHINESE, &untouched, 0), 0);
    EXPECT_EQ(untouched, 'x');
}

TEST_F(ResourceTest, FindLoadLockAndSize)
{
    HRSRC menu = FindResourceA(nullptr, MAKEINTRESOURCEA(157), RT_MENU);
    ASSERT_TRUE(menu);
    EXPECT_GT(SizeofResource(nullptr, menu), 4u);
    auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, menu)));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes[4], 0x90) << "a popup, the last item of the menu";

    // The toolbar words the toolkit reads: version, width, height, count, ids.
    HRSRC bar = FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(9015), RT_TOOLBAR);
    ASSERT_TRUE(bar);
    ASSERT_EQ(SizeofResource(nullptr, bar), 20u);
    auto* words = static_cast<const WORD*>(LockResource(LoadResource(nullptr, bar)));
    const WORD want[] = {1, 16, 15, 6, 9158, 9159, 0, 9160, 9161, 9162};
    EXPECT_EQ(std::memcmp(words, want, sizeof want), 0);

    EXPECT_TRUE(FindResourceA(m_fixture, "named", RT_MENU)) << "names ignore case";
    EXPECT_TRUE(FindResourceA(m_fixture, "#102", RT_MENU));
    EXPECT_TRUE(FindResourceExA(m_fixture, RT_DIALOG, MAKEINTRESOURCEA(IDD_FIXTURE_EX), 0x0804));
    EXPECT_FALSE(FindResourceA(m_fixture, MAKEINTRESOURCEA(999), RT_MENU));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    // A handle of one module means nothing to another.
    EXPECT_EQ(SizeofResource(m_fixture, menu), 0u);
    EXPECT_FALSE(LoadResource(m_fixture, menu));
}

TEST_F(ResourceTest, BitmapsOfEveryDepth)
{
    const struct {
        UINT id;
        int bits;
        uint32_t topLeft, second;
    } cases[] = {{IDB_DEPTH1, 1, 0xFF0000, 0x0000FF}, {IDB_DEPTH4, 4, 0xFF0000, 0x00FF00},
                 {IDB_DEPTH8, 8, 0xFF0000, 0x00FF00}, {IDB_DEPTH24, 24, 0xFF0000, 0x00FF00},
                 {IDB_DEPTH32, 32, 0xFF0000, 0x00FF00}};
    HDC dc = CreateCompatibleDC(nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        HBITMAP bitmap = LoadBitmapA(m_fixture, MAKEINTRESOURCEA(c.id));
        ASSERT_TRUE(bitmap);
        BITMAP info{};
        ASSERT_TRUE(GetObjectA(bitmap, sizeof info, &info));
        EXPECT_EQ(info.bmWidth, 6);
        EXPECT_EQ(info.bmHeight, 4);
        HGDIOBJ old = SelectObject(dc, bitmap);
        EXPECT_EQ(GetPixel(dc, 0, 0), RGB(c.topLeft >> 16, (c.topLeft >> 8) & 0xFF, c.topLeft & 0xFF));
        EXPECT_EQ(GetPixel(dc, 1, 0), RGB(c.second >> 16, (c.second >> 8) & 0xFF, c.second & 0xFF));
        SelectObject(dc, old);
        DeleteObject(bitmap);

        HBITMAP section = static_cast<HBITMAP>(LoadImageA(m_fixture, MAKEINTRESOURCEA(c.id), IMAGE_BITMAP, 0, 0,
                                                          LR_CREATEDIBSECTION));
        ASSERT_TRUE(section);
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectA(section, sizeof ds, &ds), static_cast<int>(sizeof ds));
        EXPECT_EQ(ds.dsBmih.biBitCount, c.bits) << "the section keeps the resource's format";
        DeleteObject(section);
    }
    DeleteDC(dc);
}

TEST_F(ResourceTest, BitmapHeadersAsTheButtonReadsThem)
{
    for (UINT id : {IDB_DEPTH24, IDB_DEPTH32}) {
        HRSRC r = FindResourceA(m_fixture, MAKEINTRESOURCEA(id), RT_BITMAP);
        ASSERT_TRUE(r);
        auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(m_fixture, r)));
        EXPECT_EQ(header->biSize, 40u);
        EXPECT_EQ(header->biWidth, 6);
        EXPECT_EQ(header->biHeight, 4);
        EXPECT_EQ(header->biBitCount, id == IDB_DEPTH32 ? 32 : 24);
        // A 32-bit resource is its header and width x 4 x height bytes.
        EXPECT_EQ(SizeofResource(m_fixture, r), id == IDB_DEPTH32 ? 40u + 6 * 4 * 4 : 40u + 20 * 4);
    }
}

TEST_F(ResourceTest, IconNearestSize)
{
    // 16 (red, 4 bits), 32 (green, 8 bits), 48 (blue, 32 bits).
    const struct {
        int cx;
        UINT flags;
        int width;
        uint32_t colour;
    } cases[] = {{16, 0, 16, 0xFF0000}, {20, 0, 20, 0xFF0000}, {30, 0, 30, 0x00FF00},
                 {40, 0, 40, 0x0000FF}, {64, 0, 64, 0x0000FF}, {0, 0, 16, 0xFF0000},
                 {0, LR_DEFAULTSIZE, 32, 0x00FF00}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cx);
        HICON icon = static_cast<HICON>(LoadImageA(m_fixture, MAKEINTRESOURCEA(IDI_SIZES), IMAGE_ICON, c.cx, c.cx, c.flags));
        ASSERT_TRUE(icon);
        auto i = IconFromHandle(icon);
        EXPECT_EQ(i->Width(), c.width);
        EXPECT_EQ(IconPixel(icon, c.width / 2, c.width / 2), c.colour);
        DestroyIcon(icon);
    }
    HICON shared = LoadIconA(m_fixture, MAKEINTRESOURCEA(IDI_SIZES));
    ASSERT_TRUE(shared);
    EXPECT_EQ(LoadIconA(m_fixture, MAKEINTRESOURCEA(IDI_SIZES)), shared) << "shared";
    EXPECT_EQ(IconFromHandle(shared)->Width(), GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(IconFromHandle(shared)->Mask()[0], 1) << "the mask's transparent corner";
    EXPECT_EQ(IconFromHandle(shared)->Mask()[1], 0);

    HICON app = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128));
    ASSERT_TRUE(app);
    EXPECT_TRUE(IconFromHandle(app)->HasAlpha());
    HICON error = LoadIconA(nullptr, IDI_ERROR);
    ASSERT_TRUE(error);
    EXPECT_EQ(LoadIconA(nullptr, IDI_ERROR), error);
    EXPECT_NE(LoadIconA(nullptr, IDI_WARNING), error);
    EXPECT_FALSE(LoadIconA(nullptr, MAKEINTRESOURCEA(5)));
}

TEST_F(ResourceTest, CursorHotSpot)
{
    HCURSOR cursor = LoadCursorA(m_fixture, MAKEINTRESOURCEA(IDC_HOTSPOT));
    ASSERT_TRUE(cursor);
    auto c = IconFromHandle(cursor);
    EXPECT_FALSE(c->IsIcon());
    EXPECT_EQ(c->Hotspot().x, 5);
    EXPECT_EQ(c->Hotspot().y, 7);
    HCURSOR big = static_cast<HCURSOR>(LoadImageA(m_fixture, MAKEINTRESOURCEA(IDC_HOTSPOT), IMAGE_CURSOR, 64, 64, 0));
    ASSERT_TRUE(big);
    EXPECT_EQ(IconFromHandle(big)->Hotspot().x, 10) << "the hot spot scales with the image";
    EXPECT_EQ(IconFromHandle(big)->Hotspot().y, 14);
    DestroyCursor(big);

    for (UINT id : {9008u, 9009u, 9010u, 9011u, 9012u, 9970u, 9971u})
        EXPECT_TRUE(LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id))) << id;
    EXPECT_EQ(IconFromHandle(LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(9970)))->Hotspot().x, 16);
    EXPECT_FALSE(LoadCursorA(m_fixture, MAKEINTRESOURCEA(IDI_SIZES))) << "an icon is not a cursor";
}

TEST(ResourceDamage, DamagedResourcesFailTheLoad)
{
    // A string block whose count runs past its end; a bitmap short of its
    // rows; an icon group naming a missing image; a group too short for its count.
    static const BYTE strings[] = {3, 0, 'a', 0, 'b', 0, 0x40, 0, 'c', 0};
    static const BYTE bitmap[40 + 10] = {40, 0, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0, 1, 0, 24, 0};
    static const BYTE group[] = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 0, 1, 0, 0, 9, 0};
    static const BYTE shortGroup[] = {0, 0, 1, 0, 2, 0, 16, 16, 0, 0, 1, 0, 32, 0, 0, 1, 0, 0, 9, 0};
    static const BYTE image[] = {40, 0, 0, 0, 16, 0, 0, 0, 32, 0, 0, 0, 1, 0, 32, 0};
    static const BYTE imageGroup[] = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 16, 0, 0, 0, 7, 0};
    static const win::ResourceEntry entries[] = {
        {6, nullptr, 1, nullptr, strings, sizeof strings},
        {2, nullptr, 5, nullptr, bitmap, sizeof bitmap},
        {14, nullptr, 6, nullptr, group, sizeof group},
        {14, nullptr, 7, nullptr, shortGroup, sizeof shortGroup},
        {14, nullptr, 8, nullptr, imageGroup, sizeof imageGroup},
        {3, nullptr, 7, nullptr, image, sizeof image},
    };
    HMODULE module = win::CreateResourceModule(win::ResourceTable{entries, std::size(entries)});
    ASSERT_TRUE(module);
    char buffer[16];
    EXPECT_EQ(LoadStringA(module, 0, buffer, sizeof buffer), 3);
    EXPECT_EQ(LoadStringA(module, 1, buffer, sizeof buffer), 0) << "a count past the block";
    EXPECT_FALSE(LoadBitmapA(module, MAKEINTRESOURCEA(5)));
    EXPECT_FALSE(LoadImageA(module, MAKEINTRESOURCEA(5), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    EXPECT_FALSE(LoadIconA(module, MAKEINTRESOURCEA(6)));
    EXPECT_FALSE(LoadIconA(module, MAKEINTRESOURCEA(7)));
    EXPECT_FALSE(LoadIconA(module, MAKEINTRESOURCEA(8))) << "an image without its pixels";
    win::DestroyResourceModule(module);

    static const win::ResourceEntry clash[] = {{6, nullptr, 1, nullptr, strings, sizeof strings},
                                               {6, nullptr, 1, nullptr, strings, sizeof strings}};
    EXPECT_FALSE(win::CreateResourceModule(win::ResourceTable{clash, 2}));
}

TEST_F(ResourceTest, ToolkitResourcesOfTheProgramModule)
{
    HMODULE program = GetModuleHandleA(nullptr);
    // The header control's menu: submenu 2, two sorts, a separator, the alignments.
    HMENU menu = LoadMenuA(program, MAKEINTRESOURCEA(9014));
    ASSERT_TRUE(menu);
    HMENU header = GetSubMenu(menu, 2);
    ASSERT_EQ(GetMenuItemCount(header), 4);
    EXPECT_EQ(GetMenuItemID(header, 0), 9158u);
    EXPECT_EQ(GetMenuItemID(header, 1), 9159u);
    EXPECT_EQ(GetMenuState(header, 2, MF_BYPOSITION), UINT(MF_SEPARATOR));
    HMENU align = GetSubMenu(header, 3);
    ASSERT_EQ(GetMenuItemCount(align), 3);
    EXPECT_EQ(GetMenuItemID(align, 2), 9162u);
    char text[32];
    GetMenuStringA(header, 3, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "对齐方式");
    DestroyMenu(menu);
    // Bitmaps: the caption's buttons, the header menu's icons, the system commands.
    const struct {
        UINT id;
        int width, height;
    } bitmaps[] = {{9002, 48, 15}, {9015, 80, 15}, {9407, 64, 16}};
    for (const auto& b : bitmaps) {
        HBITMAP bitmap = LoadBitmapA(program, MAKEINTRESOURCEA(b.id));
        ASSERT_TRUE(bitmap) << b.id;
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, b.width) << b.id;
        EXPECT_EQ(info.bmHeight, b.height) << b.id;
        DeleteObject(bitmap);
    }
}
