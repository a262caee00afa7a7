// The group picker: the forest's security groups of universal, global and
// domain-local type, read from the global catalog while the window is already
// up, with a search field that narrows the list as the operator types.
// Single selection. GUI thread only (the read runs on a thread of its own).
#pragma once

#include "dialogs/dialog_protocol.h"
#include "directory_reader.h"

namespace txads::dialog {

// Shows the picker, owned by the request's owner window when it names one,
// and returns the chosen group's LDAP path, a cancel, or why it could not be
// shown (kInvalidOwnerWindow for an owner that is no window).
dialogs::DialogReply run_group_picker(const dialogs::DialogRequest& request,
                                      DirectoryReader& reader);

}  // namespace txads::dialog
