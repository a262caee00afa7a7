// Keeping a dialog above a window of another program: the owner is named by
// its X11 window id. Runs on the GUI thread.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>

#include "frame/status.h"

namespace txads::dialog {

// Makes the dialog transient for the X window `owner` (WM_TRANSIENT_FOR) and
// places it centred above it. Call before the dialog is shown.
// kInvalidOwnerWindow when `owner` names no window on the display.
Status attach_owner(GtkWindow* dialog, uint64_t owner);

}  // namespace txads::dialog
