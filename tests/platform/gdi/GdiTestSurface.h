// A memory DC drawing on a small top-down 32-bit DIB section whose pixels the
// test reads directly (0x00RRGGBB per pixel).
#pragma once

#include "platform/gdi/Gdi.h"

#include <cstdint>
#include <string>

class TestSurface {
public:
    TestSurface(int width, int height, COLORREF fill = RGB(255, 255, 255)) : m_width(width), m_height(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        Fill(fill);
    }
    ~TestSurface()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    TestSurface(const TestSurface&) = delete;
    TestSurface& operator=(const TestSurface&) = delete;

    HDC Dc() const { return m_dc; }
    HBITMAP Bitmap() const { return m_bitmap; }
    uint32_t Pixel(int x, int y) const { return m_bits[y * m_width + x] & 0x00FFFFFFu; }
    uint32_t Raw(int x, int y) const { return m_bits[y * m_width + x]; }
    void SetRaw(int x, int y, uint32_t v) { m_bits[y * m_width + x] = v; }
    void Fill(COLORREF c)
    {
        uint32_t p = (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
        for (int i = 0; i < m_width * m_height; ++i)
            m_bits[i] = p;
    }
    // One character per pixel: '#' for the colour, '.' for anything else.
    std::string Rows(uint32_t ink) const
    {
        std::string s;
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x)
                s += Pixel(x, y) == ink ? '#' : '.';
            s += '\n';
        }
        return s;
    }
    int Count(uint32_t ink) const
    {
        int n = 0;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                n += Pixel(x, y) == ink;
        return n;
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width, m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    uint32_t* m_bits = nullptr;
};
