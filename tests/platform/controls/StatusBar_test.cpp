#include "platform/controls/StatusBar.h"
#include "platform/display/HeadlessPresenter.h"
#include "tests/platform/controls/ControlHost.h"

#include <gtest/gtest.h>

#include <string>

using namespace tavrin::test;

namespace {

class StatusBarTest : public ::testing::Test {
protected:
    HWND Make(DWORD style = 0)
    {
        return host.Create(STATUSCLASSNAME, "", WS_CHILD | WS_VISIBLE | style, {0, 0, 0, 0}, 0xE801);
    }
    ControlHost host{{100, 100, 500, 300}, WS_POPUP | WS_VISIBLE | WS_THICKFRAME};
};

std::string TextOf(HWND bar, int part, LRESULT* answer = nullptr)
{
    char buffer[256] = {};
    LRESULT result = SendMessageA(bar, SB_GETTEXT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(buffer));
    if (answer)
        *answer = result;
    return buffer;
}

} // namespace

TEST_F(StatusBarTest, SitsAtTheParentsBottomAndFollowsItsSize)
{
    HWND bar = Make();
    RECT client, own;
    GetClientRect(host.Handle(), &client);
    GetWindowRect(bar, &own);
    MapWindowPoints(nullptr, host.Handle(), reinterpret_cast<POINT*>(&own), 2);
    EXPECT_EQ(own.bottom, client.bottom);
    EXPECT_EQ(own.left, 0);
    EXPECT_EQ(own.right, client.right);
    const int height = own.bottom - own.top;
    EXPECT_GT(height, 10);
    // A minimum height takes effect at the next size.
    SendMessageA(bar, SB_SETMINHEIGHT, 40, 0);
    SendMessageA(bar, WM_SIZE, 0, 0);
    GetWindowRect(bar, &own);
    EXPECT_EQ(own.bottom - own.top, 40 + 2 * 2);
    // A small minimum leaves the text's height.
    SendMessageA(bar, SB_SETMINHEIGHT, 1, 0);
    SendMessageA(bar, WM_SIZE, 0, 0);
    GetWindowRect(bar, &own);
    EXPECT_EQ(own.bottom - own.top, height);
    int borders[3] = {};
    EXPECT_TRUE(SendMessageA(bar, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders)));
    EXPECT_EQ(borders[0], 0);
    EXPECT_EQ(borders[1], 2);
    EXPECT_EQ(borders[2], 2);
}

TEST_F(StatusBarTest, PartsTextsAndRectangles)
{
    HWND bar = Make(CCS_NORESIZE | CCS_NOPARENTALIGN);
    SetWindowPos(bar, nullptr, 0, 0, 400, 22, SWP_NOZORDER);
    const int rights[] = {100, 250, 300, -1};
    EXPECT_TRUE(SendMessageA(bar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(rights)));
    int back[8] = {};
    EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(back)), 4);
    EXPECT_EQ(back[1], 250);
    EXPECT_EQ(back[3], -1);
    EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 0, 0), 4);
    EXPECT_FALSE(SendMessageA(bar, SB_SETPARTS, 0, reinterpret_cast<LPARAM>(rights)));
    EXPECT_FALSE(SendMessageA(bar, SB_SETPARTS, 300, reinterpret_cast<LPARAM>(rights)));

    struct Case {
        int part;
        WORD type;
        const char* text;
        RECT rect;
    } cases[] = {
        {0, 0, "就绪", {0, 2, 100, 22}},
        {1, SBT_NOBORDERS, "two", {102, 2, 250, 22}},
        {2, SBT_POPOUT, "", {252, 2, 300, 22}},
        {3, SBT_NOBORDERS | SBT_POPOUT, "last\tmid\tright", {302, 2, 400, 22}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(SendMessageA(bar, SB_SETTEXT, static_cast<WPARAM>(c.part | c.type), reinterpret_cast<LPARAM>(c.text)));
        LRESULT answer = 0;
        EXPECT_EQ(TextOf(bar, c.part, &answer), c.text);
        EXPECT_EQ(LOWORD(answer), std::string(c.text).size()) << c.part;
        EXPECT_EQ(HIWORD(answer), c.type) << c.part;
        EXPECT_EQ(SendMessageA(bar, SB_GETTEXTLENGTH, static_cast<WPARAM>(c.part), 0), answer);
        RECT rect{};
        EXPECT_TRUE(SendMessageA(bar, SB_GETRECT, static_cast<WPARAM>(c.part), reinterpret_cast<LPARAM>(&rect)));
        EXPECT_TRUE(EqualRect(&rect, &c.rect)) << c.part << ": " << rect.left << "," << rect.top << ","
                                               << rect.right << "," << rect.bottom;
    }
    // Parts that do not exist.
    RECT rect{};
    EXPECT_FALSE(SendMessageA(bar, SB_GETRECT, 4, reinterpret_cast<LPARAM>(&rect)));
    EXPECT_FALSE(SendMessageA(bar, SB_SETTEXT, 7, reinterpret_cast<LPARAM>("x")));
    EXPECT_EQ(SendMessageA(bar, SB_GETTEXTLENGTH, 7, 0), 0);
    // The window text is part 0's.
    char buffer[16] = {};
    GetWindowTextA(bar, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "就绪");
    // Fewer parts keep the first ones' texts.
    const int two[] = {50, -1};
    SendMessageA(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(two));
    EXPECT_EQ(TextOf(bar, 1), "two");
    EXPECT_TRUE(SendMessageA(bar, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&rect)));
    EXPECT_EQ(rect.left, 52);
    EXPECT_EQ(rect.right, 400);
}

