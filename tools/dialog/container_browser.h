// The container browser: a tree of the forest's domains and the containers
// and organisational units below them, read in the background, with a find
// field that searches the whole forest by name. GUI thread only.
#pragma once

#include "dialogs/dialog_protocol.h"
#include "directory_reader.h"

namespace txads::dialog {

// Shows the browser with the request's caption and title, reads the forest
// with `reader` (not yet initialised) and returns the chosen container's LDAP
// path, a cancel, or why the directory could not be read.
dialogs::DialogReply run_container_browser(const dialogs::DialogRequest& request,
                                           DirectoryReader& reader);

}  // namespace txads::dialog
