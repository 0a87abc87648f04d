#include "WindowLog.h"

#include "platform/base/Clock.h"
#include "platform/display/HeadlessPresenter.h"
#include "platform/win/WindowSurface.h"

#include <gtest/gtest.h>
#include <map>

using tavrin::test::Pump;
using tavrin::test::Step;
using tavrin::test::WindowLog;

namespace {

RECT Rect(int l, int t, int r, int b)
{
    return RECT{l, t, r, b};
}

// Windows that paint their whole client area in one colour, and remember
// what BeginPaint told them.
class Painter {
public:
    explicit Painter(WindowLog& log) : m_log(log)
    {
        log.m_handler = [this](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT* result) {
            if (message != WM_PAINT || !m_colors.count(hwnd))
                return false;
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(hwnd, &ps);
            m_paints.push_back({hwnd, ps.rcPaint, ps.fErase});
            RECT client;
            GetClientRect(hwnd, &client);
            HBRUSH brush = CreateSolidBrush(m_colors[hwnd]);
            FillRect(hdc, &client, brush);
            DeleteObject(brush);
            EndPaint(hwnd, &ps);
            *result = 0;
            return true;
        };
    }
    void Color(HWND hwnd, COLORREF color) { m_colors[hwnd] = color; }

    struct Paint {
        HWND hwnd;
        RECT rect;
        BOOL erase;
    };
    std::vector<Paint> m_paints;

private:
    WindowLog& m_log;
    std::map<HWND, COLORREF> m_colors;
};

COLORREF At(HWND top, int x, int y)
{
    auto surface = tavrin::win::GetWindowSurface(top);
    return surface ? tavrin::ColorFromPixel(surface->GetPixel(x, y) & 0xFFFFFF) : CLR_INVALID;
}

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

} // namespace

TEST(Painting, WmPaintComesWhenTheQueueHoldsNothingElseButTimers)
{
    tavrin::clock::ManualScope clock(1000000);
    WindowLog log;
    HWND hwnd = log.Create("w", WS_POPUP | WS_VISIBLE, Rect(0, 0, 50, 50));
    Pump();
    SetTimer(hwnd, 1, 10, nullptr);
    tavrin::clock::Advance(10);
    InvalidateRect(hwnd, nullptr, FALSE);
    PostMessageA(hwnd, WM_USER, 0, 0);
    std::vector<UINT> order;
    MSG msg;
    for (int i = 0; i < 3 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        order.push_back(msg.message);
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_PAINT, WM_TIMER}));
    EXPECT_EQ(GetQueueStatus(QS_PAINT) & QS_PAINT, 0u); // the default painting validated it
    KillTimer(hwnd, 1);

    // A window that does not validate keeps getting WM_PAINT; a filtered look finds it too.
    log.m_handler = [](HWND, UINT message, WPARAM, LPARAM, LRESULT* result) {
        *result = 0;
        return message == WM_PAINT;
    };
    InvalidateRect(hwnd, nullptr, FALSE);
    EXPECT_TRUE(PeekMessageA(&msg, hwnd, WM_PAINT, WM_PAINT, PM_REMOVE));
    DispatchMessageA(&msg);
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    ValidateRect(hwnd, nullptr);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    // Hidden windows collect nothing.
    ShowWindow(hwnd, SW_HIDE);
    InvalidateRect(hwnd, nullptr, TRUE);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    DestroyWindow(hwnd);
}

