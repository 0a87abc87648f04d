#include "platform/display/GtkPresenter.h"

#include "platform/base/CodePage.h"
#include "platform/browser/Browser.h"
#include "platform/display/WebKitEngine.h"
#include "platform/display/Desktop.h"
#include "platform/display/GtkHost.h"
#include "platform/display/GtkParts.h"
#include "platform/win/Cursor.h"
#include "platform/win/Focus.h"
#include "platform/gdi/Icon.h"
#include "platform/win/Input.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/OptionalLibrary.h"
#include "platform/win/QueueWait.h"
#include "platform/gdi/Region.h"
#include "platform/win/ShellTray.h"
#include "platform/gdi/Surface.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/Window.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowSurface.h"

#include <gtk/gtk.h>
#include <gdk/gdkx.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <vector>

namespace tavrin::display {

namespace {

constexpr WPARAM kScMinimize = 0xF020;
constexpr WPARAM kScMaximize = 0xF030;
constexpr WPARAM kScClose = 0xF060;
constexpr WPARAM kScRestore = 0xF120;

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
// The host's client rectangle and the part of it its ancestors show, in the
// top-level window's client coordinates.
bool HostPlacement(HWND host, HWND* top, RECT* rect, RECT* shown)
{
    bool visible = true;
    HWND h = host;
    while (Style(h) & WS_CHILD) {
        visible = visible && (Style(h) & WS_VISIBLE);
        h = GetParent(h);
        if (!h)
            return false;
    }
    POINT topOrigin{0, 0};
    ClientToScreen(h, &topOrigin);
    // A window's client rectangle in the top-level window's client coordinates.
    auto clientIn = [&](HWND w) {
        POINT origin{0, 0};
        ClientToScreen(w, &origin);
        RECT client{};
        GetClientRect(w, &client);
        return RECT{origin.x - topOrigin.x, origin.y - topOrigin.y, origin.x - topOrigin.x + client.right,
                    origin.y - topOrigin.y + client.bottom};
    };
    *rect = clientIn(host);
    // What the ancestors' client areas leave of it.
    *shown = *rect;
    for (HWND a = host == h ? nullptr : GetParent(host); a; a = a == h ? nullptr : GetParent(a)) {
        const RECT c = clientIn(a);
        shown->left = std::max(shown->left, c.left);
        shown->top = std::max(shown->top, c.top);
        shown->right = std::min(shown->right, c.right);
        shown->bottom = std::min(shown->bottom, c.bottom);
    }
    if (shown->right <= shown->left || shown->bottom <= shown->top)
        visible = false;
    *top = h;
    return visible && (Style(h) & WS_VISIBLE);
}

// Decorated by the desktop: frames with a caption that are not tool windows.
bool IsFrame(HWND hwnd)
{
    const LONG style = Style(hwnd);
    return !(style & WS_CHILD) && (style & WS_CAPTION) == WS_CAPTION && !(ExStyle(hwnd) & WS_EX_TOOLWINDOW);
}

bool WantsRgba(HWND hwnd)
{
    GdkScreen* screen = gdk_screen_get_default();
    return (ExStyle(hwnd) & WS_EX_LAYERED) && gdk_screen_is_composited(screen) && gdk_screen_get_rgba_visual(screen);
}

constexpr UINT kProcessKey = 0xE5; // VK_PROCESSKEY: the IME took the key

struct TopLevel {
    HWND hwnd = nullptr;
    GtkWidget* window = nullptr;
    GtkWidget* overlay = nullptr;
    GtkWidget* area = nullptr;
    GtkIMContext* im = nullptr;
    cairo_surface_t* pixels = nullptr; // copy of the window's surface
    bool frame = false;
    bool rgba = false;                 // made with the RGBA visual
    bool perPixelAlpha = false;        // pixels carry their alpha
    POINT clientOffset{};              // what the desktop shows starts here in the surface
    std::string commit;                // text the IME committed during one key filter
    bool filtering = false;
    RECT applied{};                    // the shown rectangle (screen) last given to GTK
    std::deque<RECT> requested;        // given to GTK and not yet seen back
    int pendingDesktop = 0;            // desktop changes waiting in our queue
    GdkWindowState state = GdkWindowState(0);
    std::vector<RECT> shape;           // the region last applied, in shown coordinates
    bool shaped = false;
    bool clickThrough = false;
};

// A native widget over its host window, inside a clip of the part that the
// host's ancestors show (a pane larger than its parent shows no more of its
// page than the parent does).
struct Overlaid {
    GtkWidget* widget = nullptr;
    GtkWidget* clip = nullptr; // a layout: its window clips the widget
    RECT rect{};               // the clip, in the overlay
    RECT host{};               // the whole host, in the overlay
};

class GtkPresenterImpl final : public GtkPresenter {
public:
    void WindowShown(HWND hwnd) override;
    void WindowHidden(HWND hwnd) override;
    void WindowDestroyed(HWND hwnd) override;
    void WindowChanged(HWND hwnd) override;
    void WindowActivated(HWND hwnd) override;
    void Bell() override { gdk_display_beep(gdk_display_get_default()); }
    void SurfaceDamaged(HWND hwnd, const Surface& surface, const RECT& damage) override;
    bool SetClipboardText(const std::string& gbk) override;
    bool GetClipboardText(std::string& gbk) override;
    std::unique_ptr<Surface> CaptureWindow(HWND hwnd) override;
    void Flush() override;
    unsigned long GetNativeWindow(HWND hwnd) override;
    bool SimulateClick(HWND hwnd, int x, int y, int button) override;
    bool SimulateKey(HWND hwnd, const char* keyName) override;
    bool SimulateButton(HWND hwnd, int x, int y, int button, bool down) override;
    bool SimulatePointer(HWND hwnd, int x, int y) override;
    bool SimulateDoubleClick(HWND hwnd, int x, int y, int button) override;
    bool SimulateKey(HWND hwnd, const char* keyName, unsigned modifiers) override;
    bool BeginResize(HWND hwnd, int edge, POINT screen) override;
    bool SimulateImeCommit(HWND hwnd, const std::string& utf8) override;
    bool AnswerDialog(int answer) override { return gtk::AnswerOpenDialog(answer); }

    TopLevel* Find(HWND hwnd)
    {
        auto it = m_tops.find(hwnd);
        return it == m_tops.end() ? nullptr : &it->second;
    }
    TopLevel& Make(HWND hwnd);
    void Unmake(HWND hwnd);
    void Apply(TopLevel& top);
    void ApplyShape(TopLevel& top);
    void PlaceWidgetsOf(HWND top);
    void CopyPixels(TopLevel& top, const Surface& surface, RECT r);
    void ReadScreen();

