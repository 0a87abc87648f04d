// The tree, list, header and tab control paint into the DC that WM_PAINT
// carries in wParam (a toolkit's memory DC), leaving the screen alone; the
// list's custom draw changes colours per row.
#include "NotifyHost.h"

#include "platform/controls/ListView.h"
#include "platform/controls/TabControl.h"
#include "platform/controls/TreeView.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/WindowSurface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace tavrin::test;

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

struct MemoryDc {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    MemoryDc(int w, int h)
    {
        dc = CreateCompatibleDC(nullptr);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bitmap);
        RECT all{0, 0, w, h};
        HBRUSH brush = CreateSolidBrush(kMagenta);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    ~MemoryDc()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    // Pixels whose red is strong and green and blue weak: red ink, also where smoothed.
    int Reddish(RECT area) const
    {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                const COLORREF c = GetPixel(dc, x, y);
                if (GetRValue(c) > 150 && GetGValue(c) < 90)
                    ++n;
            }
        return n;
    }
    int Count(COLORREF colour, RECT area) const
    {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (GetPixel(dc, x, y) == colour)
                    ++n;
        return n;
    }
};

} // namespace

TEST(ControlPainting, EachPaintsIntoTheDcItIsGiven)
{
    NotifyHost host(400, 300);
    struct Case {
        LPCSTR className;
        DWORD style;
    } cases[] = {{WC_TREEVIEWA, TVS_HASLINES}, {WC_LISTVIEWA, LVS_REPORT}, {WC_HEADERA, 0}, {WC_TABCONTROLA, 0}};
    for (const Case& c : cases) {
        HWND control = host.CreateControl(c.className, c.style, RECT{10, 10, 110, 90});
        ASSERT_TRUE(control) << c.className;
        UpdateWindow(host.Window());
        auto surface = tavrin::win::GetWindowSurface(host.Window());
        ASSERT_TRUE(surface);
        // Mark the screen where the control is; its paint into our DC must not touch it.
        surface->SetPixel(50, 50, 0xFF123456u);
        MemoryDc memory(100, 80);
        SendMessageA(control, WM_PAINT, reinterpret_cast<WPARAM>(memory.dc), 0);
        // The list leaves its header's place to the header window.
        RECT header{0, 0, 0, 0};
        if (HWND child = GetWindow(control, GW_CHILD); child && c.className == std::string(WC_LISTVIEWA))
            GetClientRect(child, &header);
        EXPECT_EQ(memory.Count(kMagenta, RECT{0, header.bottom, 100, 80}), 0)
            << c.className << " left some of the DC unpainted";
        EXPECT_EQ(surface->GetPixel(50, 50), 0xFF123456u) << c.className << " painted on the screen";
        DestroyWindow(control);
    }
}

TEST(ControlPainting, CustomDrawColoursARow)
{
    NotifyHost host(400, 300);
    HWND list = host.CreateControl(WC_LISTVIEWA, LVS_REPORT | LVS_OWNERDATA, RECT{0, 0, 200, 120});
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = 150;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageA(list, LVM_SETITEMCOUNT, 3, 0);
    host.m_inspect = [&](NMHDR* hdr, LRESULT* result) {
        if (hdr->code == LVN_GETDISPINFOA) {
            auto* disp = reinterpret_cast<NMLVDISPINFOA*>(hdr);
            if (disp->item.mask & LVIF_TEXT)
                std::strcpy(disp->item.pszText, "WWWW");
            return false;
        }
        if (hdr->code != NM_CUSTOMDRAW)
            return false;
        auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(hdr);
        *result = cd->nmcd.dwDrawStage == CDDS_PREPAINT ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
        if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && cd->nmcd.dwItemSpec == 1) {
            cd->clrText = RGB(255, 0, 0);
            cd->clrTextBk = RGB(0, 0, 255);
        }
        return true;
    };
    MemoryDc memory(200, 120);
    SendMessageA(list, WM_PAINT, reinterpret_cast<WPARAM>(memory.dc), 0);
    RECT row0{}, row1{};
    row0.left = row1.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row0));
    SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row1));
    row0.right = row1.right = 150;
    EXPECT_GT(memory.Reddish(row1), 10) << "the row's text colour";
    EXPECT_GT(memory.Count(RGB(0, 0, 255), row1), 100) << "the row's background";
    EXPECT_EQ(memory.Reddish(row0), 0);
    EXPECT_EQ(memory.Count(RGB(0, 0, 255), row0), 0);
}
