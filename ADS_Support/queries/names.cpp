#include "queries/names.h"

namespace txads::queries {
namespace {

char ascii_lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char ascii_upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool is_alnum(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

std::string group_dn(std::string_view ads_path) {
  std::string upper(ads_path);
  for (char& c : upper) c = ascii_upper(c);
  const size_t cn = upper.find("CN=");
  if (cn == std::string::npos) return std::string(ads_path);
  return upper.substr(cn);
}

std::string entry_name(std::string_view relative_name) {
  for (size_t i = 0; i + 3 <= relative_name.size(); ++i) {
    if (ascii_lower(relative_name[i]) == 'c' && ascii_lower(relative_name[i + 1]) == 'n' &&
        relative_name[i + 2] == '=') {
      return std::string(relative_name.substr(i + 3));
    }
  }
  return std::string(relative_name);
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
