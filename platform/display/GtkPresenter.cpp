#include "platform/display/GtkPresenter.h"

#include "platform/base/CodePage.h"
#include "platform/browser/Browser.h"
#include "platform/browser/WebKitEngine.h"
#include "platform/display/GtkHost.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/QueueWait.h"
#include "platform/win/Surface.h"
#include "platform/win/Window.h"
#include "platform/win/WindowGeometry.h"

#include <gtk/gtk.h>
#include <gdk/gdkx.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace tavrin::display {

namespace {

bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void Shift(RECT* r, LONG dx, LONG dy)
{
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
}

// Window state as the window system keeps it: top-level rectangles in screen
// coordinates, children's in their parent's client coordinates.
RECT WindowRect(HWND hwnd)
{
    auto w = win::Window::FromHandle(hwnd);
    return w ? w->GetRect() : RECT{};
}

LONG Style(HWND hwnd)
{
    auto w = win::Window::FromHandle(hwnd);
    return w ? w->GetStyle() : 0;
}

LONG ExStyle(HWND hwnd)
{
    auto w = win::Window::FromHandle(hwnd);
    return w ? w->GetExStyle() : 0;
}

HWND TopLevelOf(HWND hwnd)
{
    HWND top = hwnd;
    while (HWND parent = (Style(top) & WS_CHILD) ? GetParent(top) : nullptr)
        top = parent;
    return top;
}

// The host's client rectangle in its top-level window's client coordinates;
// false when it or an ancestor is hidden.
bool HostPlacement(HWND host, HWND* top, RECT* rect)
{
    RECT r = WindowRect(host);
    Shift(&r, -r.left, -r.top);
    bool visible = true;
    HWND h = host;
    while (Style(h) & WS_CHILD) {
        visible = visible && (Style(h) & WS_VISIBLE);
        RECT own = WindowRect(h);
        Shift(&r, own.left, own.top);
        h = GetParent(h);
        if (!h)
            return false;
    }
    *top = h;
    *rect = r;
    return visible && (Style(h) & WS_VISIBLE);
}

// Decorated by the desktop: frames with a caption that are not tool windows.
bool IsFrame(HWND hwnd)
{
    const LONG style = Style(hwnd);
    return (style & WS_CAPTION) == WS_CAPTION && !(ExStyle(hwnd) & WS_EX_TOOLWINDOW);
}

// Input delivery into our queues.
void DeliverMouse(HWND top, UINT message, WPARAM keys, int x, int y)
{
    PostMessageA(top, message, keys, MAKELPARAM(x, y));
}

void DeliverKey(HWND top, UINT message, UINT vk, LPARAM bits)
{
    PostMessageA(top, message, vk, bits);
}

void DeliverText(HWND top, const std::string& gbk)
{
    for (unsigned char c : gbk)
        PostMessageA(top, WM_CHAR, c, 1);
}

UINT VirtualKey(guint keyval)
{
    if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z)
        return 'A' + (keyval - GDK_KEY_a);
    if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z)
        return 'A' + (keyval - GDK_KEY_A);
    if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9)
        return '0' + (keyval - GDK_KEY_0);
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F24)
        return 0x70 + (keyval - GDK_KEY_F1);
    static const std::pair<guint, UINT> keys[] = {
        {GDK_KEY_BackSpace, 0x08}, {GDK_KEY_Tab, 0x09},     {GDK_KEY_ISO_Left_Tab, 0x09}, {GDK_KEY_Return, 0x0D},
        {GDK_KEY_KP_Enter, 0x0D},  {GDK_KEY_Shift_L, 0x10}, {GDK_KEY_Shift_R, 0x10},      {GDK_KEY_Control_L, 0x11},
        {GDK_KEY_Control_R, 0x11}, {GDK_KEY_Alt_L, 0x12},   {GDK_KEY_Alt_R, 0x12},        {GDK_KEY_Pause, 0x13},
        {GDK_KEY_Caps_Lock, 0x14}, {GDK_KEY_Escape, 0x1B},  {GDK_KEY_space, 0x20},        {GDK_KEY_Page_Up, 0x21},
        {GDK_KEY_Page_Down, 0x22}, {GDK_KEY_End, 0x23},     {GDK_KEY_Home, 0x24},         {GDK_KEY_Left, 0x25},
        {GDK_KEY_Up, 0x26},        {GDK_KEY_Right, 0x27},   {GDK_KEY_Down, 0x28},         {GDK_KEY_Insert, 0x2D},
        {GDK_KEY_Delete, 0x2E},    {GDK_KEY_Num_Lock, 0x90}, {GDK_KEY_Scroll_Lock, 0x91}, {GDK_KEY_Menu, 0x5D},
    };
    for (const auto& [k, vk] : keys)
        if (k == keyval)
            return vk;
    return 0;
}

