// The shared dialog frame.
#include "dialog_window.h"

#include <cstdio>
#include <cstring>

#include "frame/error_text.h"

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

DialogWindow new_dialog_window(const std::string& caption, int width, int height) {
  GtkWidget* widget =
      gtk_dialog_new_with_buttons(caption.c_str(), nullptr, GTK_DIALOG_MODAL, "_Cancel",
                                  GTK_RESPONSE_CANCEL, "_OK", GTK_RESPONSE_OK, nullptr);
  DialogWindow window;
  window.dialog = GTK_DIALOG(widget);
  gtk_window_set_default_size(GTK_WINDOW(widget), width, height);
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

std::string describe(Status status) {
  char text[300] = {};
  GetADSErrorText(status, {text, static_cast<int>(sizeof text)});
  std::string out(text);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  if (out.find(' ') == std::string::npos) {
    // A bare name or number: say where it came from.
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", status.bits());
    out = std::string("The directory reported error ") + (out.empty() ? code : out) + ".";
  }
  return out;
}

void quiet_toolkit_notices() {
  g_log_set_writer_func(write_log, nullptr, nullptr);
}

}  // namespace txads::dialog