    std::map<HWND, TopLevel> m_tops;
    std::map<HWND, Overlaid> m_widgets; // host -> native widget
    HWND m_actionWindow = nullptr;
    std::deque<std::function<void()>> m_actions;
    bool m_activating = false;
    HCURSOR m_cursor = nullptr;
    bool m_cursorSet = false;
};

GtkPresenterImpl* g_presenter = nullptr;

// Desktop changes run program code (activation, system commands, placement):
// they wait in our queue and run from the program's own message loop, in the
// order they came, never from inside GLib's dispatch.
UINT ActionMessage()
{
    static const UINT message = RegisterWindowMessageA("TavrinPresenterAction");
    return message;
}

void Defer(std::function<void()> action)
{
    g_presenter->m_actions.push_back(std::move(action));
    PostMessageA(g_presenter->m_actionWindow, ActionMessage(), 0, 0);
}

// Requests to show, activate, minimise or maximise a window leave at once: held in
// the connection's buffer while the program goes on working, they would reach
// the desktop after what the user did meanwhile and undo it.
void SendRequestsNow()
{
    gdk_display_flush(gdk_display_get_default());
}

// Input goes in at once unless desktop changes are still waiting: it must
// not overtake them (a key after a focus change belongs to the new window).
void Input(std::function<void()> inject)
{
    if (g_presenter->m_actions.empty())
        inject();
    else
        Defer(std::move(inject));
}

LRESULT CALLBACK ActionProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == ActionMessage() && g_presenter) {
        if (!g_presenter->m_actions.empty()) {
            std::function<void()> action = std::move(g_presenter->m_actions.front());
            g_presenter->m_actions.pop_front();
            action();
        }
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The cursor the program set (GetCursor) shows over our windows.
const char* CursorName(UINT id)
{
    switch (id) {
    case 32513: return "text";
    case 32514: return "wait";
    case 32515: return "crosshair";
    case 32640:
    case 32646: return "move";
    case 32642: return "nwse-resize";
    case 32643: return "nesw-resize";
    case 32644: return "ew-resize";
    case 32645: return "ns-resize";
    case 32648: return "not-allowed";
    case 32649: return "pointer";
    case 32650: return "progress";
    case 32651: return "help";
    default: return "default";
    }
}

void SyncCursor()
{
    if (!g_presenter)
        return;
    HCURSOR cursor = GetCursor();
    if (g_presenter->m_cursorSet && cursor == g_presenter->m_cursor)
        return;
    g_presenter->m_cursor = cursor;
    g_presenter->m_cursorSet = true;
    GdkDisplay* display = gdk_display_get_default();
    GdkCursor* gdkCursor = nullptr;
    // Nothing set yet (or set to none): the arrow, so the pointer is never lost.
    if (!cursor) {
        gdkCursor = gdk_cursor_new_from_name(display, "default");
    } else if (UINT id = win::SystemCursorId(cursor)) {
        gdkCursor = gdk_cursor_new_from_name(display, CursorName(id));
    } else if (auto icon = IconFromHandle(reinterpret_cast<HICON>(cursor))) {
        if (GdkPixbuf* pixbuf = gtk::PixbufFromIcon(*icon)) {
            gdkCursor = gdk_cursor_new_from_pixbuf(display, pixbuf, icon->Hotspot().x, icon->Hotspot().y);
            g_object_unref(pixbuf);
        }
    }
    for (auto& [hwnd, top] : g_presenter->m_tops)
        if (GdkWindow* w = gtk_widget_get_window(top.area))
            gdk_window_set_cursor(w, gdkCursor);
    if (gdkCursor)
        g_object_unref(gdkCursor);
}

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
        SyncCursor();
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
    SyncCursor();
}

void GtkQueueWake()
{
    g_main_context_wakeup(nullptr);
}

// Where a point of a top-level window's shown area is on the screen, as the
// window system sees it.
POINT ScreenPoint(HWND hwnd, double x, double y)
{
    TopLevel* top = g_presenter ? g_presenter->Find(hwnd) : nullptr;
    RECT r = WindowRect(hwnd);
    const POINT offset = top ? top->clientOffset : POINT{0, 0};
    return POINT{r.left + offset.x + static_cast<LONG>(x), r.top + offset.y + static_cast<LONG>(y)};
}

bool ButtonOf(guint button, win::MouseButton* out)
{
    switch (button) {
    case 1: *out = win::MouseButton::Left; return true;
    case 2: *out = win::MouseButton::Middle; return true;
    case 3: *out = win::MouseButton::Right; return true;
    default: return false;
    }
}

// Signal handlers. Each feeds our queues or the presenter; program code runs
// only from our own message loop.
gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer data)
{
    auto* top = g_presenter ? g_presenter->Find(static_cast<HWND>(data)) : nullptr;
    if (top && top->pixels) {
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, top->pixels, -top->clientOffset.x, -top->clientOffset.y);
        cairo_paint(cr);
    }
    return TRUE;
}

gboolean OnButton(GtkWidget*, GdkEventButton* event, gpointer data)
{
    HWND hwnd = static_cast<HWND>(data);
    // Double clicks are the window system's to make, from the plain presses.
    if (event->type != GDK_BUTTON_PRESS && event->type != GDK_BUTTON_RELEASE)
        return TRUE;
    win::MouseButton button;
    if (!ButtonOf(event->button, &button))
        return FALSE;
    const bool down = event->type == GDK_BUTTON_PRESS;
    if (down)
        if (TopLevel* top = g_presenter->Find(hwnd))
            gtk_widget_grab_focus(top->area);
    const POINT pt = ScreenPoint(hwnd, event->x, event->y);
    Input([pt, button, down] {
        win::InjectMouseMove(pt.x, pt.y);
        win::InjectMouseButton(button, down);
    });
    return TRUE;
}

gboolean OnMotion(GtkWidget*, GdkEventMotion* event, gpointer data)
{
    const POINT pt = ScreenPoint(static_cast<HWND>(data), event->x, event->y);
    Input([pt] { win::InjectMouseMove(pt.x, pt.y); });
    return TRUE;
}

