// Case folding and match ranking.
#include "text_match.h"

#include <glib.h>

namespace txads::dialog {

std::string casefold(std::string_view text) {
  gchar* folded = g_utf8_casefold(text.data(), static_cast<gssize>(text.size()));
  std::string out = folded;
  g_free(folded);
  return out;
}

int match_rank(std::string_view folded_text, std::string_view folded_query) {
  const size_t at = folded_text.find(folded_query);
  if (at == std::string_view::npos) return -1;
  return at == 0 ? 0 : 1;
}

std::string highlighted(std::string_view text, std::string_view folded_query) {
  auto escaped = [](std::string_view part) {
    gchar* e = g_markup_escape_text(part.data(), static_cast<gssize>(part.size()));
    std::string out = e;
    g_free(e);
    return out;
  };
  if (!folded_query.empty()) {
    // Folding may change a text's length, so the match is sought in the
    // original text, character by character.
    const char* end = text.data() + text.size();
    for (const char* from = text.data(); from < end; from = g_utf8_next_char(from)) {
      for (const char* to = g_utf8_next_char(from); to <= end; to = g_utf8_next_char(to)) {
        const std::string folded = casefold({from, static_cast<size_t>(to - from)});
        if (folded == folded_query) {
          return escaped({text.data(), static_cast<size_t>(from - text.data())}) + "<b>" +
                 escaped({from, static_cast<size_t>(to - from)}) + "</b>" +
                 escaped({to, static_cast<size_t>(end - to)});
        }
        if (folded.size() >= folded_query.size() || !folded_query.starts_with(folded)) break;
        if (to == end) break;
      }
    }
  }
  return escaped(text);
}

}  // namespace txads::dialog
