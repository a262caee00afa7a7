// The failures of a dialog that callers can be told about, as HRESULTs of
// Win32 codes so that their error text is the message table's sentence.
// Shared by the library and the dialog helper program.
#pragma once

#include "frame/status.h"
#include "frame/win32_errors.h"

namespace txads::dialogs {

// The helper program is not installed (or not executable): reinstall.
inline constexpr Status kHelperMissing = Status::from_win32(win32::ERROR_FILE_NOT_FOUND);
// The helper's message could not be read: a broken install.
inline constexpr Status kBadMessage = Status::from_win32(win32::ERROR_INVALID_DATA);
// The helper ended without an answer (crashed, killed).
inline constexpr Status kHelperAborted = Status::from_win32(win32::ERROR_PROCESS_ABORTED);
// Library and helper speak different protocol versions: a mixed install.
inline constexpr Status kVersionMismatch = Status::from_win32(win32::ERROR_REVISION_MISMATCH);
// The owner window id names no window on the display.
inline constexpr Status kInvalidOwnerWindow =
    Status::from_win32(win32::ERROR_INVALID_WINDOW_HANDLE);
// There is no X display to show the dialog on.
inline constexpr Status kNoDisplay =
    Status::from_win32(win32::ERROR_REQUIRES_INTERACTIVE_WINDOWSTATION);

}  // namespace txads::dialogs
