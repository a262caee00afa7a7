// DN comparison for binds: both dns parsed by libldap, values case-folded
// through the C.UTF-8 locale's wide-character tables; the value of a dn's
// first RDN, parsed the same way.
#include "directory/same_dn.h"

#include <ldap.h>
#include <locale.h>
#include <wctype.h>

#include <string>

#include "directory/ldap_owners.h"
#include "frame/ascii_case.h"

namespace txads::directory {
namespace {

// The locale whose tables fold every Unicode letter; null where the system
// has none, and then only ASCII letters fold.
locale_t folding_locale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return locale;
}

// One UTF-8 character at `at`, advanced past it; -1 for a malformed sequence.
long next_code_point(std::string_view text, size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) return lead;
  const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (extra < 0 || lead > 0xF4 || at + static_cast<size_t>(extra) > text.size()) return -1;
  long code = lead & (0x3F >> extra);
  for (int i = 0; i < extra; ++i) {
    const auto byte = static_cast<unsigned char>(text[at++]);
    if ((byte & 0xC0) != 0x80) return -1;
    code = (code << 6) | (byte & 0x3F);
  }
  return code;
}

char32_t lower(long code) {
  if (const locale_t locale = folding_locale())
    return static_cast<char32_t>(towlower_l(static_cast<wint_t>(code), locale));
  return static_cast<char32_t>(code < 0x80 ? ascii_lower(static_cast<char>(code)) : code);
}

// The text's characters in lower case; false for text that is no UTF-8.
bool folded(std::string_view text, std::u32string& out) {
  out.clear();
  for (size_t at = 0; at < text.size();) {
    const long code = next_code_point(text, at);
    if (code < 0) return false;
    out += lower(code);
  }
  return true;
}

bool same_value(const berval& a, const berval& b) {
  const std::string_view x(a.bv_val, a.bv_len), y(b.bv_val, b.bv_len);
  if (x == y) return true;
  std::u32string fx, fy;
  return folded(x, fx) && folded(y, fy) ? fx == fy : equal_ignoring_case(x, y);
}

bool same_ava(const LDAPAVA& a, const LDAPAVA& b) {
  return (a.la_flags & LDAP_AVA_BINARY) == (b.la_flags & LDAP_AVA_BINARY) &&
         equal_ignoring_case(std::string_view(a.la_attr.bv_val, a.la_attr.bv_len),
                             std::string_view(b.la_attr.bv_val, b.la_attr.bv_len)) &&
         same_value(a.la_value, b.la_value);
}

bool parse(std::string_view text, Dn& dn) {
  const std::string terminated(text);
  if (terminated.find('\0') != std::string::npos) return false;  // read only up to it
  LDAPDN raw = nullptr;
  const int rc = ldap_str2dn(terminated.c_str(), &raw, LDAP_DN_FORMAT_LDAPV3);
  dn.reset(raw);
  return rc == LDAP_SUCCESS;
}

}  // namespace

bool same_dn(std::string_view asked, std::string_view answered) {
  if (asked == answered) return true;  // as the server mostly answers
  Dn a, b;
  if (!parse(asked, a) || !parse(answered, b)) return false;
  if (!a || !b) return !a && !b;  // "" parses as no RDN at all
  size_t r = 0;
  for (; a.get()[r] && b.get()[r]; ++r) {
    const LDAPRDN x = a.get()[r], y = b.get()[r];
    size_t v = 0;
    for (; x[v] && y[v]; ++v)
      if (!same_ava(*x[v], *y[v])) return false;
    if (x[v] || y[v]) return false;
  }
  return !a.get()[r] && !b.get()[r];
}

std::optional<std::string> first_rdn_value(std::string_view dn) {
  Dn parsed;
  if (!parse(dn, parsed) || !parsed) return std::nullopt;
  const LDAPRDN rdn = parsed.get()[0];
  if (!rdn[0] || rdn[1] || (rdn[0]->la_flags & LDAP_AVA_BINARY)) return std::nullopt;
  return std::string(rdn[0]->la_value.bv_val, rdn[0]->la_value.bv_len);
}

}  // namespace txads::directory
