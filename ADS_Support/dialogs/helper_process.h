// Running the dialog helper program: the library links no GUI toolkit; each
// dialog is a child process that shows it and answers over a socket with the
// protocol of dialog_protocol.h. The call blocks the calling thread until the
// dialog closes, which makes the dialog modal for the caller.
//
// The child never outlives the call: on any failure of the conversation it is
// killed and reaped. Safe to call from several threads at once (each call has
// its own child).
#pragma once

#include <string>

#include "dialogs/dialog_protocol.h"
#include "frame/status.h"

namespace txads::dialogs {

// The environment variable that names another helper program (used by tests).
inline constexpr const char* kHelperOverride = "TXADS_DIALOG_HELPER";

// The helper's file: the override when set (a build tree's tests set it to
// the helper built there), else the installed one. kHelperMissing when that
// file is not an executable.
Status find_helper(std::string& program);

// Shows one dialog with the given helper and waits until it closes.
//   kOk    - the operator chose; reply.paths holds the choice
//   kFalse - the operator cancelled
//   kNoDisplay when no X display is set, the helper's own failure status, or
//   kHelperMissing, kHelperAborted, kBadMessage, kVersionMismatch, or an
//   errno-based code when the helper could not be run or talked to.
Status run_dialog(const std::string& program, const DialogRequest& request, DialogReply& reply);

}  // namespace txads::dialogs