TEST_F(StatusBarTest, DrawsPartsAndGripIntoTheGivenDc)
{
    HWND bar = Make(SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN);
    SetWindowPos(bar, nullptr, 0, 0, 200, 24, SWP_NOZORDER);
    const int rights[] = {80, -1};
    SendMessageA(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rights));
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 24);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(bar, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    // The sunken border of part 0: shadow on its top edge, light on its bottom.
    EXPECT_EQ(GetPixel(dc, 40, 2), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(dc, 40, 23), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(GetPixel(dc, 40, 0), GetSysColor(COLOR_BTNFACE));
    // The grip's light and dark diagonals in the bottom-right corner.
    int shadow = 0, light = 0;
    for (int x = 180; x < 200; ++x)
        for (int y = 6; y < 24; ++y) {
            shadow += GetPixel(dc, x, y) == GetSysColor(COLOR_BTNSHADOW);
            light += GetPixel(dc, x, y) == GetSysColor(COLOR_BTNHIGHLIGHT);
        }
    EXPECT_GT(shadow, 8);
    EXPECT_GT(light, 4);
    // No grip without the style.
    SetWindowLongA(bar, GWL_STYLE, GetWindowLongA(bar, GWL_STYLE) & ~SBARS_SIZEGRIP);
    SendMessageA(bar, SB_SETTEXT, 1 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(""));
    SendMessageA(bar, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(GetPixel(dc, 195, 20), GetSysColor(COLOR_BTNFACE));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

namespace {

struct ResizeRecorder : tavrin::display::Presenter {
    void WindowShown(HWND hwnd) override { Headless().WindowShown(hwnd); }
    void WindowHidden(HWND hwnd) override { Headless().WindowHidden(hwnd); }
    void WindowDestroyed(HWND hwnd) override { Headless().WindowDestroyed(hwnd); }
    void WindowChanged(HWND hwnd) override { Headless().WindowChanged(hwnd); }
    void SurfaceDamaged(HWND hwnd, const tavrin::Surface& surface, const RECT& damage) override
    {
        Headless().SurfaceDamaged(hwnd, surface, damage);
    }
    bool SetClipboardText(const std::string& gbk) override { return Headless().SetClipboardText(gbk); }
    bool GetClipboardText(std::string& gbk) override { return Headless().GetClipboardText(gbk); }
    static tavrin::display::HeadlessPresenter& Headless() { return tavrin::display::GetHeadlessPresenter(); }
    bool BeginResize(HWND hwnd, int edge, POINT screen) override
    {
        window = hwnd;
        this->edge = edge;
        point = screen;
        return true;
    }
    HWND window = nullptr;
    int edge = 0;
    POINT point{};
};

} // namespace

TEST_F(StatusBarTest, APressOnTheGripStartsTheDesktopsResize)
{
    HWND bar = Make(SBARS_SIZEGRIP);
    RECT client;
    GetClientRect(bar, &client);
    ResizeRecorder recorder;
    tavrin::display::InstallPresenter(&recorder);
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 3, client.bottom - 3));
    EXPECT_EQ(recorder.window, host.Handle());
    EXPECT_EQ(recorder.edge, HTBOTTOMRIGHT);
    // Elsewhere on the bar a press is a click.
    recorder.window = nullptr;
    host.Clear();
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(recorder.window, nullptr);
    EXPECT_EQ(host.Codes(WM_NOTIFY), std::vector<UINT>{NM_CLICK});
    // A maximised window has no grip.
    ShowWindow(host.Handle(), SW_MAXIMIZE);
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 3, client.bottom - 3));
    EXPECT_EQ(recorder.window, nullptr);
    tavrin::display::InstallPresenter(nullptr);
}
