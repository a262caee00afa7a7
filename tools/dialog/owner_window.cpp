// Transient-for a foreign X window, and placement above it.
#include "owner_window.h"

#include <algorithm>

#include "frame/status.h"

// Xlib defines Status as a macro; the library's Status type is meant here.
#include <gdk/gdkx.h>
#undef Status

namespace txads::dialog {
namespace {

// Centres the dialog over the owner's frame, kept on the owner's monitor.
void place_above(GtkWindow* dialog, GdkWindow* owner) {
  int owner_x = 0, owner_y = 0;
  gdk_window_get_origin(owner, &owner_x, &owner_y);
  const int owner_w = gdk_window_get_width(owner);
  const int owner_h = gdk_window_get_height(owner);
  int width = 0, height = 0;
  gtk_window_get_default_size(dialog, &width, &height);
  if (width <= 0 || height <= 0) gtk_window_get_size(dialog, &width, &height);

  GdkRectangle area{0, 0, 0, 0};
  GdkMonitor* monitor = gdk_display_get_monitor_at_window(gdk_window_get_display(owner), owner);
  if (monitor != nullptr) gdk_monitor_get_workarea(monitor, &area);
  int x = owner_x + (owner_w - width) / 2;
  int y = owner_y + (owner_h - height) / 2;
  if (area.width > 0 && area.height > 0) {
    x = std::clamp(x, area.x, std::max(area.x, area.x + area.width - width));
    y = std::clamp(y, area.y, std::max(area.y, area.y + area.height - height));
  }
  gtk_window_set_position(dialog, GTK_WIN_POS_NONE);
  gtk_window_move(dialog, x, y);
}

}  // namespace

Status attach_owner(GtkWindow* dialog, uint64_t owner) {
  GdkDisplay* display = gtk_widget_get_display(GTK_WIDGET(dialog));
  if (owner == 0 || owner > 0x1FFFFFFFu || !GDK_IS_X11_DISPLAY(display)) {
    return kInvalidOwnerWindow;
  }
  // Null when the id names no window (the X error is trapped inside).
  GdkWindow* foreign = gdk_x11_window_foreign_new_for_display(display, static_cast<Window>(owner));
  if (foreign == nullptr) return kInvalidOwnerWindow;

  gtk_widget_realize(GTK_WIDGET(dialog));
  gdk_window_set_transient_for(gtk_widget_get_window(GTK_WIDGET(dialog)), foreign);
  place_above(dialog, foreign);
  // The dialog keeps the foreign window object for its own lifetime.
  g_object_set_data_full(G_OBJECT(dialog), "txads-owner", foreign, g_object_unref);
  return kOk;
}

}  // namespace txads::dialog