TEST(Painting, BeginPaintReportsTheInvalidAreaAndErasesWithTheClassBrush)
{
    WindowLog log;
    Painter painter(log);
    HWND hwnd = log.Create("w", WS_POPUP | WS_VISIBLE, Rect(0, 0, 100, 100));
    painter.Color(hwnd, kRed);
    Pump();
    painter.m_paints.clear();
    RECT a{10, 10, 20, 20}, b{30, 5, 40, 15};
    InvalidateRect(hwnd, &a, TRUE);
    InvalidateRect(hwnd, &b, FALSE);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_TRUE(EqualRect(&update, &(const RECT&)RECT{10, 5, 40, 20}));
    log.Clear();
    Pump();
    ASSERT_EQ(painter.m_paints.size(), 1u);
    EXPECT_TRUE(EqualRect(&painter.m_paints[0].rect, &(const RECT&)RECT{10, 5, 40, 20}));
    EXPECT_FALSE(painter.m_paints[0].erase); // the class brush erased it
    EXPECT_EQ(log.Of(WM_ERASEBKGND).size(), 1u);
    // Painting is clipped to the update region: the gap between the two rectangles keeps its colour.
    InvalidateRect(hwnd, nullptr, FALSE);
    Pump();
    painter.Color(hwnd, kBlue);
    InvalidateRect(hwnd, &a, FALSE);
    Pump();
    EXPECT_EQ(At(hwnd, 15, 15), kBlue);
    EXPECT_EQ(At(hwnd, 25, 15), kRed);
    EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));
    DestroyWindow(hwnd);
}

