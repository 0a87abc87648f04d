// What every control of this folder shares: its state object behind the
// window's extra bytes, the font, notifications and colours asked of the
// parent, and painting into the DC that WM_PAINT may carry in wParam.
#pragma once

#include "platform/controls/CommCtrl.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/ResourceImage.h"
#include "platform/win/User.h"

#include <string>

namespace tavrin::controls {

class Control {
public:
    explicit Control(HWND hwnd) : m_hwnd(hwnd) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Messages a control does not take go here: painting (into the DC of
    // WM_PAINT's wParam when it carries one), the font, enabling and text
    // changes that repaint, then the default.
    virtual LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    // Paints the whole client area, background included.
    virtual void Paint(HDC) {}

    HWND Hwnd() const { return m_hwnd; }
    DWORD Style() const { return static_cast<DWORD>(GetWindowLongA(m_hwnd, GWL_STYLE)); }
    int Id() const { return static_cast<int>(GetWindowLongPtrA(m_hwnd, GWLP_ID)); }
    // The window notifications go to: the parent, or a popup's owner.
    virtual HWND NotifyTarget() const;
    HFONT Font() const;
    bool Enabled() const { return IsWindowEnabled(m_hwnd) != FALSE; }
    std::string Text() const;

    // WM_COMMAND with the control's id and the code.
    void Command(WORD code) const;
    // WM_NOTIFY; hdr (or a bare NMHDR) gets the control's handle, id and code.
    LRESULT Notify(UINT code, NMHDR* hdr = nullptr) const;
    // The parent's brush for WM_CTLCOLOR*, which also sets the DC's colours.
    HBRUSH CtlColor(UINT message, HDC hdc) const;
    void Redraw() const { InvalidateRect(m_hwnd, nullptr, TRUE); }

protected:
    HWND m_hwnd;
    HFONT m_font = nullptr;
};

// The bitmap or icon a button or static shows (BM_/STM_SETIMAGE).
struct ControlImage {
    HANDLE handle = nullptr;
    UINT type = IMAGE_BITMAP;
    // Takes the image when its type is one of the accepted ones (a mask of
    // 1 << IMAGE_*); answers the previous image of that type, or null.
    LRESULT Set(WPARAM newType, LPARAM image, unsigned acceptedTypes);
    LRESULT Get(WPARAM wantedType) const { return wantedType == type ? reinterpret_cast<LRESULT>(handle) : 0; }
};

// The DC to paint with: WM_PAINT's wParam when it carries one, else BeginPaint.
class PaintDc {
public:
    PaintDc(HWND hwnd, WPARAM wParam);
    ~PaintDc();
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC Get() const { return m_hdc; }

private:
    HWND m_hwnd;
    HDC m_hdc;
    bool m_began = false;
    PAINTSTRUCT m_ps{};
    int m_saved = 0;
};

// Text in the control's colours, or embossed grey when disabled. Prefixes
// ("&") are honoured unless the format has DT_NOPREFIX.
void DrawControlText(HDC hdc, const std::string& text, RECT* rect, UINT format, bool enabled);
// The height of a line of the font.
int LineHeight(HDC hdc);
int LineHeight(HFONT font);
// A bitmap's or icon's (IMAGE_BITMAP, IMAGE_ICON, IMAGE_CURSOR) size, and
// the image drawn at its size with its top left at (x, y).
SIZE ImageSize(HANDLE image, UINT type);
void DrawImage(HDC hdc, HANDLE image, UINT type, int x, int y);
// Copies text to a caller's buffer of size bytes, cut at a character
// boundary and terminated; returns the bytes copied.
int CopyTextOut(const std::string& text, WPARAM size, LPARAM buffer);

// EM_GETSEL's answer: both ends through the pointers the message may carry,
// packed into the result when they fit in 16 bits (else -1).
LRESULT GetSelAnswer(int start, int end, WPARAM wParam, LPARAM lParam);
// The two bytes of a double-byte character that WM_IME_CHAR carries with its
// lead byte in the high byte; empty when it carries a single byte.
std::string ImeDoubleByte(WPARAM wParam);

// Registers a control class whose windows keep a T in their extra bytes:
// made at WM_NCCREATE, deleted after WM_NCDESTROY.
bool RegisterControl(LPCSTR name, WNDPROC proc, UINT style, LPCSTR cursor = nullptr);

template <class T>
T* StateOf(HWND hwnd)
{
    return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, 0));
}

template <class T>
LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    T* state = StateOf<T>(hwnd);
    if (!state) {
        if (message != WM_NCCREATE)
            return DefWindowProcA(hwnd, message, wParam, lParam);
        state = new T(hwnd);
        SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(state));
    }
    if (message == WM_NCDESTROY) {
        LRESULT result = state->Handle(message, wParam, lParam);
        SetWindowLongPtrA(hwnd, 0, 0);
        delete state;
        return result;
    }
    return state->Handle(message, wParam, lParam);
}

} // namespace tavrin::controls