gboolean OnLeave(GtkWidget*, GdkEventCrossing* event, gpointer)
{
    // The pointer went to another program: where it is now is none of ours.
    if (event->mode != GDK_CROSSING_NORMAL || event->detail == GDK_NOTIFY_INFERIOR)
        return FALSE;
    const POINT pt{static_cast<LONG>(event->x_root), static_cast<LONG>(event->y_root)};
    Input([pt] { win::InjectMouseMove(pt.x, pt.y); });
    return FALSE;
}

gboolean OnScroll(GtkWidget*, GdkEventScroll* event, gpointer data)
{
    const int delta = event->direction == GDK_SCROLL_UP ? WHEEL_DELTA : event->direction == GDK_SCROLL_DOWN ? -WHEEL_DELTA : 0;
    if (!delta)
        return FALSE;
    const POINT pt = ScreenPoint(static_cast<HWND>(data), event->x, event->y);
    Input([pt, delta] {
        win::InjectMouseMove(pt.x, pt.y);
        win::InjectMouseWheel(delta);
    });
    return TRUE;
}

void InjectKeyEvent(UINT vk, bool down)
{
    Input([vk, down] { win::InjectKey(vk, down); });
}

void InjectTextEvent(const std::string& utf8)
{
    std::string gbk = Utf8ToGbk(utf8);
    Input([gbk] { win::InjectText(gbk); });
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
    const UINT vk = gtk::VirtualKeyFromKeyval(event->keyval);
    top->commit.clear();
    top->filtering = true;
    const bool filtered = gtk_im_context_filter_keypress(top->im, event);
    top->filtering = false;
    if (!filtered) {
        if (vk)
            InjectKeyEvent(vk, down);
        return TRUE;
    }
    // A plain character the key itself types: the key goes in and the
    // message loop's translation makes the character, as for any key.
    const std::string text = top->commit;
    if (text.size() == 1 && vk && static_cast<unsigned char>(text[0]) >= 0x20 &&
        static_cast<unsigned char>(text[0]) < 0x7F) {
        InjectKeyEvent(vk, down);
        return TRUE;
    }
    if (down)
        InjectKeyEvent(kProcessKey, true);
    if (!text.empty())
        InjectTextEvent(text);
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
        InjectTextEvent(text); // an input method finished later
}

// True while a window of this process has the desktop's focus (our dialogs too).
bool AnyWindowActive()
{
    GList* windows = gtk_window_list_toplevels();
    bool active = false;
    for (GList* l = windows; l; l = l->next)
        active = active || gtk_window_is_active(GTK_WINDOW(l->data));
    g_list_free(windows);
    return active;
}

void ReleaseKeys()
{
    for (UINT vk : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LBUTTON, VK_RBUTTON, VK_MBUTTON})
        if (GetAsyncKeyState(static_cast<int>(vk)) < 0) {
            if (vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_MBUTTON)
                win::InjectMouseButton(vk == VK_LBUTTON ? win::MouseButton::Left
                                       : vk == VK_RBUTTON ? win::MouseButton::Right
                                                          : win::MouseButton::Middle,
                                       false);
            else
                win::InjectKey(vk, false);
        }
}

gboolean OnFocus(GtkWidget*, GdkEventFocus* event, gpointer data)
{
    HWND hwnd = static_cast<HWND>(data);
    TopLevel* top = g_presenter ? g_presenter->Find(hwnd) : nullptr;
    if (!top)
        return FALSE;
    if (event->in) {
        gtk_im_context_focus_in(top->im);
        // The desktop focused the window: it becomes our active window, or
        // the box it waits for when it is disabled.
        Defer([hwnd] {
            if (!IsWindow(hwnd) || !IsWindowVisible(hwnd))
                return;
            HWND target = IsWindowEnabled(hwnd) ? hwnd : GetLastActivePopup(hwnd);
            if (!target || GetForegroundWindow() == target)
                return;
            g_presenter->m_activating = target == hwnd;
            SetForegroundWindow(target);
            g_presenter->m_activating = false;
        });
    } else {
        gtk_im_context_focus_out(top->im);
        // Another program took the focus, or only another window of ours.
        Defer([] {
            if (AnyWindowActive())
                return;
            ReleaseKeys();
            win::SetApplicationActive(false);
        });
    }
    return FALSE;
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data)
{
    // The program decides: the close box is the system command.
    HWND hwnd = static_cast<HWND>(data);
    Defer([hwnd] {
        if (IsWindow(hwnd) && IsWindowEnabled(hwnd))
            SendMessageA(hwnd, WM_SYSCOMMAND, kScClose, 0);
    });
    return TRUE;
}

// After the program handled a desktop change, GTK shows what it decided.
void Reconcile(HWND hwnd)
{
    TopLevel* top = g_presenter->Find(hwnd);
    if (!top)
        return;
    --top->pendingDesktop;
    if (IsWindow(hwnd))
        g_presenter->Apply(*top);
}

gboolean OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer data)
{
    HWND hwnd = static_cast<HWND>(data);
    TopLevel* top = g_presenter->Find(hwnd);
    if (!top)
        return FALSE;
    top->state = event->new_window_state;
    const GdkWindowState changed = event->changed_mask;
    if (!(changed & (GDK_WINDOW_STATE_ICONIFIED | GDK_WINDOW_STATE_MAXIMIZED)))
        return FALSE;
    const bool iconified = event->new_window_state & GDK_WINDOW_STATE_ICONIFIED;
    const bool maximized = event->new_window_state & GDK_WINDOW_STATE_MAXIMIZED;
    ++top->pendingDesktop;
    Defer([hwnd, iconified, maximized] {
        // A window the program hid (withdrawn) leaves the iconic state on the
        // desktop's side only: that is no request to restore it.
        if (IsWindow(hwnd) && IsWindowVisible(hwnd)) {
            WPARAM command = 0;
            if (iconified != static_cast<bool>(IsIconic(hwnd)))
                command = iconified ? kScMinimize : kScRestore;
            else if (!iconified && maximized != static_cast<bool>(IsZoomed(hwnd)))
                command = maximized ? kScMaximize : kScRestore;
            if (command)
                SendMessageA(hwnd, WM_SYSCOMMAND, command, 0);
        }
        Reconcile(hwnd);
    });
    return FALSE;
}

