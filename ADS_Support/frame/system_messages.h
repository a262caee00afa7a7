// The system's message texts, in English: one sentence ending in a line
// break per Win32 code the library can produce. Constant; thread-safe.
#pragma once

#include <cstdint>

namespace txads {

// The text of a Win32 code, or of an HRESULT of facility 7 (its low 16 bits
// are the code). "" for a code without a text.
const char* system_message(uint32_t code);

}  // namespace txads
