// The shared dialog frame.
#include "dialog_window.h"

#include <cstdio>
#include <cstring>

#include "frame/error_text.h"
#include "translation.h"

namespace txads::dialog {
namespace {

GLogWriterOutput write_log(GLogLevelFlags level, const GLogField* fields, gsize count, gpointer) {
  if ((level & G_LOG_LEVEL_MESSAGE) != 0) {
    for (gsize i = 0; i < count; ++i) {
      if (std::strcmp(fields[i].key, "MESSAGE") == 0 && fields[i].length < 0 &&
          std::strstr(static_cast<const char*>(fields[i].value), "transient parent") != nullptr) {
        return G_LOG_WRITER_HANDLED;
      }
    }
  }
  return g_log_writer_default(level, fields, count, nullptr);
}

}  // namespace

DialogWindow new_dialog_window(const std::string& caption, double width_em, double height_em) {
  GtkWidget* widget =
      gtk_dialog_new_with_buttons(caption.c_str(), nullptr, GTK_DIALOG_MODAL, _("_Cancel"),
                                  GTK_RESPONSE_CANCEL, _("_Select"), GTK_RESPONSE_OK, nullptr);
  DialogWindow window;
  window.dialog = GTK_DIALOG(widget);
  GtkWidget* select = gtk_dialog_get_widget_for_response(window.dialog, GTK_RESPONSE_OK);
  gtk_style_context_add_class(gtk_widget_get_style_context(select), "suggested-action");
  gtk_widget_set_can_default(select, TRUE);
  gtk_widget_grab_default(select);

  // The font's size in pixels, the screen's resolution and text scale included.
  PangoContext* pango = gtk_widget_get_pango_context(widget);
  const PangoFontDescription* font = pango_context_get_font_description(pango);
  double em = pango_font_description_get_size(font) / static_cast<double>(PANGO_SCALE);
  if (!pango_font_description_get_size_is_absolute(font)) {
    const double dpi = gdk_screen_get_resolution(gtk_widget_get_screen(widget));
    em *= (dpi > 0 ? dpi : 96.0) / 72.0;
  }
  if (em <= 0) em = 13.0;
  gtk_window_set_default_size(GTK_WINDOW(widget), static_cast<int>(width_em * em),
                              static_cast<int>(height_em * em));
  gtk_window_set_position(GTK_WINDOW(widget), GTK_WIN_POS_CENTER);
  gtk_dialog_set_default_response(window.dialog, GTK_RESPONSE_OK);

  // 6 around everything keeps the buttons off the window's edge; the
  // content gets 6 more.
  gtk_container_set_border_width(GTK_CONTAINER(widget), 6);
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
  gtk_container_set_border_width(GTK_CONTAINER(box), 6);
  gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(window.dialog)), box, TRUE, TRUE, 0);
  window.content = GTK_BOX(box);
  allow_ok(window, false);
  return window;
}

void allow_ok(const DialogWindow& window, bool allowed) {
  gtk_dialog_set_response_sensitive(window.dialog, GTK_RESPONSE_OK, allowed);
}

bool run_dialog_window(const DialogWindow& window) {
  gtk_widget_show_all(GTK_WIDGET(window.dialog));
  const int response = gtk_dialog_run(window.dialog);
  return response == GTK_RESPONSE_OK;
}

bool forward_typing(GdkEventKey* event, GtkEntry* search) {
  const bool typed = (event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) == 0 &&
                     (g_unichar_isprint(gdk_keyval_to_unicode(event->keyval)) ||
                      event->keyval == GDK_KEY_BackSpace);
  if (!typed) return false;
  gtk_entry_grab_focus_without_selecting(search);
  gtk_widget_event(GTK_WIDGET(search), reinterpret_cast<GdkEvent*>(event));
  return true;
}

std::string describe(Status status) {
  char text[300] = {};
  GetADSErrorText(status, {text, static_cast<int>(sizeof text)});
  std::string out(text);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  if (out.find(' ') == std::string::npos) {
    // A bare name or number: say where it came from.
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", status.bits());
    gchar* text_with_code =
        g_strdup_printf(_("The directory reported error %s."), out.empty() ? code : out.c_str());
    out = text_with_code;
    g_free(text_with_code);
  }
  return out;
}

void quiet_toolkit_notices() {
  g_log_set_writer_func(write_log, nullptr, nullptr);
}

}  // namespace txads::dialog