gboolean OnConfigure(GtkWidget* widget, GdkEventConfigure* event, gpointer data)
{
    HWND hwnd = static_cast<HWND>(data);
    TopLevel* top = g_presenter->Find(hwnd);
    if (!top || !top->frame || (top->state & GDK_WINDOW_STATE_ICONIFIED))
        return FALSE;
    gint x = event->x, y = event->y;
    if (gtk_widget_get_realized(widget))
        gdk_window_get_origin(gtk_widget_get_window(widget), &x, &y);
    const RECT shown{x, y, x + event->width, y + event->height};
    // Our own requests coming back are no news.
    auto mine = std::find_if(top->requested.begin(), top->requested.end(),
                             [&](const RECT& r) { return Same(r, shown); });
    if (mine != top->requested.end()) {
        top->requested.erase(top->requested.begin(), mine + 1);
        return FALSE;
    }
    // The desktop moved or sized the window: the program places it there.
    ++top->pendingDesktop;
    Defer([hwnd, shown] {
        TopLevel* t = g_presenter->Find(hwnd);
        if (t && IsWindow(hwnd) && !IsIconic(hwnd)) {
            const RECT r = WindowRect(hwnd);
            POINT origin{0, 0};
            ClientToScreen(hwnd, &origin);
            RECT client;
            GetClientRect(hwnd, &client);
            const int left = shown.left - (origin.x - r.left);
            const int topEdge = shown.top - (origin.y - r.top);
            const int width = (r.right - r.left) + (shown.right - shown.left) - client.right;
            const int height = (r.bottom - r.top) + (shown.bottom - shown.top) - client.bottom;
            if (left != r.left || topEdge != r.top || width != r.right - r.left || height != r.bottom - r.top) {
                t->applied = shown; // already there on screen
                SetWindowPos(hwnd, nullptr, left, topEdge, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
        Reconcile(hwnd);
    });
    return FALSE;
}

// The browser panes over the window's own surface.
gboolean OnChildPosition(GtkOverlay*, GtkWidget* widget, GdkRectangle* allocation, gpointer)
{
    if (!g_presenter)
        return FALSE;
    for (auto& [host, overlaid] : g_presenter->m_widgets) {
        if (overlaid.clip == widget) {
            allocation->x = overlaid.rect.left;
            allocation->y = overlaid.rect.top;
            allocation->width = std::max<LONG>(1, overlaid.rect.right - overlaid.rect.left);
            allocation->height = std::max<LONG>(1, overlaid.rect.bottom - overlaid.rect.top);
            return TRUE;
        }
    }
    return FALSE;
}

void OnCompositedChanged(GdkScreen* screen, gpointer)
{
    // Per-pixel alpha needs a compositor: without one the lookup says so.
    win::SetEntryPointAvailable("user32", "UpdateLayeredWindow", gdk_screen_is_composited(screen));
}

void OnScreenChanged(GdkScreen*, gpointer)
{
    if (g_presenter)
        g_presenter->ReadScreen();
}

TopLevel& GtkPresenterImpl::Make(HWND hwnd)
{
    TopLevel& top = m_tops[hwnd];
    if (top.window)
        return top;
    top.hwnd = hwnd;
    top.frame = IsFrame(hwnd);
    top.window = gtk_window_new(top.frame ? GTK_WINDOW_TOPLEVEL : GTK_WINDOW_POPUP);
    g_object_ref_sink(top.window);
    GtkWindow* window = GTK_WINDOW(top.window);
    // Placed by where its own area is, not where the decorations start.
    gtk_window_set_gravity(window, GDK_GRAVITY_STATIC);
    gtk_window_set_decorated(window, top.frame);
    if (WantsRgba(hwnd)) {
        gtk_widget_set_visual(top.window, gdk_screen_get_rgba_visual(gdk_screen_get_default()));
        gtk_widget_set_app_paintable(top.window, TRUE);
        top.rgba = true;
    }
    if (ExStyle(hwnd) & WS_EX_TOPMOST)
        gtk_window_set_keep_above(window, TRUE);
    if (ExStyle(hwnd) & WS_EX_TOOLWINDOW)
        gtk_window_set_skip_taskbar_hint(window, TRUE);
    if (HWND owner = GetWindow(hwnd, GW_OWNER))
        if (TopLevel* ownerTop = Find(TopLevelOf(owner)); ownerTop && top.frame)
            gtk_window_set_transient_for(window, GTK_WINDOW(ownerTop->window));
    top.overlay = gtk_overlay_new();
    top.area = gtk_drawing_area_new();
    gtk_widget_set_can_focus(top.area, TRUE);
    gtk_widget_add_events(top.area, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                         GDK_SCROLL_MASK | GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK |
                                         GDK_LEAVE_NOTIFY_MASK);
    gtk_container_add(GTK_CONTAINER(top.overlay), top.area);
    gtk_container_add(GTK_CONTAINER(top.window), top.overlay);
    top.im = gtk_im_multicontext_new();
    gpointer data = hwnd;
    g_signal_connect(top.overlay, "get-child-position", G_CALLBACK(OnChildPosition), nullptr);
    g_signal_connect(top.area, "draw", G_CALLBACK(OnDraw), data);
    g_signal_connect(top.area, "button-press-event", G_CALLBACK(OnButton), data);
    g_signal_connect(top.area, "button-release-event", G_CALLBACK(OnButton), data);
    g_signal_connect(top.area, "motion-notify-event", G_CALLBACK(OnMotion), data);
    g_signal_connect(top.area, "leave-notify-event", G_CALLBACK(OnLeave), data);
    g_signal_connect(top.area, "scroll-event", G_CALLBACK(OnScroll), data);
    g_signal_connect(top.window, "key-press-event", G_CALLBACK(OnKey), data);
    g_signal_connect(top.window, "key-release-event", G_CALLBACK(OnKey), data);
    g_signal_connect(top.window, "focus-in-event", G_CALLBACK(OnFocus), data);
    g_signal_connect(top.window, "focus-out-event", G_CALLBACK(OnFocus), data);
    g_signal_connect(top.window, "delete-event", G_CALLBACK(OnDelete), data);
    g_signal_connect(top.window, "window-state-event", G_CALLBACK(OnWindowState), data);
    g_signal_connect(top.window, "configure-event", G_CALLBACK(OnConfigure), data);
    g_signal_connect(top.im, "commit", G_CALLBACK(OnCommit), data);
    m_cursorSet = false;
    return top;
}

void GtkPresenterImpl::Unmake(HWND hwnd)
{
    TopLevel* top = Find(hwnd);
    if (!top)
        return;
    for (auto& [host, overlaid] : m_widgets)
        if (gtk_widget_get_parent(overlaid.clip) == top->overlay)
            gtk_container_remove(GTK_CONTAINER(top->overlay), overlaid.clip);
    gtk_im_context_set_client_window(top->im, nullptr);
    g_object_unref(top->im);
    gtk_widget_destroy(top->window);
    g_object_unref(top->window);
    if (top->pixels)
        cairo_surface_destroy(top->pixels);
    m_tops.erase(hwnd);
}

void GtkPresenterImpl::ApplyShape(TopLevel& top)
{
    auto window = win::Window::FromHandle(top.hwnd);
    auto region = window ? window->GetRegion() : nullptr;
    std::vector<RECT> rects;
    if (region) {
        rects = region->Rects();
        for (RECT& r : rects)
            Shift(&r, -top.clientOffset.x, -top.clientOffset.y);
    }
    const bool shaped = region != nullptr;
    const bool clickThrough = (ExStyle(top.hwnd) & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) ==
                              (WS_EX_LAYERED | WS_EX_TRANSPARENT);
    const bool sameShape = shaped == top.shaped && rects.size() == top.shape.size() &&
                           std::equal(rects.begin(), rects.end(), top.shape.begin(), Same);
    if (!sameShape) {
        cairo_region_t* shape = nullptr;
        if (shaped) {
            shape = cairo_region_create();
            for (const RECT& r : rects) {
                const cairo_rectangle_int_t c{r.left, r.top, r.right - r.left, r.bottom - r.top};
                cairo_region_union_rectangle(shape, &c);
            }
        }
        gtk_widget_shape_combine_region(top.window, shape);
        if (shape)
            cairo_region_destroy(shape);
        top.shape = rects;
        top.shaped = shaped;
    }
    if (clickThrough != top.clickThrough || !sameShape) {
        // Clicks pass through a layered, transparent window to what lies below.
        cairo_region_t* input = clickThrough ? cairo_region_create() : nullptr;
        gtk_widget_input_shape_combine_region(top.window, input);
        if (input)
            cairo_region_destroy(input);
        top.clickThrough = clickThrough;
    }
}

void GtkPresenterImpl::Apply(TopLevel& top)
{
    if (top.rgba != WantsRgba(top.hwnd) || top.frame != IsFrame(top.hwnd)) {
        // The visual or the kind of window cannot change: made again.
        const bool shown = gtk_widget_get_visible(top.window);
        HWND hwnd = top.hwnd;
        Unmake(hwnd);
        TopLevel& fresh = Make(hwnd);
        if (auto surface = win::GetWindowSurface(hwnd))
            CopyPixels(fresh, *surface, RECT{0, 0, surface->Width(), surface->Height()});
        Apply(fresh);
        if (shown) {
            gtk_widget_show_all(fresh.window);
            gtk_im_context_set_client_window(fresh.im, gtk_widget_get_window(fresh.area));
        }
        PlaceWidgetsOf(hwnd);
        return;
    }
    const LONG style = Style(top.hwnd);
    const bool iconic = style & WS_MINIMIZE;
    const bool zoomed = style & WS_MAXIMIZE;
    GtkWindow* window = GTK_WINDOW(top.window);
    RECT r = WindowRect(top.hwnd);
    // A frame gets the desktop's decorations: it shows only our client area.
    RECT shown = r;
    if (top.frame && !iconic) {
        POINT origin{0, 0};
        ClientToScreen(top.hwnd, &origin);
        RECT client;
        GetClientRect(top.hwnd, &client);
        shown = RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
        top.clientOffset = POINT{origin.x - r.left, origin.y - r.top};
    } else if (!top.frame) {
        top.clientOffset = POINT{0, 0};
    }
    if (auto w = win::Window::FromHandle(top.hwnd))
        gtk_window_set_title(window, GbkToUtf8(w->GetText()).c_str());
    const int width = std::max<LONG>(1, shown.right - shown.left);
    const int height = std::max<LONG>(1, shown.bottom - shown.top);
    const bool resizable = top.frame && (style & WS_THICKFRAME);
    gtk_window_set_resizable(window, resizable);
    // The desktop may size a resizable frame freely; others are their size.
    if (resizable)
        gtk_widget_set_size_request(top.area, 1, 1);
    else if (!iconic)
        gtk_widget_set_size_request(top.area, width, height);
    const bool desktopOwnsPlace = iconic || (top.frame && top.pendingDesktop > 0) ||
                                  (zoomed && (top.state & GDK_WINDOW_STATE_MAXIMIZED));
    if (!desktopOwnsPlace && !Same(shown, top.applied)) {
        top.applied = shown;
        if (top.frame && gtk_widget_get_realized(top.window)) {
            top.requested.push_back(shown);
            if (top.requested.size() > 8)
                top.requested.pop_front();
        }
        gtk_window_move(window, shown.left, shown.top);
        gtk_window_resize(window, width, height);
    }
    if (top.frame && top.pendingDesktop == 0 && gtk_widget_get_visible(top.window)) {
        const bool gtkIconified = top.state & GDK_WINDOW_STATE_ICONIFIED;
        const bool gtkMaximized = top.state & GDK_WINDOW_STATE_MAXIMIZED;
        if (iconic && !gtkIconified)
            gtk_window_iconify(window);
        else if (!iconic && gtkIconified)
            gtk_window_deiconify(window);
        if (zoomed && !gtkMaximized)
            gtk_window_maximize(window);
        else if (!zoomed && !iconic && gtkMaximized)
            gtk_window_unmaximize(window);
        SendRequestsNow();
    }
    ApplyShape(top);
    // A constant alpha shows where a compositor blends it.
    const win::LayeredState layered = win::GetLayeredState(top.hwnd);
    gtk_widget_set_opacity(top.window, top.rgba && layered.useAlpha && !layered.perPixelAlpha ? layered.alpha / 255.0 : 1.0);
    if (top.perPixelAlpha != (top.rgba && layered.perPixelAlpha)) {
        top.perPixelAlpha = top.rgba && layered.perPixelAlpha;
        if (auto surface = win::GetWindowSurface(top.hwnd))
            CopyPixels(top, *surface, RECT{0, 0, surface->Width(), surface->Height()});
    }
}

void GtkPresenterImpl::WindowShown(HWND hwnd)
{
    TopLevel& top = Make(hwnd);
    Apply(top);
    // Shown again as the program has it, whatever the desktop did before.
    GtkWindow* window = GTK_WINDOW(top.window);
    if (IsIconic(hwnd))
        gtk_window_iconify(window);
    else
        gtk_window_deiconify(window);
    if (IsZoomed(hwnd))
        gtk_window_maximize(window);
    else if (top.frame)
        gtk_window_unmaximize(window);
    gtk_widget_show_all(top.window);
    gtk_im_context_set_client_window(top.im, gtk_widget_get_window(top.area));
    gtk_widget_grab_focus(top.area);
    m_cursorSet = false;
    PlaceWidgetsOf(hwnd);
    SendRequestsNow();
}

void GtkPresenterImpl::WindowHidden(HWND hwnd)
{
    if (TopLevel* top = Find(hwnd))
        gtk_widget_hide(top->window);
}

void GtkPresenterImpl::WindowDestroyed(HWND hwnd)
{
    Unmake(hwnd);
}

void GtkPresenterImpl::WindowChanged(HWND hwnd)
{
    if (TopLevel* top = Find(hwnd)) {
        Apply(*top);
        PlaceWidgetsOf(hwnd);
    }
}

void GtkPresenterImpl::WindowActivated(HWND hwnd)
{
    // Activated by the program (a dialog shown, a window brought back): the
    // desktop raises and focuses it too. A minimised window stays minimised
    // when activated (as when an owned popup it holds goes away): presenting
    // it would make the desktop restore it.
    TopLevel* top = Find(hwnd);
    if (!top || !top->frame || m_activating || !gtk_widget_get_visible(top->window) ||
        gtk_window_is_active(GTK_WINDOW(top->window)) || IsIconic(hwnd))
        return;
    if (GdkWindow* gdk = gtk_widget_get_window(top->window))
        if (gdk_window_get_state(gdk) & GDK_WINDOW_STATE_ICONIFIED)
            return;
    gtk_window_present(GTK_WINDOW(top->window));
    SendRequestsNow();
}

void GtkPresenterImpl::CopyPixels(TopLevel& top, const Surface& surface, RECT r)
{
    const cairo_format_t format = top.perPixelAlpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24;
    if (!top.pixels || cairo_image_surface_get_width(top.pixels) != surface.Width() ||
        cairo_image_surface_get_height(top.pixels) != surface.Height() ||
        cairo_image_surface_get_format(top.pixels) != format) {
        if (top.pixels)
            cairo_surface_destroy(top.pixels);
        top.pixels = cairo_image_surface_create(format, surface.Width(), surface.Height());
        r = RECT{0, 0, surface.Width(), surface.Height()};
    }
    r = RECT{std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0), std::min<LONG>(r.right, surface.Width()),
             std::min<LONG>(r.bottom, surface.Height())};
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    cairo_surface_flush(top.pixels);
    unsigned char* data = cairo_image_surface_get_data(top.pixels);
    const int stride = cairo_image_surface_get_stride(top.pixels);
    // Both are premultiplied 32-bit pixels; without per-pixel alpha the
    // alpha byte means nothing and RGB24 ignores it.
    for (LONG y = r.top; y < r.bottom; ++y)
        std::memcpy(data + y * stride + r.left * 4, surface.Scanline(y) + r.left, (r.right - r.left) * 4);
    cairo_surface_mark_dirty_rectangle(top.pixels, r.left, r.top, r.right - r.left, r.bottom - r.top);
    gtk_widget_queue_draw_area(top.area, r.left - top.clientOffset.x, r.top - top.clientOffset.y, r.right - r.left,
                               r.bottom - r.top);
}

void GtkPresenterImpl::SurfaceDamaged(HWND hwnd, const Surface& surface, const RECT& damage)
{
    TopLevel& top = Make(hwnd);
    CopyPixels(top, surface, damage);
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
    GdkWindow* gdkWindow = gtk_widget_get_window(top->window);
    const int width = gtk_widget_get_allocated_width(top->overlay);
    const int height = gtk_widget_get_allocated_height(top->overlay);
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

unsigned long GtkPresenterImpl::GetNativeWindow(HWND hwnd)
{
    TopLevel* top = Find(hwnd);
    if (!top || !gtk_widget_get_realized(top->window))
        return 0;
    return GDK_WINDOW_XID(gtk_widget_get_window(top->window));
}

// Input through the X server's test extension: it arrives exactly as a
// person's would, window manager and focus included.
bool GtkPresenterImpl::SimulatePointer(HWND hwnd, int x, int y)
{
    TopLevel* top = Find(hwnd);
    if (!top || !gtk_widget_get_realized(top->window))
        return false;
    Display* display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    gint originX = 0, originY = 0;
    gdk_window_get_origin(gtk_widget_get_window(top->window), &originX, &originY);
    XTestFakeMotionEvent(display, -1, originX + x, originY + y, CurrentTime);
    XFlush(display);
    return true;
}

bool GtkPresenterImpl::SimulateButton(HWND hwnd, int x, int y, int button, bool down)
{
    if (!SimulatePointer(hwnd, x, y))
        return false;
    Display* display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    XTestFakeButtonEvent(display, static_cast<unsigned>(button), down ? True : False, CurrentTime);
    XFlush(display);
    return true;
}

bool GtkPresenterImpl::SimulateClick(HWND hwnd, int x, int y, int button)
{
    return SimulateButton(hwnd, x, y, button, true) && SimulateButton(hwnd, x, y, button, false);
}

bool GtkPresenterImpl::SimulateDoubleClick(HWND hwnd, int x, int y, int button)
{
    return SimulateClick(hwnd, x, y, button) && SimulateClick(hwnd, x, y, button);
}

bool GtkPresenterImpl::SimulateKey(HWND hwnd, const char* keyName)
{
    return SimulateKey(hwnd, keyName, 0);
}

bool GtkPresenterImpl::SimulateKey(HWND hwnd, const char* keyName, unsigned modifiers)
{
    TopLevel* top = Find(hwnd);
    KeySym sym = XStringToKeysym(keyName);
    if (!top || sym == NoSymbol)
        return false;
    Display* display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    KeyCode code = XKeysymToKeycode(display, sym);
    if (!code)
        return false;
    std::vector<KeyCode> held;
    const std::pair<unsigned, KeySym> mods[] = {{kControl, XK_Control_L}, {kShift, XK_Shift_L}, {kAlt, XK_Alt_L}};
    for (const auto& [bit, modSym] : mods)
        if (modifiers & bit)
            if (KeyCode modCode = XKeysymToKeycode(display, modSym))
                held.push_back(modCode);
    for (KeyCode c : held)
        XTestFakeKeyEvent(display, c, True, CurrentTime);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    for (auto it = held.rbegin(); it != held.rend(); ++it)
        XTestFakeKeyEvent(display, *it, False, CurrentTime);
    XFlush(display);
    return true;
}

bool GtkPresenterImpl::BeginResize(HWND hwnd, int edge, POINT screen)
{
    TopLevel* top = Find(hwnd);
    if (!top || !gtk_widget_get_realized(top->window))
        return false;
    GdkWindowEdge gdkEdge = GDK_WINDOW_EDGE_SOUTH_EAST;
    switch (edge) {
    case HTLEFT: gdkEdge = GDK_WINDOW_EDGE_WEST; break;
    case HTRIGHT: gdkEdge = GDK_WINDOW_EDGE_EAST; break;
    case HTTOP: gdkEdge = GDK_WINDOW_EDGE_NORTH; break;
    case HTBOTTOM: gdkEdge = GDK_WINDOW_EDGE_SOUTH; break;
    case HTTOPLEFT: gdkEdge = GDK_WINDOW_EDGE_NORTH_WEST; break;
    case HTTOPRIGHT: gdkEdge = GDK_WINDOW_EDGE_NORTH_EAST; break;
    case HTBOTTOMLEFT: gdkEdge = GDK_WINDOW_EDGE_SOUTH_WEST; break;
    default: break;
    }
    // The press reached us through our own queue: the desktop takes the
    // pointer from here, as from the window's own corner.
    gtk_window_begin_resize_drag(GTK_WINDOW(top->window), gdkEdge, 1, screen.x, screen.y, GDK_CURRENT_TIME);
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
    std::vector<HWND> hosts;
    for (auto& [host, overlaid] : m_widgets)
        if (TopLevelOf(host) == topHwnd)
            hosts.push_back(host);
    for (HWND host : hosts)
        gtk::PlaceWidget(host);
}

// Screen size and work areas from the desktop's monitors; the panel beside
// the primary work area is the taskbar the tray asks about.
void GtkPresenterImpl::ReadScreen()
{
    GdkDisplay* display = gdk_display_get_default();
    const int count = gdk_display_get_n_monitors(display);
    std::vector<win::MonitorProfile> monitors;
    GdkMonitor* primary = gdk_display_get_primary_monitor(display);
    if (!primary && count > 0)
        primary = gdk_display_get_monitor(display, 0);
    auto profile = [](GdkMonitor* m) {
        GdkRectangle g, w;
        gdk_monitor_get_geometry(m, &g);
        gdk_monitor_get_workarea(m, &w);
        return win::MonitorProfile{RECT{g.x, g.y, g.x + g.width, g.y + g.height},
                                   RECT{w.x, w.y, w.x + w.width, w.y + w.height}};
    };
    if (primary)
        monitors.push_back(profile(primary));
    for (int i = 0; i < count; ++i)
        if (GdkMonitor* m = gdk_display_get_monitor(display, i); m != primary)
            monitors.push_back(profile(m));
    if (monitors.empty())
        return;
    const std::vector<win::MonitorProfile> before = win::GetMonitors();
    win::SetMonitors(monitors);
    const TaskbarPlace taskbar = TaskbarFromWorkArea(monitors[0].rect, monitors[0].work);
    win::SetTaskbarRect(taskbar.edge, taskbar.rect);
    const bool changed = before.size() != monitors.size() ||
                         !std::equal(before.begin(), before.end(), monitors.begin(), [](const auto& a, const auto& b) {
                             return Same(a.rect, b.rect) && Same(a.work, b.work);
                         });
    if (changed && m_actionWindow)
        PostMessageA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
}

} // namespace

GtkPresenter* StartGtkPresenter()
{
    if (g_presenter)
        return g_presenter;
    if (!gtk_init_check(nullptr, nullptr))
        return nullptr;
    g_presenter = new GtkPresenterImpl;
    GdkScreen* screen = gdk_screen_get_default();
    g_presenter->ReadScreen();
    OnCompositedChanged(screen, nullptr);
    g_signal_connect(screen, "composited-changed", G_CALLBACK(OnCompositedChanged), nullptr);
    g_signal_connect(screen, "monitors-changed", G_CALLBACK(OnScreenChanged), nullptr);
    g_signal_connect(screen, "size-changed", G_CALLBACK(OnScreenChanged), nullptr);

    WNDCLASSA wc{};
    wc.lpfnWndProc = ActionProc;
    wc.lpszClassName = "TavrinPresenter";
    RegisterClassA(&wc);
    g_presenter->m_actionWindow =
        CreateWindowExA(0, "TavrinPresenter", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);

    win::SetQueueWait(GtkQueueWait, GtkQueuePoll);
    win::SetQueueWakeNotifier(GtkQueueWake);
    InstallPresenter(g_presenter);
    browser::SetEngineFactory([](HWND host) { return browser::CreateWebKitEngine(host); });
    gtk::InstallDialogs();
    gtk::InstallTray();
    return g_presenter;
}

namespace gtk {

bool IsRunning()
{
    return g_presenter != nullptr;
}

UINT VirtualKeyFromKeyval(unsigned int keyval)
{
    if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z)
        return 'A' + (keyval - GDK_KEY_a);
    if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z)
        return 'A' + (keyval - GDK_KEY_A);
    if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9)
        return '0' + (keyval - GDK_KEY_0);
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F24)
        return VK_F1 + (keyval - GDK_KEY_F1);
    if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9)
        return VK_NUMPAD0 + (keyval - GDK_KEY_KP_0);
    static const std::pair<guint, UINT> keys[] = {
        {GDK_KEY_BackSpace, VK_BACK},     {GDK_KEY_Tab, VK_TAB},           {GDK_KEY_ISO_Left_Tab, VK_TAB},
        {GDK_KEY_Return, VK_RETURN},      {GDK_KEY_KP_Enter, VK_RETURN},   {GDK_KEY_Shift_L, VK_SHIFT},
        {GDK_KEY_Shift_R, VK_SHIFT},      {GDK_KEY_Control_L, VK_CONTROL}, {GDK_KEY_Control_R, VK_CONTROL},
        {GDK_KEY_Alt_L, VK_MENU},         {GDK_KEY_Alt_R, VK_MENU},        {GDK_KEY_Pause, VK_PAUSE},
        {GDK_KEY_Caps_Lock, VK_CAPITAL},  {GDK_KEY_Escape, VK_ESCAPE},     {GDK_KEY_space, VK_SPACE},
        {GDK_KEY_Page_Up, VK_PRIOR},      {GDK_KEY_Page_Down, VK_NEXT},    {GDK_KEY_End, VK_END},
        {GDK_KEY_Home, VK_HOME},          {GDK_KEY_Left, VK_LEFT},         {GDK_KEY_Up, VK_UP},
        {GDK_KEY_Right, VK_RIGHT},        {GDK_KEY_Down, VK_DOWN},         {GDK_KEY_Insert, VK_INSERT},
        {GDK_KEY_Delete, VK_DELETE},      {GDK_KEY_Num_Lock, VK_NUMLOCK},  {GDK_KEY_Scroll_Lock, VK_SCROLL},
        {GDK_KEY_Menu, VK_APPS},          {GDK_KEY_semicolon, VK_OEM_1},   {GDK_KEY_colon, VK_OEM_1},
        {GDK_KEY_equal, VK_OEM_PLUS},     {GDK_KEY_plus, VK_OEM_PLUS},     {GDK_KEY_comma, VK_OEM_COMMA},
        {GDK_KEY_less, VK_OEM_COMMA},     {GDK_KEY_minus, VK_OEM_MINUS},   {GDK_KEY_underscore, VK_OEM_MINUS},
        {GDK_KEY_period, VK_OEM_PERIOD},  {GDK_KEY_greater, VK_OEM_PERIOD}, {GDK_KEY_slash, VK_OEM_2},
        {GDK_KEY_question, VK_OEM_2},     {GDK_KEY_grave, VK_OEM_3},       {GDK_KEY_asciitilde, VK_OEM_3},
        {GDK_KEY_bracketleft, VK_OEM_4},  {GDK_KEY_braceleft, VK_OEM_4},   {GDK_KEY_backslash, VK_OEM_5},
        {GDK_KEY_bar, VK_OEM_5},          {GDK_KEY_bracketright, VK_OEM_6}, {GDK_KEY_braceright, VK_OEM_6},
        {GDK_KEY_apostrophe, VK_OEM_7},   {GDK_KEY_quotedbl, VK_OEM_7},    {GDK_KEY_KP_Multiply, VK_MULTIPLY},
        {GDK_KEY_KP_Add, VK_ADD},         {GDK_KEY_KP_Subtract, VK_SUBTRACT}, {GDK_KEY_KP_Decimal, VK_DECIMAL},
        {GDK_KEY_KP_Divide, VK_DIVIDE},
    };
    for (const auto& [k, vk] : keys)
        if (k == keyval)
            return vk;
    return 0;
}

