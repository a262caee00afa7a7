// OpenLDAP's client configuration as this library applies it to a new
// handle. libldap itself reads ldap.conf, LDAPRC and the LDAP* environment;
// on top of that the layer sets only what a directory controller needs and
// what a caller must never lack:
//   - LDAPv3, libldap's own referral chasing off (it would rebind anonymously);
//   - timeouts when the configuration sets none (kDefault* below);
//   - no reverse-DNS canonicalisation of the host name unless SASL_NOCANON is
//     configured somewhere;
//   - a SASL security layer of at least kMinimumSsf (signing and sealing).
// Thread-safe.
#pragma once

#include <ldap.h>

#include <string>
#include <string_view>

namespace txads::directory {

inline constexpr int kDefaultNetworkTimeoutSeconds = 5;
inline constexpr int kDefaultOperationTimeoutSeconds = 30;
inline constexpr unsigned kMinimumSsf = 56;

// Returns an LDAP result code.
int prepare_handle(LDAP* ld);

// True when the setting ("URI", "SASL_NOCANON") appears in the environment
// (LDAP<setting>) or in a configuration file that libldap reads. libldap
// itself cannot tell a configured value from its default.
bool setting_configured(std::string_view keyword);

// setting_configured("SASL_NOCANON"): then libldap's value is left as
// configured.
bool nocanon_configured();

// The SASL mechanism: SASL_MECH of the configuration, else "GSSAPI".
std::string sasl_mechanism(LDAP* ld);

// The operation timeout in effect on the handle (for searches).
timeval operation_timeout(LDAP* ld);

// The connect timeout in effect on the handle: also how long a server may
// stay silent after a request before it counts as hung.
timeval network_timeout(LDAP* ld);

}  // namespace txads::directory
