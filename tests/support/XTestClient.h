// Display tests: another client of the display server, with the real
// pointer and keys of the X test extension and the screen's pixels. Header
// only, so that only the display test programs (which link X) use it.
// Include it last: the X headers define macros (None, Bool, Status) that
// other headers trip over.
#pragma once

#include "platform/gdi/Surface.h"

#include <cstdint>
#include <memory>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace tavrin::test {

class XTestClient {
public:
    XTestClient() : m_display(XOpenDisplay(nullptr)) {}
    ~XTestClient()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    XTestClient(const XTestClient&) = delete;
    XTestClient& operator=(const XTestClient&) = delete;

    bool Ok() const { return m_display != nullptr; }
    Display* Raw() const { return m_display; }
    void Move(int x, int y)
    {
        XTestFakeMotionEvent(m_display, -1, x, y, CurrentTime);
        XFlush(m_display);
    }
    void Click(int x, int y, unsigned button = 1)
    {
        Move(x, y);
        XTestFakeButtonEvent(m_display, button, True, CurrentTime);
        XTestFakeButtonEvent(m_display, button, False, CurrentTime);
        XFlush(m_display);
    }
    // A key by its X name ("Escape", "Right", "a"), pressed and released.
    void Key(const char* name)
    {
        KeyCode code = XKeysymToKeycode(m_display, XStringToKeysym(name));
        XTestFakeKeyEvent(m_display, code, True, CurrentTime);
        XTestFakeKeyEvent(m_display, code, False, CurrentTime);
        XFlush(m_display);
    }
    // The screen's pixel as RGB; all ones when it cannot be read.
    uint32_t Pixel(int x, int y)
    {
        XImage* image = XGetImage(m_display, DefaultRootWindow(m_display), x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image)
            return 0xFFFFFFFF;
        const unsigned long p = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return static_cast<uint32_t>(p & 0xFFFFFF);
    }
    // The screen's pixels of a rectangle, for looking at.
    std::unique_ptr<Surface> Grab(int left, int top, int right, int bottom)
    {
        const int w = right - left, h = bottom - top;
        XImage* image = XGetImage(m_display, DefaultRootWindow(m_display), left, top, static_cast<unsigned>(w),
                                  static_cast<unsigned>(h), AllPlanes, ZPixmap);
        auto surface = Surface::Create(w, h);
        for (int y = 0; image && surface && y < h; ++y)
            for (int x = 0; x < w; ++x)
                surface->SetPixel(x, y, static_cast<uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF) | 0xFF000000u);
        if (image)
            XDestroyImage(image);
        return surface;
    }

private:
    Display* m_display;
};

} // namespace tavrin::test