POINT HostToScreen(HWND host, double x, double y)
{
    POINT pt{static_cast<LONG>(x), static_cast<LONG>(y)};
    ClientToScreen(host, &pt);
    return pt;
}

GtkWindow* GtkWindowOf(HWND hwnd)
{
    TopLevel* top = g_presenter && hwnd ? g_presenter->Find(TopLevelOf(hwnd)) : nullptr;
    return top ? GTK_WINDOW(top->window) : nullptr;
}

void AttachWidget(HWND host, GtkWidget* widget)
{
    if (!g_presenter)
        return;
    DetachWidget(host);
    g_object_ref_sink(widget);
    GtkWidget* clip = gtk_layout_new(nullptr, nullptr);
    g_object_ref_sink(clip);
    gtk_layout_put(GTK_LAYOUT(clip), widget, 0, 0);
    gtk_widget_show(widget);
    g_presenter->m_widgets[host] = Overlaid{widget, clip, RECT{}, RECT{}};
    PlaceWidget(host);
}

void DetachWidget(HWND host)
{
    if (!g_presenter)
        return;
    auto it = g_presenter->m_widgets.find(host);
    if (it == g_presenter->m_widgets.end())
        return;
    GtkWidget* widget = it->second.widget;
    GtkWidget* clip = it->second.clip;
    g_presenter->m_widgets.erase(it);
    if (GtkWidget* parent = gtk_widget_get_parent(clip))
        gtk_container_remove(GTK_CONTAINER(parent), clip);
    gtk_container_remove(GTK_CONTAINER(clip), widget);
    g_object_unref(clip);
    g_object_unref(widget);
}

