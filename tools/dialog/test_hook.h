// A test's hand on an open dialog. When TXADS_DIALOG_EVENTS names a file,
// the helper reads events from it, one a line, as the test appends them, and
// plays each once no directory read is pending (so a test never races a
// load). Events every dialog knows:
//   key NAME     a key press, by its accelerator name ("Escape", "Up", "<Alt>s")
//   type TEXT    the keys of TEXT, one by one
//   state        appends the dialog's state, one line, to FILE.state
// Others go to the dialog's own handler ("activate Lab", "select Lab").
// FILE.shown is written when the window appears: the number of directory
// reads pending then. Without the variable
// nothing happens. GUI thread only.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <string>

namespace txads::dialog {

struct TestHook {
  // Plays a dialog's own event; false for one it does not know.
  std::function<bool(const std::string& name, const std::string& argument)> play;
  // The dialog's state as a test reads it: "name=value" fields, space-separated.
  std::function<std::string()> state;
};

// Starts reading events for the dialog `window` (while it exists).
void start_test_hook(GtkWidget* window, TestHook hook);

// Which widget of the window has the keyboard focus: its accessible name.
std::string focus_name(GtkWidget* window);

}  // namespace txads::dialog