TEST(Painting, OverlappingChildrenAreClippedInTheTopLevelSurface)
{
    WindowLog log;
    Painter painter(log);
    HWND frame = log.Create("frame", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, Rect(100, 100, 200, 200));
    HWND a = log.Create("a", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, Rect(10, 10, 60, 60), frame);
    HWND b = log.Create("b", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, Rect(40, 40, 90, 90), frame);
    HWND shaped = log.Create("shaped", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, Rect(0, 70, 20, 90), frame);
    SetWindowRgn(shaped, CreateRectRgn(0, 0, 10, 10), FALSE);
    SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    painter.Color(frame, kWhite);
    painter.Color(a, kRed);
    painter.Color(b, kBlue);
    painter.Color(shaped, kGreen);
    Pump();
    struct Probe {
        int x, y;
        COLORREF color;
    };
    const Probe probes[] = {{5, 5, kWhite},  {20, 20, kRed},  {50, 50, kBlue}, {70, 70, kBlue},
                            {95, 95, kWhite}, {5, 75, kGreen}, {15, 85, kWhite}};
    for (const Probe& p : probes)
        EXPECT_EQ(At(frame, p.x, p.y), p.color) << p.x << "," << p.y;

    // The lower child repainting alone cannot reach into the upper one.
    painter.Color(a, kGreen);
    RedrawWindow(a, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(At(frame, 20, 20), kGreen);
    EXPECT_EQ(At(frame, 50, 50), kBlue);

    // Moving the upper child uncovers what lay beneath: the parent and the
    // lower sibling repaint there.
    painter.m_paints.clear();
    SetWindowPos(b, nullptr, 60, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump();
    EXPECT_EQ(At(frame, 50, 50), kGreen);
    EXPECT_EQ(At(frame, 45, 45), kGreen);
    EXPECT_EQ(At(frame, 65, 65), kBlue);
    bool parentPainted = false;
    for (const auto& p : painter.m_paints)
        parentPainted |= p.hwnd == frame;
    EXPECT_TRUE(parentPainted);
    DestroyWindow(frame);
}

TEST(Painting, ParentsWithoutClipChildrenPaintFirstAndChildrenOverThem)
{
    WindowLog log;
    Painter painter(log);
    HWND frame = log.Create("frame", WS_POPUP | WS_VISIBLE, Rect(0, 0, 100, 100));
    HWND child = log.Create("child", WS_CHILD | WS_VISIBLE, Rect(10, 10, 30, 30), frame);
    painter.Color(frame, kWhite);
    painter.Color(child, kRed);
    Pump();
    painter.m_paints.clear();
    InvalidateRect(frame, nullptr, TRUE); // reaches the child: the frame does not clip it
    Pump();
    ASSERT_EQ(painter.m_paints.size(), 2u);
    EXPECT_EQ(painter.m_paints[0].hwnd, frame);
    EXPECT_EQ(painter.m_paints[1].hwnd, child);
    EXPECT_EQ(At(frame, 15, 15), kRed);
    DestroyWindow(frame);
}

TEST(Painting, RedrawFlagsUpdateWindowAndSetRedraw)
{
    WindowLog log;
    HWND hwnd = log.Create("w", WS_POPUP | WS_VISIBLE | WS_BORDER, Rect(0, 0, 60, 60));
    Pump();
    const std::set<UINT> paints = {WM_NCPAINT, WM_ERASEBKGND, WM_PAINT};
    struct Case {
        UINT flags;
        std::vector<UINT> now;   // during the call
        std::vector<UINT> later; // when the queue is pumped
    };
    const Case cases[] = {
        {RDW_INVALIDATE, {}, {WM_PAINT}},
        {RDW_INVALIDATE | RDW_ERASE, {}, {WM_PAINT, WM_ERASEBKGND}},
        {RDW_INVALIDATE | RDW_FRAME | RDW_ERASE, {}, {WM_PAINT, WM_NCPAINT, WM_ERASEBKGND}},
        {RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW, {WM_PAINT, WM_ERASEBKGND}, {}},
        {RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW, {WM_ERASEBKGND}, {WM_PAINT}},
        {RDW_INTERNALPAINT, {}, {WM_PAINT}},
    };
    for (const Case& c : cases) {
        log.Clear();
        RedrawWindow(hwnd, nullptr, nullptr, c.flags);
        std::vector<UINT> now;
        for (const auto& s : log.Steps(paints))
            now.push_back(s.message);
        EXPECT_EQ(now, c.now) << std::hex << c.flags;
        log.Clear();
        Pump();
        std::vector<UINT> later;
        for (const auto& s : log.Steps(paints))
            later.push_back(s.message);
        EXPECT_EQ(later, c.later) << std::hex << c.flags;
    }
    log.Clear();
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    EXPECT_EQ(log.Of(WM_PAINT).size(), 1u);
    UpdateWindow(hwnd); // nothing left to paint
    EXPECT_EQ(log.Of(WM_PAINT).size(), 1u);

    SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
    log.Clear();
    Pump();
    EXPECT_TRUE(log.Of(WM_PAINT).empty());
    SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
    Pump();
    EXPECT_EQ(log.Of(WM_PAINT).size(), 1u);
    DestroyWindow(hwnd);
}

TEST(Painting, NestedModalLoopsDispatchPaintsInsideAHandler)
{
    WindowLog log;
    Painter painter(log);
    HWND frame = log.Create("frame", WS_POPUP | WS_VISIBLE, Rect(0, 0, 50, 50));
    painter.Color(frame, kRed);
    Pump();
    auto paintHandler = log.m_handler;
    std::vector<UINT> inside;
    log.m_handler = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
        if (message == WM_USER) {
            // A modal loop of its own: only paints, the posted message waits.
            InvalidateRect(hwnd, nullptr, TRUE);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
                inside.push_back(msg.message);
                DispatchMessageA(&msg);
            }
            *result = 1;
            return true;
        }
        return paintHandler(hwnd, message, wParam, lParam, result);
    };
    PostMessageA(frame, WM_USER + 1, 0, 0);
    painter.Color(frame, kBlue);
    EXPECT_EQ(SendMessageA(frame, WM_USER, 0, 0), 1);
    EXPECT_EQ(inside, (std::vector<UINT>{WM_PAINT}));
    EXPECT_EQ(At(frame, 10, 10), kBlue);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    DestroyWindow(frame);
}