WPARAM MouseKeys(guint state)
{
    WPARAM keys = 0;
    if (state & GDK_BUTTON1_MASK)
        keys |= 0x0001; // MK_LBUTTON
    if (state & GDK_BUTTON3_MASK)
        keys |= 0x0002; // MK_RBUTTON
    if (state & GDK_SHIFT_MASK)
        keys |= 0x0004; // MK_SHIFT
    if (state & GDK_CONTROL_MASK)
        keys |= 0x0008; // MK_CONTROL
    if (state & GDK_BUTTON2_MASK)
        keys |= 0x0010; // MK_MBUTTON
    return keys;
}

constexpr UINT kProcessKey = 0xE5; // VK_PROCESSKEY: the IME took the key

struct TopLevel {
    HWND hwnd = nullptr;
    GtkWidget* window = nullptr;
    GtkWidget* fixed = nullptr;
    GtkWidget* area = nullptr;
    GtkIMContext* im = nullptr;
    cairo_surface_t* pixels = nullptr; // copy of the window's surface
    POINT clientOffset{};              // client origin within the surface
    std::string commit;                // text the IME committed during one key filter
    bool filtering = false;
    RECT applied{};                    // the geometry last given to GTK
};

class GtkPresenterImpl final : public GtkPresenter {
public:
    void WindowShown(HWND hwnd) override;
    void WindowHidden(HWND hwnd) override;
    void WindowDestroyed(HWND hwnd) override;
    void WindowChanged(HWND hwnd) override;
    void SurfaceDamaged(HWND hwnd, const Surface& surface, const RECT& damage) override;
    bool SetClipboardText(const std::string& gbk) override;
    bool GetClipboardText(std::string& gbk) override;
    std::unique_ptr<Surface> CaptureWindow(HWND hwnd) override;
    void Flush() override;
    bool SimulateClick(HWND hwnd, int x, int y, int button) override;
    bool SimulateKey(HWND hwnd, const char* keyName) override;
    bool SimulateImeCommit(HWND hwnd, const std::string& utf8) override;

    TopLevel* Find(HWND hwnd)
    {
        auto it = m_tops.find(hwnd);
        return it == m_tops.end() ? nullptr : &it->second;
    }
    TopLevel& Make(HWND hwnd);
    void Apply(TopLevel& top);
    void PlaceWidgetsOf(HWND top);

    std::map<HWND, TopLevel> m_tops;
    std::map<HWND, GtkWidget*> m_widgets; // host -> native widget
};

GtkPresenterImpl* g_presenter = nullptr;

// GLib's loop inside ours: runs its events until a handle is signalled.
gboolean TimeoutFired(gpointer fired)
{
    *static_cast<bool*>(fired) = true;
    return G_SOURCE_REMOVE;
}

DWORD GtkQueueWait(DWORD count, const HANDLE* handles, DWORD milliseconds)
{
    const gint64 deadline = g_get_monotonic_time() / 1000 + (milliseconds == INFINITE ? 0 : milliseconds);
    for (;;) {
        DWORD r = WaitForMultipleObjects(count, handles, FALSE, 0);
        if (r != WAIT_TIMEOUT)
            return r;
        if (g_main_context_pending(nullptr)) {
            g_main_context_iteration(nullptr, FALSE);
            continue;
        }
        gint64 slice = -1;
        if (milliseconds != INFINITE) {
            slice = deadline - g_get_monotonic_time() / 1000;
            if (slice <= 0)
                return WAIT_TIMEOUT;
        }
        // Other handles cannot wake GLib: look at them now and then.
        if (count > 1 && (slice < 0 || slice > 10))
            slice = 10;
        bool fired = false;
        guint source = slice >= 0 ? g_timeout_add(static_cast<guint>(slice), TimeoutFired, &fired) : 0;
        g_main_context_iteration(nullptr, TRUE);
        if (source && !fired)
            g_source_remove(source);
    }
}

