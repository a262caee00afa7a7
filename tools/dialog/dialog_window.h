// The frame both dialogs share: a modal dialog window with the caller's
// caption, a content box, Cancel and Select (Select is the default, styled
// as such, and starts insensitive until something is selected). Escape
// cancels. GUI thread only.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "frame/status.h"

namespace txads::dialog {

struct DialogWindow {
  GtkDialog* dialog = nullptr;
  GtkBox* content = nullptr;  // padded vertical box for the dialog's widgets
};

// The size is in multiples of the font's height, so it follows the text scale.
DialogWindow new_dialog_window(const std::string& caption, double width_em, double height_em);

// Enables or disables Select.
void allow_ok(const DialogWindow& window, bool allowed);

// Runs the dialog until it closes; true when the operator chose Select.
bool run_dialog_window(const DialogWindow& window);

// Typing in a list goes on in its search field: a printable key or
// Backspace moves the focus to `search` and is handed to it (true then).
bool forward_typing(GdkEventKey* event, GtkEntry* search);

// A short sentence for a directory failure ("The server is not operational.").
std::string describe(Status status);

// Drops the toolkit's notice about dialogs without a transient parent: the
// dialogs here are owned by a foreign window or by none, by design.
void quiet_toolkit_notices();

}  // namespace txads::dialog
