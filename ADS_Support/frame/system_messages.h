// The system's message texts, in English and in our own words: one sentence
// ending in a line break for every Win32 code the library can produce
// (win32_errors.h). Constant; thread-safe.
#pragma once

#include <cstdint>

namespace txads {

// The text of a Win32 code, or of an HRESULT of facility 7 (its low 16 bits
// are the code). "" for a code without a text.
const char* system_message(uint32_t code);

// The table, for checks that it is sorted and complete.
struct SystemMessage {
  uint32_t code;
  const char* text;
};
const SystemMessage* system_messages_begin();
const SystemMessage* system_messages_end();

namespace testing {
// Test seam: a lookup that replaces the table (null restores it), for texts
// the table cannot have: longer than an error text's work buffer, or holding
// insert sequences. Returns the previous lookup. Not for production use.
using MessageLookup = const char* (*)(uint32_t code);
MessageLookup replace_system_messages(MessageLookup lookup);
}  // namespace testing

}  // namespace txads