void GtkQueuePoll()
{
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

void GtkQueueWake()
{
    g_main_context_wakeup(nullptr);
}

// Signal handlers. Each only posts into our queues or updates the presenter.
gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer data)
{
    auto* top = g_presenter ? g_presenter->Find(static_cast<HWND>(data)) : nullptr;
    if (top && top->pixels) {
        cairo_set_source_surface(cr, top->pixels, -top->clientOffset.x, -top->clientOffset.y);
        cairo_paint(cr);
    }
    return TRUE;
}

gboolean OnButton(GtkWidget*, GdkEventButton* event, gpointer data)
{
    HWND hwnd = static_cast<HWND>(data);
    const bool press = event->type == GDK_BUTTON_PRESS || event->type == GDK_2BUTTON_PRESS;
    if (event->type == GDK_3BUTTON_PRESS)
        return TRUE;
    if (event->type == GDK_BUTTON_PRESS)
        if (TopLevel* top = g_presenter ? g_presenter->Find(hwnd) : nullptr)
            gtk_widget_grab_focus(top->area);
    UINT base = event->button == 1 ? WM_LBUTTONDOWN : event->button == 3 ? WM_RBUTTONDOWN
              : event->button == 2 ? WM_MBUTTONDOWN : 0;
    if (!base)
        return FALSE;
    UINT message = event->type == GDK_2BUTTON_PRESS ? base + 2 : press ? base : base + 1;
    WPARAM keys = MouseKeys(event->state);
    const WPARAM bit = base == WM_LBUTTONDOWN ? 1 : base == WM_RBUTTONDOWN ? 2 : 0x10;
    keys = press ? keys | bit : keys & ~bit;
    DeliverMouse(hwnd, message, keys, static_cast<int>(event->x), static_cast<int>(event->y));
    return TRUE;
}

gboolean OnMotion(GtkWidget*, GdkEventMotion* event, gpointer data)
{
    DeliverMouse(static_cast<HWND>(data), WM_MOUSEMOVE, MouseKeys(event->state), static_cast<int>(event->x),
                 static_cast<int>(event->y));
    return TRUE;
}

gboolean OnScroll(GtkWidget*, GdkEventScroll* event, gpointer data)
{
    int delta = event->direction == GDK_SCROLL_UP ? 120 : event->direction == GDK_SCROLL_DOWN ? -120 : 0;
    if (!delta)
        return FALSE;
    PostMessageA(static_cast<HWND>(data), WM_MOUSEWHEEL, MAKEWPARAM(MouseKeys(event->state), delta),
                 MAKELPARAM(static_cast<int>(event->x_root), static_cast<int>(event->y_root)));
    return TRUE;
}

gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data)
{
    HWND hwnd = static_cast<HWND>(data);
    TopLevel* top = g_presenter ? g_presenter->Find(hwnd) : nullptr;
    if (!top)
        return FALSE;
    // Keys for a browser pane go to it; it routes them through our queue.
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(top->window));
    if (focus && focus != top->area)
        return FALSE;
    const bool down = event->type == GDK_KEY_PRESS;
    const UINT vk = VirtualKey(event->keyval);
    const bool alt = (event->state & GDK_MOD1_MASK) != 0;
    const LPARAM bits = 1 | (static_cast<LPARAM>(event->hardware_keycode & 0xFF) << 16) | (alt ? (1 << 29) : 0) |
                        (down ? 0 : (LPARAM(3) << 30));
    top->commit.clear();
    top->filtering = true;
    const bool filtered = gtk_im_context_filter_keypress(top->im, event);
    top->filtering = false;
    const UINT message = alt || vk == 0x12 ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    if (!filtered) {
        if (vk)
            DeliverKey(hwnd, message, vk, bits);
        return TRUE;
    }
    // A plain character the key itself types: the key goes in and the
    // message loop's translation makes the character, as for any key.
    const std::string& text = top->commit;
    if (text.size() == 1 && vk && static_cast<unsigned char>(text[0]) >= 0x20 &&
        static_cast<unsigned char>(text[0]) < 0x7F) {
        DeliverKey(hwnd, message, vk, bits);
        return TRUE;
    }
    if (down)
        DeliverKey(hwnd, message, kProcessKey, bits);
    if (!text.empty())
        DeliverText(hwnd, Utf8ToGbk(text));
    return TRUE;
}

