// The table of well-known accounts outside every directory domain.
#include "platform/well_known_sids.h"

#include <iterator>

#include "frame/ascii_case.h"

namespace txads {
namespace {

constexpr WellKnownAccount kAccounts[] = {
    {"S-1-0-0", "", "NULL SID", SidTypeWellKnownGroup},
    {"S-1-1-0", "", "Everyone", SidTypeWellKnownGroup},
    {"S-1-2-0", "", "LOCAL", SidTypeWellKnownGroup},
    {"S-1-2-1", "", "CONSOLE LOGON", SidTypeWellKnownGroup},
    {"S-1-3-0", "", "CREATOR OWNER", SidTypeWellKnownGroup},
    {"S-1-3-1", "", "CREATOR GROUP", SidTypeWellKnownGroup},
    {"S-1-3-4", "", "OWNER RIGHTS", SidTypeWellKnownGroup},
    {"S-1-5-1", "NT AUTHORITY", "DIALUP", SidTypeWellKnownGroup},
    {"S-1-5-2", "NT AUTHORITY", "NETWORK", SidTypeWellKnownGroup},
    {"S-1-5-3", "NT AUTHORITY", "BATCH", SidTypeWellKnownGroup},
    {"S-1-5-4", "NT AUTHORITY", "INTERACTIVE", SidTypeWellKnownGroup},
    {"S-1-5-6", "NT AUTHORITY", "SERVICE", SidTypeWellKnownGroup},
    {"S-1-5-7", "NT AUTHORITY", "ANONYMOUS LOGON", SidTypeWellKnownGroup},
    {"S-1-5-9", "NT AUTHORITY", "ENTERPRISE DOMAIN CONTROLLERS", SidTypeWellKnownGroup},
    {"S-1-5-10", "NT AUTHORITY", "SELF", SidTypeWellKnownGroup},
    {"S-1-5-11", "NT AUTHORITY", "Authenticated Users", SidTypeWellKnownGroup},
    {"S-1-5-12", "NT AUTHORITY", "RESTRICTED", SidTypeWellKnownGroup},
    {"S-1-5-13", "NT AUTHORITY", "TERMINAL SERVER USER", SidTypeWellKnownGroup},
    {"S-1-5-14", "NT AUTHORITY", "REMOTE INTERACTIVE LOGON", SidTypeWellKnownGroup},
    {"S-1-5-15", "NT AUTHORITY", "This Organization", SidTypeWellKnownGroup},
    {"S-1-5-17", "NT AUTHORITY", "IUSR", SidTypeWellKnownGroup},
    {"S-1-5-18", "NT AUTHORITY", "SYSTEM", SidTypeWellKnownGroup},
    {"S-1-5-19", "NT AUTHORITY", "LOCAL SERVICE", SidTypeWellKnownGroup},
    {"S-1-5-20", "NT AUTHORITY", "NETWORK SERVICE", SidTypeWellKnownGroup},
    {"S-1-5-64-10", "NT AUTHORITY", "NTLM Authentication", SidTypeWellKnownGroup},
    {"S-1-5-64-14", "NT AUTHORITY", "SChannel Authentication", SidTypeWellKnownGroup},
    {"S-1-5-64-21", "NT AUTHORITY", "Digest Authentication", SidTypeWellKnownGroup},
    {"S-1-5-1000", "NT AUTHORITY", "Other Organization", SidTypeWellKnownGroup},
    {"S-1-5-32", "BUILTIN", "BUILTIN", SidTypeDomain},
    {"S-1-5-32-544", "BUILTIN", "Administrators", SidTypeAlias},
    {"S-1-5-32-545", "BUILTIN", "Users", SidTypeAlias},
    {"S-1-5-32-546", "BUILTIN", "Guests", SidTypeAlias},
    {"S-1-5-32-547", "BUILTIN", "Power Users", SidTypeAlias},
    {"S-1-5-32-548", "BUILTIN", "Account Operators", SidTypeAlias},
    {"S-1-5-32-549", "BUILTIN", "Server Operators", SidTypeAlias},
    {"S-1-5-32-550", "BUILTIN", "Print Operators", SidTypeAlias},
    {"S-1-5-32-551", "BUILTIN", "Backup Operators", SidTypeAlias},
    {"S-1-5-32-552", "BUILTIN", "Replicator", SidTypeAlias},
    {"S-1-5-32-554", "BUILTIN", "Pre-Windows 2000 Compatible Access", SidTypeAlias},
    {"S-1-5-32-555", "BUILTIN", "Remote Desktop Users", SidTypeAlias},
    {"S-1-5-32-556", "BUILTIN", "Network Configuration Operators", SidTypeAlias},
    {"S-1-5-32-557", "BUILTIN", "Incoming Forest Trust Builders", SidTypeAlias},
    {"S-1-5-32-558", "BUILTIN", "Performance Monitor Users", SidTypeAlias},
    {"S-1-5-32-559", "BUILTIN", "Performance Log Users", SidTypeAlias},
    {"S-1-5-32-560", "BUILTIN", "Windows Authorization Access Group", SidTypeAlias},
    {"S-1-5-32-561", "BUILTIN", "Terminal Server License Servers", SidTypeAlias},
    {"S-1-5-32-562", "BUILTIN", "Distributed COM Users", SidTypeAlias},
    {"S-1-5-32-568", "BUILTIN", "IIS_IUSRS", SidTypeAlias},
    {"S-1-5-32-569", "BUILTIN", "Cryptographic Operators", SidTypeAlias},
    {"S-1-5-32-573", "BUILTIN", "Event Log Readers", SidTypeAlias},
    {"S-1-5-32-574", "BUILTIN", "Certificate Service DCOM Access", SidTypeAlias},
};

}  // namespace

std::optional<WellKnownAccount> well_known_by_sid(const Sid& sid) {
  const std::string text = sid.to_string();
  for (const auto& account : kAccounts)
    if (text == account.sid) return account;
  return std::nullopt;
}

std::optional<WellKnownAccount> well_known_by_name(std::optional<std::string_view> domain,
                                                   std::string_view name) {
  for (const auto& account : kAccounts) {
    if (domain && !equal_ignoring_case(*domain, account.domain)) continue;
    if (equal_ignoring_case(name, account.name)) return account;
  }
  return std::nullopt;
}

bool is_builtin_sid(const Sid& sid) {
  static const Sid builtin = *Sid::make(5, {SECURITY_BUILTIN_DOMAIN_RID});
  return builtin.is_prefix_of(sid);
}

}  // namespace txads