void PlaceWidget(HWND host)
{
    if (!g_presenter)
        return;
    auto it = g_presenter->m_widgets.find(host);
    if (it == g_presenter->m_widgets.end())
        return;
    GtkWidget* widget = it->second.widget;
    GtkWidget* clip = it->second.clip;
    HWND topHwnd = nullptr;
    RECT r{};
    RECT shown{};
    const bool visible = HostPlacement(host, &topHwnd, &r, &shown);
    TopLevel* top = topHwnd ? g_presenter->Find(topHwnd) : nullptr;
    GtkWidget* parent = gtk_widget_get_parent(clip);
    if (!top) {
        if (parent)
            gtk_container_remove(GTK_CONTAINER(parent), clip);
        return;
    }
    // Host placement is in client coordinates; the overlay starts where the
    // shown part of the window starts.
    POINT clientOrigin{0, 0};
    ClientToScreen(topHwnd, &clientOrigin);
    const RECT wr = WindowRect(topHwnd);
    const LONG dx = clientOrigin.x - wr.left - top->clientOffset.x;
    const LONG dy = clientOrigin.y - wr.top - top->clientOffset.y;
    Shift(&r, dx, dy);
    Shift(&shown, dx, dy);
    if (!visible)
        shown = r;
    const bool moved = !Same(shown, it->second.rect) || !Same(r, it->second.host);
    it->second.rect = shown;
    it->second.host = r;
    if (moved) {
        // The widget keeps the host's whole size; the clip shows its part.
        gtk_widget_set_size_request(widget, std::max<LONG>(1, r.right - r.left), std::max<LONG>(1, r.bottom - r.top));
        gtk_layout_move(GTK_LAYOUT(clip), widget, r.left - shown.left, r.top - shown.top);
    }
    if (parent != top->overlay) {
        if (parent)
            gtk_container_remove(GTK_CONTAINER(parent), clip);
        gtk_overlay_add_overlay(GTK_OVERLAY(top->overlay), clip);
    } else if (moved) {
        gtk_widget_queue_resize(top->overlay);
    }
    gtk_widget_set_visible(clip, visible);
}

void ReleaseFocus(HWND host)
{
    if (!g_presenter)
        return;
    auto it = g_presenter->m_widgets.find(host);
    TopLevel* top = g_presenter->Find(TopLevelOf(host));
    if (it == g_presenter->m_widgets.end() || !top)
        return;
    if (gtk_window_get_focus(GTK_WINDOW(top->window)) == it->second.widget)
        gtk_widget_grab_focus(top->area);
}

} // namespace gtk

} // namespace tavrin::display