void OnCommit(GtkIMContext*, gchar* text, gpointer data)
{
    HWND hwnd = static_cast<HWND>(data);
    TopLevel* top = g_presenter ? g_presenter->Find(hwnd) : nullptr;
    if (!top)
        return;
    if (top->filtering)
        top->commit += text;
    else
        DeliverText(hwnd, Utf8ToGbk(text)); // an input method finished later
}

gboolean OnFocus(GtkWidget*, GdkEventFocus* event, gpointer data)
{
    HWND hwnd = static_cast<HWND>(data);
    TopLevel* top = g_presenter ? g_presenter->Find(hwnd) : nullptr;
    if (top) {
        if (event->in)
            gtk_im_context_focus_in(top->im);
        else
            gtk_im_context_focus_out(top->im);
    }
    PostMessageA(hwnd, WM_ACTIVATE, event->in ? 1 /* WA_ACTIVE */ : 0, 0);
    return FALSE;
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data)
{
    // The program decides: the close box is the system command.
    PostMessageA(static_cast<HWND>(data), WM_SYSCOMMAND, 0xF060 /* SC_CLOSE */, 0);
    return TRUE;
}

gboolean OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer data)
{
    HWND hwnd = static_cast<HWND>(data);
    if (event->changed_mask & GDK_WINDOW_STATE_ICONIFIED) {
        if (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED)
            PostMessageA(hwnd, WM_SYSCOMMAND, 0xF020 /* SC_MINIMIZE */, 0);
        else
            PostMessageA(hwnd, WM_SYSCOMMAND, 0xF120 /* SC_RESTORE */, 0);
    } else if (event->changed_mask & GDK_WINDOW_STATE_MAXIMIZED) {
        PostMessageA(hwnd, WM_SYSCOMMAND,
                     (event->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) ? 0xF030 /* SC_MAXIMIZE */
                                                                           : 0xF120 /* SC_RESTORE */,
                     0);
    }
    return FALSE;
}

gboolean OnConfigure(GtkWidget* widget, GdkEventConfigure* event, gpointer data)
{
    HWND hwnd = static_cast<HWND>(data);
    TopLevel* top = g_presenter ? g_presenter->Find(hwnd) : nullptr;
    auto window = win::Window::FromHandle(hwnd);
    if (!top || !window)
        return FALSE;
    // The desktop moved or sized the window: ours follows.
    gint x = event->x, y = event->y;
    if (gtk_widget_get_realized(widget))
        gdk_window_get_origin(gtk_widget_get_window(widget), &x, &y);
    RECT now{x - top->clientOffset.x, y - top->clientOffset.y, 0, 0};
    now.right = now.left + top->clientOffset.x + event->width;
    now.bottom = now.top + top->clientOffset.y + event->height;
    const RECT old = window->GetRect();
    if (Same(now, old) || Same(now, top->applied))
        return FALSE;
    top->applied = now;
    window->SetRect(now);
    PostMessageA(hwnd, WM_WINDOWPOSCHANGED, 0, 0);
    if (now.right - now.left != old.right - old.left || now.bottom - now.top != old.bottom - old.top)
        PostMessageA(hwnd, WM_SIZE, 0 /* SIZE_RESTORED */, MAKELPARAM(now.right - now.left, now.bottom - now.top));
    return FALSE;
}

