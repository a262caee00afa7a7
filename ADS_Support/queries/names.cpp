#include "queries/names.h"

#include "frame/ldap_path_text.h"

namespace txads::queries {
namespace {

bool is_alnum(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

std::string entry_name(std::string_view relative_name) {
  const size_t at = first_cn(relative_name);
  return std::string(at == std::string_view::npos ? relative_name : relative_name.substr(at + 3));
}

bool is_attribute_description(std::string_view name) {
  if (name.empty() || !is_alnum(name.front())) return false;
  bool after_separator = false;  // a ";" or "." needs a character after it
  for (char c : name) {
    if (c == ';' || c == '.') {
      if (after_separator) return false;
      after_separator = true;
    } else if (is_alnum(c) || c == '-') {
      after_separator = false;
    } else {
      return false;
    }
  }
  return !after_separator;
}

}  // namespace txads::queries
