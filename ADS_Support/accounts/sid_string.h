// GetStringFromSID: a binary SID as SID text in a caller's buffer.
// Thread-safe.
#pragma once

#include "platform/security_types.h"

namespace txads {

// Copies the SID text into `text` by the output-buffer rule (strncpy with
// `length`) and returns 1. Returns 0 and leaves the buffer untouched when the
// SID is not valid, or when nothing can be written (a negative length, or a
// null buffer with a positive length).
int GetStringFromSID(PSID sid, char* text, int length);

}  // namespace txads