TopLevel& GtkPresenterImpl::Make(HWND hwnd)
{
    TopLevel& top = m_tops[hwnd];
    if (top.window)
        return top;
    top.hwnd = hwnd;
    const bool frame = IsFrame(hwnd);
    top.window = gtk_window_new(frame ? GTK_WINDOW_TOPLEVEL : GTK_WINDOW_POPUP);
    g_object_ref_sink(top.window);
    gtk_window_set_decorated(GTK_WINDOW(top.window), frame);
    if (ExStyle(hwnd) & WS_EX_TOPMOST)
        gtk_window_set_keep_above(GTK_WINDOW(top.window), TRUE);
    if (ExStyle(hwnd) & WS_EX_TOOLWINDOW)
        gtk_window_set_skip_taskbar_hint(GTK_WINDOW(top.window), TRUE);
    top.fixed = gtk_fixed_new();
    top.area = gtk_drawing_area_new();
    gtk_widget_set_can_focus(top.area, TRUE);
    gtk_widget_add_events(top.area, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                         GDK_SCROLL_MASK | GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK);
    gtk_fixed_put(GTK_FIXED(top.fixed), top.area, 0, 0);
    gtk_container_add(GTK_CONTAINER(top.window), top.fixed);
    top.im = gtk_im_multicontext_new();
    gpointer data = hwnd;
    g_signal_connect(top.area, "draw", G_CALLBACK(OnDraw), data);
    g_signal_connect(top.area, "button-press-event", G_CALLBACK(OnButton), data);
    g_signal_connect(top.area, "button-release-event", G_CALLBACK(OnButton), data);
    g_signal_connect(top.area, "motion-notify-event", G_CALLBACK(OnMotion), data);
    g_signal_connect(top.area, "scroll-event", G_CALLBACK(OnScroll), data);
    g_signal_connect(top.window, "key-press-event", G_CALLBACK(OnKey), data);
    g_signal_connect(top.window, "key-release-event", G_CALLBACK(OnKey), data);
    g_signal_connect(top.window, "focus-in-event", G_CALLBACK(OnFocus), data);
    g_signal_connect(top.window, "focus-out-event", G_CALLBACK(OnFocus), data);
    g_signal_connect(top.window, "delete-event", G_CALLBACK(OnDelete), data);
    g_signal_connect(top.window, "window-state-event", G_CALLBACK(OnWindowState), data);
    g_signal_connect(top.window, "configure-event", G_CALLBACK(OnConfigure), data);
    g_signal_connect(top.im, "commit", G_CALLBACK(OnCommit), data);
    return top;
}

void GtkPresenterImpl::Apply(TopLevel& top)
{
    RECT r = WindowRect(top.hwnd);
    // A frame gets the desktop's decorations: it shows only our client area.
    top.clientOffset = POINT{0, 0};
    if (IsFrame(top.hwnd)) {
        POINT origin{0, 0};
        ClientToScreen(top.hwnd, &origin);
        top.clientOffset = POINT{origin.x - r.left, origin.y - r.top};
    }
    const int width = std::max<LONG>(1, r.right - r.left - top.clientOffset.x);
    const int height = std::max<LONG>(1, r.bottom - r.top - top.clientOffset.y);
    auto window = win::Window::FromHandle(top.hwnd);
    if (window)
        gtk_window_set_title(GTK_WINDOW(top.window), GbkToUtf8(window->GetText()).c_str());
    gtk_widget_set_size_request(top.area, width, height);
    if (!Same(r, top.applied)) {
        top.applied = r;
        gtk_window_move(GTK_WINDOW(top.window), r.left, r.top);
        gtk_window_resize(GTK_WINDOW(top.window), width, height);
    }
}

void GtkPresenterImpl::WindowShown(HWND hwnd)
{
    TopLevel& top = Make(hwnd);
    Apply(top);
    gtk_widget_show_all(top.window);
    gtk_im_context_set_client_window(top.im, gtk_widget_get_window(top.area));
    gtk_widget_grab_focus(top.area);
    PlaceWidgetsOf(hwnd);
}

void GtkPresenterImpl::WindowHidden(HWND hwnd)
{
    if (TopLevel* top = Find(hwnd))
        gtk_widget_hide(top->window);
}

