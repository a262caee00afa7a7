// Owner types for every resource that libldap and liblber hand out (Kerberos:
// krb5_owners.h).
// Take ownership of an out-parameter on the line after the call that fills
// it; the man pages say to free a result whatever the return code.
// Plain RAII types: not shared between threads.
#pragma once

#include <ldap.h>

#include <memory>

namespace txads::directory {

struct LdapUnbind {
  void operator()(LDAP* ld) const noexcept { ldap_unbind_ext_s(ld, nullptr, nullptr); }
};
using LdapHandle = std::unique_ptr<LDAP, LdapUnbind>;

struct MessageFree {
  void operator()(LDAPMessage* m) const noexcept { ldap_msgfree(m); }
};
using Message = std::unique_ptr<LDAPMessage, MessageFree>;

struct BerFree {
  void operator()(BerElement* b) const noexcept { ber_free(b, 0); }
};
using Ber = std::unique_ptr<BerElement, BerFree>;

struct BervalsFree {
  void operator()(berval** v) const noexcept { ldap_value_free_len(v); }
};
using Bervals = std::unique_ptr<berval*, BervalsFree>;

// The array of an attribute's values read in place (ldap_get_attribute_ber):
// the values point into the entry, only the array is freed.
struct InPlaceValuesFree {
  void operator()(berval* v) const noexcept { ber_memfree(v); }
};
using InPlaceValues = std::unique_ptr<berval, InPlaceValuesFree>;

struct BervalFree {
  void operator()(berval* v) const noexcept { ber_bvfree(v); }
};
using Berval = std::unique_ptr<berval, BervalFree>;

struct LdapMemFree {
  void operator()(char* s) const noexcept { ldap_memfree(s); }
};
using LdapString = std::unique_ptr<char, LdapMemFree>;

struct StringsFree {
  void operator()(char** s) const noexcept { ber_memvfree(reinterpret_cast<void**>(s)); }
};
using Strings = std::unique_ptr<char*, StringsFree>;

struct ControlsFree {
  void operator()(LDAPControl** c) const noexcept { ldap_controls_free(c); }
};
using Controls = std::unique_ptr<LDAPControl*, ControlsFree>;

struct ControlFree {
  void operator()(LDAPControl* c) const noexcept { ldap_control_free(c); }
};
using Control = std::unique_ptr<LDAPControl, ControlFree>;

struct UrlFree {
  void operator()(LDAPURLDesc* u) const noexcept { ldap_free_urldesc(u); }
};
using Url = std::unique_ptr<LDAPURLDesc, UrlFree>;

struct TimevalFree {
  void operator()(timeval* t) const noexcept { ldap_memfree(t); }
};
using Timeval = std::unique_ptr<timeval, TimevalFree>;

struct DnFree {
  void operator()(LDAPDN dn) const noexcept { ldap_dnfree(dn); }
};
using Dn = std::unique_ptr<LDAPRDN, DnFree>;

}  // namespace txads::directory
