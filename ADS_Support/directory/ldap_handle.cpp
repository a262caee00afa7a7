#include "directory/ldap_handle.h"

#include <mutex>

namespace txads::directory {

int new_ldap_handle(const std::string& uri, LdapHandle& ld) {
  static std::once_flag globals_ready;
  std::call_once(globals_ready, [] {
    int version = 0;  // any global read makes libldap read its configuration
    ldap_get_option(nullptr, LDAP_OPT_PROTOCOL_VERSION, &version);
  });
  LDAP* raw = nullptr;
  const int rc = ldap_initialize(&raw, uri.empty() ? nullptr : uri.c_str());
  ld.reset(raw);
  return rc;
}

}  // namespace txads::directory