void GtkPresenterImpl::WindowDestroyed(HWND hwnd)
{
    TopLevel* top = Find(hwnd);
    if (!top)
        return;
    for (auto& [host, widget] : m_widgets) {
        if (gtk_widget_get_parent(widget) == top->fixed)
            gtk_container_remove(GTK_CONTAINER(top->fixed), widget);
    }
    gtk_im_context_set_client_window(top->im, nullptr);
    g_object_unref(top->im);
    gtk_widget_destroy(top->window);
    g_object_unref(top->window);
    if (top->pixels)
        cairo_surface_destroy(top->pixels);
    m_tops.erase(hwnd);
}

void GtkPresenterImpl::WindowChanged(HWND hwnd)
{
    if (TopLevel* top = Find(hwnd)) {
        Apply(*top);
        PlaceWidgetsOf(hwnd);
    }
}

void GtkPresenterImpl::SurfaceDamaged(HWND hwnd, const Surface& surface, const RECT& damage)
{
    TopLevel& top = Make(hwnd);
    if (!top.pixels || cairo_image_surface_get_width(top.pixels) != surface.Width() ||
        cairo_image_surface_get_height(top.pixels) != surface.Height()) {
        if (top.pixels)
            cairo_surface_destroy(top.pixels);
        top.pixels = cairo_image_surface_create(CAIRO_FORMAT_RGB24, surface.Width(), surface.Height());
    }
    RECT r{std::max<LONG>(damage.left, 0), std::max<LONG>(damage.top, 0), std::min<LONG>(damage.right, surface.Width()),
           std::min<LONG>(damage.bottom, surface.Height())};
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    cairo_surface_flush(top.pixels);
    unsigned char* data = cairo_image_surface_get_data(top.pixels);
    const int stride = cairo_image_surface_get_stride(top.pixels);
    for (LONG y = r.top; y < r.bottom; ++y)
        std::memcpy(data + y * stride + r.left * 4, surface.Scanline(y) + r.left, (r.right - r.left) * 4);
    cairo_surface_mark_dirty_rectangle(top.pixels, r.left, r.top, r.right - r.left, r.bottom - r.top);
    gtk_widget_queue_draw_area(top.area, r.left - top.clientOffset.x, r.top - top.clientOffset.y, r.right - r.left,
                               r.bottom - r.top);
    PlaceWidgetsOf(hwnd);
}

bool GtkPresenterImpl::SetClipboardText(const std::string& gbk)
{
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    std::string utf8 = GbkToUtf8(gbk);
    gtk_clipboard_set_text(clipboard, utf8.c_str(), static_cast<gint>(utf8.size()));
    gtk_clipboard_store(clipboard);
    return true;
}

bool GtkPresenterImpl::GetClipboardText(std::string& gbk)
{
    gchar* text = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
    if (!text)
        return false;
    gbk = Utf8ToGbk(text);
    g_free(text);
    return true;
}

std::unique_ptr<Surface> GtkPresenterImpl::CaptureWindow(HWND hwnd)
{
    TopLevel* top = Find(hwnd);
    if (!top || !gtk_widget_get_mapped(top->window))
        return nullptr;
    GdkWindow* gdkWindow = gtk_widget_get_window(top->fixed);
    const int width = gtk_widget_get_allocated_width(top->fixed);
    const int height = gtk_widget_get_allocated_height(top->fixed);
    GdkPixbuf* pixbuf = gdk_pixbuf_get_from_window(gdkWindow, 0, 0, width, height);
    if (!pixbuf)
        return nullptr;
    auto surface = Surface::Create(width, height);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    const guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    for (int y = 0; surface && y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const guchar* p = pixels + y * stride + x * channels;
            surface->SetPixel(x, y, (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2]);
        }
    g_object_unref(pixbuf);
    return surface;
}

void GtkPresenterImpl::Flush()
{
    for (int i = 0; i < 1000 && g_main_context_pending(nullptr); ++i)
        g_main_context_iteration(nullptr, FALSE);
    gdk_display_sync(gdk_display_get_default());
}

