// The tray view on a desktop: one GTK status icon per icon of the service,
// while the desktop has a tray (an owner of the _NET_SYSTEM_TRAY_S<n>
// selection). When a tray appears the service re-announces "TaskbarCreated".
#include "platform/base/CodePage.h"
#include "platform/display/GtkParts.h"
#include "platform/win/ShellTray.h"
#include "platform/win/Window.h"

#include <gtk/gtk.h>
#include <gdk/gdkx.h>
#include <X11/extensions/Xfixes.h>

#include <atomic>
#include <map>
#include <string>
#include <utility>

// GtkStatusIcon is the one widget that speaks the tray protocol.
G_GNUC_BEGIN_IGNORE_DEPRECATIONS

namespace tavrin::display::gtk {

namespace {

struct Shown {
    HWND hwnd = nullptr;
    UINT id = 0;
    GtkStatusIcon* icon = nullptr;
};

gboolean OnTrayButton(GtkStatusIcon*, GdkEventButton* event, gpointer data)
{
    const auto* shown = static_cast<const Shown*>(data);
    UINT message = 0;
    const bool right = event->button == 3;
    const bool middle = event->button == 2;
    switch (event->type) {
    case GDK_BUTTON_PRESS: message = right ? WM_RBUTTONDOWN : middle ? WM_MBUTTONDOWN : WM_LBUTTONDOWN; break;
    case GDK_2BUTTON_PRESS: message = right ? WM_RBUTTONDBLCLK : middle ? WM_MBUTTONDBLCLK : WM_LBUTTONDBLCLK; break;
    case GDK_BUTTON_RELEASE: message = right ? WM_RBUTTONUP : middle ? WM_MBUTTONUP : WM_LBUTTONUP; break;
    default: return TRUE;
    }
    win::NotifyTrayIcon(shown->hwnd, shown->id, message);
    return TRUE;
}

class GtkTrayView final : public win::TrayView {
public:
    GtkTrayView()
    {
        GdkScreen* screen = gdk_screen_get_default();
        const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(gdk_x11_screen_get_screen_number(screen));
        m_selection = gdk_atom_intern(name.c_str(), FALSE);
        m_available = ReadOwner();
        // The display server tells when the tray's selection changes hands
        // or its owner goes away.
        Display* display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
        int error = 0;
        if (XFixesQueryExtension(display, &m_fixesEvent, &error)) {
            XFixesSelectSelectionInput(display, DefaultRootWindow(display), gdk_x11_atom_to_xatom(m_selection),
                                       XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask |
                                           XFixesSelectionClientCloseNotifyMask);
            gdk_window_add_filter(nullptr, OnXEvent, this);
            XFlush(display);
        }
    }

    bool IsAvailable() override { return m_available; }

    void Show(const win::TrayIcon& icon) override
    {
        Shown& shown = m_icons[{icon.hwnd, icon.id}];
        if (!shown.icon) {
            shown.hwnd = icon.hwnd;
            shown.id = icon.id;
            shown.icon = gtk_status_icon_new();
            g_signal_connect(shown.icon, "button-press-event", G_CALLBACK(OnTrayButton), &shown);
            g_signal_connect(shown.icon, "button-release-event", G_CALLBACK(OnTrayButton), &shown);
        }
        auto image = IconFromHandle(icon.icon);
        if (GdkPixbuf* pixbuf = image ? PixbufFromIcon(*image) : nullptr) {
            gtk_status_icon_set_from_pixbuf(shown.icon, pixbuf);
            g_object_unref(pixbuf);
        }
        gtk_status_icon_set_tooltip_text(shown.icon, GbkToUtf8(icon.tip).c_str());
        gtk_status_icon_set_visible(shown.icon, !icon.hidden);
    }

    void Remove(HWND hwnd, UINT id) override
    {
        auto it = m_icons.find({hwnd, id});
        if (it == m_icons.end())
            return;
        g_signal_handlers_disconnect_by_data(it->second.icon, &it->second);
        gtk_status_icon_set_visible(it->second.icon, FALSE);
        g_object_unref(it->second.icon);
        m_icons.erase(it);
    }

private:
    bool ReadOwner() const
    {
        Display* display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
        return XGetSelectionOwner(display, gdk_x11_atom_to_xatom(m_selection)) != None;
    }

    static GdkFilterReturn OnXEvent(GdkXEvent* xevent, GdkEvent*, gpointer data)
    {
        auto* self = static_cast<GtkTrayView*>(data);
        const auto* event = static_cast<const XEvent*>(xevent);
        if (event->type != self->m_fixesEvent + XFixesSelectionNotify)
            return GDK_FILTER_CONTINUE;
        const auto* notify = reinterpret_cast<const XFixesSelectionNotifyEvent*>(event);
        if (notify->selection == gdk_x11_atom_to_xatom(self->m_selection))
            self->OwnerChanged();
        return GDK_FILTER_CONTINUE;
    }

    void OwnerChanged()
    {
        const bool was = m_available;
        m_available = ReadOwner();
        if (m_available && !was)
            win::TaskbarCreated();
    }

    GdkAtom m_selection;
    int m_fixesEvent = 0;
    std::atomic<bool> m_available{false};
    std::map<std::pair<HWND, UINT>, Shown> m_icons;
};

} // namespace

void InstallTray()
{
    static GtkTrayView* view = new GtkTrayView;
    win::SetTrayView(view);
}

GdkPixbuf* PixbufFromIcon(const Icon& icon)
{
    const int width = icon.Width(), height = icon.Height();
    if (width <= 0 || height <= 0)
        return nullptr;
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height);
    if (!pixbuf)
        return nullptr;
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    const Surface& colour = icon.Colour();
    const std::vector<uint8_t>& mask = icon.Mask();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t p = colour.GetPixel(x, y);
            guchar* out = pixels + y * stride + x * 4;
            out[0] = static_cast<guchar>(p >> 16);
            out[1] = static_cast<guchar>(p >> 8);
            out[2] = static_cast<guchar>(p);
            const size_t i = static_cast<size_t>(y) * width + x;
            out[3] = icon.HasAlpha() ? static_cast<guchar>(p >> 24) : (i < mask.size() && mask[i] ? 0 : 255);
        }
    return pixbuf;
}

} // namespace tavrin::display::gtk

G_GNUC_END_IGNORE_DEPRECATIONS
