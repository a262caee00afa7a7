// The container browser: a tree of the forest's domains and the containers
// and organisational units below them, loaded one level at a time as the
// operator opens a branch. GUI thread only.
#pragma once

#include "dialogs/dialog_protocol.h"
#include "directory_reader.h"

namespace txads::dialog {

// Shows the browser with the request's caption and title and returns the
// chosen container's LDAP path, a cancel, or why it could not be shown.
dialogs::DialogReply run_container_browser(const dialogs::DialogRequest& request,
                                           const DirectoryReader& reader);

}  // namespace txads::dialog
