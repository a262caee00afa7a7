// The frame both dialogs share: a modal dialog window with the caller's
// caption, a content box, Cancel and OK (OK is the default and starts
// insensitive until something is selected). Escape cancels. GUI thread only.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "frame/status.h"

namespace txads::dialog {

struct DialogWindow {
  GtkDialog* dialog = nullptr;
  GtkBox* content = nullptr;  // padded vertical box for the dialog's widgets
};

DialogWindow new_dialog_window(const std::string& caption, int width, int height);

// Enables or disables OK.
void allow_ok(const DialogWindow& window, bool allowed);

// Runs the dialog until it closes; true when the operator chose OK.
bool run_dialog_window(const DialogWindow& window);

// A short sentence for a directory failure ("The server is not operational.").
std::string describe(Status status);

// Drops the toolkit's notice about dialogs without a transient parent: the
// dialogs here are owned by a foreign window or by none, by design.
void quiet_toolkit_notices();

}  // namespace txads::dialog
