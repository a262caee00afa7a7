// Relative and account names from the caller's text (see relative_name.h).
#include "changes/relative_name.h"

#include <ldap.h>

#include <cstring>
#include <memory>

#include "frame/conversions.h"

namespace txads {
namespace {

struct DnFree {
  void operator()(LDAPAVA*** dn) const noexcept { ldap_dnfree(dn); }
};
using ParsedDn = std::unique_ptr<LDAPAVA**[], DnFree>;

// The caller's name converted, after checking its byte length against the
// room the working buffer leaves for it.
Status caller_name(const char* name, size_t room, std::string& utf8) {
  if (name == nullptr || strnlen(name, room + 1) > room) return kInvalidArg;
  auto converted = to_directory(name);
  if (!converted) return kInvalidArg;
  utf8 = std::move(*converted);
  return kOk;
}

}  // namespace

std::string caller_path(const char* path) {
  return to_directory(path).value_or(std::string());
}

Status build_relative_name(std::string_view prefix, const char* name, std::string& rdn) {
  rdn.clear();
  if (prefix.size() >= kRelativeNameBuffer) return kInvalidArg;
  std::string value;
  Status s = caller_name(name, kRelativeNameBuffer - 1 - prefix.size(), value);
  if (s.failed()) return s;
  rdn.reserve(prefix.size() + value.size());
  rdn.append(prefix).append(value);
  return kOk;
}

Status build_account_name(const char* station, std::string& account) {
  account.clear();
  Status s = caller_name(station, kAccountNameBuffer - 2, account);
  if (s.failed()) return s;
  account.push_back('$');
  return kOk;
}

Status check_single_child(std::string_view rdn) {
  // The parser needs a terminated string; a zero byte inside is no name.
  const std::string text(rdn);
  if (text.size() != std::strlen(text.c_str())) return kBadPathname;
  LDAPDN raw = nullptr;
  const int rc = ldap_str2dn(text.c_str(), &raw, LDAP_DN_FORMAT_LDAPV3);
  ParsedDn dn(raw);
  if (rc != LDAP_SUCCESS || !dn || dn[0] == nullptr || dn[1] != nullptr) return kBadPathname;
  if (dn[0][0] == nullptr || dn[0][1] != nullptr) return kBadPathname;
  return kOk;
}

}  // namespace txads
