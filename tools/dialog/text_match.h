// Matching the operator's search text: case-insensitive in the Unicode sense
// (g_utf8_casefold), prefix matches ranked before matches inside a word.
// Pure functions on UTF-8 text; thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace txads::dialog {

std::string casefold(std::string_view text);

// How `folded_text` matches `folded_query` (both case-folded): 0 when it
// starts with it, 1 when it holds it further in, -1 when not at all.
int match_rank(std::string_view folded_text, std::string_view folded_query);

// `text` as Pango markup, escaped, with its first match of `folded_query`
// in bold: highlighted("Lab Admins", "adm") gives "Lab <b>Adm</b>ins".
std::string highlighted(std::string_view text, std::string_view folded_query);

}  // namespace txads::dialog