// Input through the X server's test extension: it arrives exactly as a
// person's would, window manager and focus included.
bool GtkPresenterImpl::SimulateClick(HWND hwnd, int x, int y, int button)
{
    TopLevel* top = Find(hwnd);
    if (!top || !gtk_widget_get_realized(top->window))
        return false;
    Display* display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    gint originX = 0, originY = 0;
    gdk_window_get_origin(gtk_widget_get_window(top->fixed), &originX, &originY);
    XTestFakeMotionEvent(display, -1, originX + x, originY + y, CurrentTime);
    XTestFakeButtonEvent(display, static_cast<unsigned>(button), True, CurrentTime);
    XTestFakeButtonEvent(display, static_cast<unsigned>(button), False, CurrentTime);
    XFlush(display);
    return true;
}

bool GtkPresenterImpl::SimulateKey(HWND hwnd, const char* keyName)
{
    TopLevel* top = Find(hwnd);
    KeySym sym = XStringToKeysym(keyName);
    if (!top || sym == NoSymbol)
        return false;
    Display* display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    KeyCode code = XKeysymToKeycode(display, sym);
    if (!code)
        return false;
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
    return true;
}

bool GtkPresenterImpl::SimulateImeCommit(HWND hwnd, const std::string& utf8)
{
    TopLevel* top = Find(hwnd);
    if (!top)
        return false;
    g_signal_emit_by_name(top->im, "commit", utf8.c_str());
    return true;
}

void GtkPresenterImpl::PlaceWidgetsOf(HWND topHwnd)
{
    for (auto& [host, widget] : m_widgets)
        if (TopLevelOf(host) == topHwnd)
            gtk::PlaceWidget(host);
}

} // namespace

GtkPresenter* StartGtkPresenter()
{
    if (g_presenter)
        return g_presenter;
    if (!gtk_init_check(nullptr, nullptr))
        return nullptr;
    g_presenter = new GtkPresenterImpl;
    win::SetQueueWait(GtkQueueWait, GtkQueuePoll);
    win::SetQueueWakeNotifier(GtkQueueWake);
    InstallPresenter(g_presenter);
    browser::SetEngineFactory([](HWND host) { return browser::CreateWebKitEngine(host); });
    return g_presenter;
}

namespace gtk {

bool IsRunning()
{
    return g_presenter != nullptr;
}

void AttachWidget(HWND host, GtkWidget* widget)
{
    if (!g_presenter)
        return;
    DetachWidget(host);
    g_object_ref_sink(widget);
    g_presenter->m_widgets[host] = widget;
    PlaceWidget(host);
}

void DetachWidget(HWND host)
{
    if (!g_presenter)
        return;
    auto it = g_presenter->m_widgets.find(host);
    if (it == g_presenter->m_widgets.end())
        return;
    GtkWidget* widget = it->second;
    g_presenter->m_widgets.erase(it);
    if (GtkWidget* parent = gtk_widget_get_parent(widget))
        gtk_container_remove(GTK_CONTAINER(parent), widget);
    g_object_unref(widget);
}

void PlaceWidget(HWND host)
{
    if (!g_presenter)
        return;
    auto it = g_presenter->m_widgets.find(host);
    if (it == g_presenter->m_widgets.end())
        return;
    GtkWidget* widget = it->second;
    HWND topHwnd = nullptr;
    RECT r{};
    const bool visible = HostPlacement(host, &topHwnd, &r);
    TopLevel* top = topHwnd ? g_presenter->Find(topHwnd) : nullptr;
    GtkWidget* parent = gtk_widget_get_parent(widget);
    if (!top) {
        if (parent)
            gtk_container_remove(GTK_CONTAINER(parent), widget);
        return;
    }
    if (parent != top->fixed) {
        if (parent)
            gtk_container_remove(GTK_CONTAINER(parent), widget);
        gtk_fixed_put(GTK_FIXED(top->fixed), widget, r.left, r.top);
    } else {
        gtk_fixed_move(GTK_FIXED(top->fixed), widget, r.left, r.top);
    }
    gtk_widget_set_size_request(widget, std::max<LONG>(1, r.right - r.left), std::max<LONG>(1, r.bottom - r.top));
    gtk_widget_set_visible(widget, visible);
}

} // namespace gtk

} // namespace tavrin::display
