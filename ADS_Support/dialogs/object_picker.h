// The group picker's two steps, reachable for tests: describing the picker
// and reading its choice. Not thread-shared; each call has its own values.
#pragma once

#include "dialogs/dialog_protocol.h"
#include "frame/status.h"
#include "frame/string_list.h"

namespace txads {

// Describes the one scope the picker offers: security groups of universal,
// global and domain-local type anywhere in the forest, one per use, owned by
// the parent window. kInvalidArg for a null picker.
Status InitObjectPicker(dialogs::DialogRequest* picker);

// Appends the chosen paths, in the caller's code set, to `paths`. kInvalidArg
// for a null selection, kBadMessage for a choice that names no path.
Status GetSelectedPaths(const dialogs::DialogReply* selection, StringList& paths);

}  // namespace txads