TEST(Painting, ThePresenterHearsOfChangesAndDamage)
{
    auto& presenter = tavrin::display::GetHeadlessPresenter();
    WindowLog log;
    Painter painter(log);
    HWND frame = log.Create("frame", WS_POPUP | WS_VISIBLE, Rect(0, 0, 50, 50));
    HWND child = log.Create("child", WS_CHILD | WS_VISIBLE, Rect(10, 10, 20, 20), frame);
    painter.Color(frame, kRed);
    painter.Color(child, kBlue);
    Pump();
    EXPECT_TRUE(presenter.IsShown(frame));
    presenter.TakeDamage(frame);
    InvalidateRect(child, nullptr, FALSE);
    Pump();
    auto damage = presenter.TakeDamage(frame);
    ASSERT_EQ(damage.size(), 1u);
    EXPECT_TRUE(EqualRect(&damage[0], &(const RECT&)RECT{10, 10, 20, 20}));
    const tavrin::Surface* pixels = presenter.GetPixels(frame);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(pixels->GetPixel(15, 15) & 0xFFFFFF, tavrin::PixelFromColor(kBlue));
    MoveWindow(frame, 5, 5, 60, 60, TRUE);
    EXPECT_EQ(tavrin::win::GetWindowSurface(frame)->Width(), 60);
    ShowWindow(frame, SW_HIDE);
    EXPECT_FALSE(presenter.IsShown(frame));
    DestroyWindow(frame);
}

TEST(Painting, ScrollWindowMovesPixelsAndInvalidatesTheRest)
{
    WindowLog log;
    Painter painter(log);
    HWND hwnd = log.Create("w", WS_POPUP | WS_VISIBLE, Rect(0, 0, 40, 40));
    painter.Color(hwnd, kWhite);
    Pump();
    HDC hdc = GetDC(hwnd);
    RECT top{0, 0, 40, 10};
    HBRUSH red = CreateSolidBrush(kRed);
    FillRect(hdc, &top, red);
    DeleteObject(red);
    ReleaseDC(hwnd, hdc);
    RECT uncovered;
    EXPECT_NE(ScrollWindowEx(hwnd, 0, 10, nullptr, nullptr, nullptr, &uncovered, SW_INVALIDATE), ERROR);
    EXPECT_TRUE(EqualRect(&uncovered, &(const RECT&)RECT{0, 0, 40, 10}));
    EXPECT_EQ(At(hwnd, 5, 15), kRed); // moved down
    RECT update;
    GetUpdateRect(hwnd, &update, FALSE);
    EXPECT_TRUE(EqualRect(&update, &uncovered));
    Pump();
    EXPECT_EQ(At(hwnd, 5, 5), kWhite);
    DestroyWindow(hwnd);
}

TEST(LayeredWindows, UpdateLayeredWindowHandsOverPixelsWithAlpha)
{
    WindowLog log;
    HWND plain = log.Create("plain", WS_POPUP, Rect(0, 0, 4, 4));
    HWND layered = log.Create("layered", WS_POPUP, Rect(0, 0, 4, 4), nullptr, WS_EX_LAYERED);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = -4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(memory, &info, 0, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int i = 0; i < 16; ++i)
        pixels[i] = 0x80400000u; // premultiplied red at half alpha
    HGDIOBJ old = SelectObject(memory, dib);
    POINT origin{0, 0};
    SIZE size{4, 4};
    POINT to{300, 200};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    EXPECT_FALSE(UpdateLayeredWindow(plain, nullptr, &to, &size, memory, &origin, 0, &blend, ULW_ALPHA));
    EXPECT_TRUE(UpdateLayeredWindow(layered, nullptr, &to, &size, memory, &origin, 0, &blend, ULW_ALPHA));
    RECT r;
    GetWindowRect(layered, &r);
    EXPECT_EQ(r.left, 300);
    auto surface = tavrin::win::GetWindowSurface(layered);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->GetPixel(2, 2), 0x80400000u);
    EXPECT_TRUE(tavrin::win::GetLayeredState(layered).perPixelAlpha);
    BYTE alpha;
    EXPECT_FALSE(GetLayeredWindowAttributes(layered, nullptr, &alpha, nullptr));
    EXPECT_TRUE(SetLayeredWindowAttributes(layered, 0, 128, LWA_ALPHA));
    DWORD flags = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(layered, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    DestroyWindow(plain);
    DestroyWindow(layered);
}
