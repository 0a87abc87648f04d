/* The start-up benchmark's peer: the least a GTK 3 program with one
 * WebKitGTK view does to show a page, the floor under our own start-up.
 * One window over the screen's work area, one view on the given file. */
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

int main(int argc, char** argv)
{
    gtk_init(&argc, &argv);
    if (argc < 2)
        return 2;
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title((GtkWindow*)window, "Tavrin start-up peer");
    GdkRectangle area = {0, 0, 800, 600};
    GdkMonitor* monitor = gdk_display_get_primary_monitor(gdk_display_get_default());
    if (!monitor)
        monitor = gdk_display_get_monitor(gdk_display_get_default(), 0);
    if (monitor)
        gdk_monitor_get_workarea(monitor, &area);
    gtk_window_move((GtkWindow*)window, area.x, area.y);
    gtk_window_set_default_size((GtkWindow*)window, area.width, area.height);
    GtkWidget* view = webkit_web_view_new();
    gtk_container_add((GtkContainer*)window, view);
    gchar* uri = g_filename_to_uri(argv[1], NULL, NULL);
    webkit_web_view_load_uri((WebKitWebView*)view, uri ? uri : "about:blank");
    g_free(uri);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
