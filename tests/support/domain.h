// The test domain as tests see it: its names, the seeded users' tickets, and
// reads and changes made with the directory's own tools.
//
// Everything here goes through ldapsearch / ldapmodify / ldapdelete over SASL
// GSSAPI (-Y GSSAPI -Q) or kinit, never through the library under test, so a
// fault in the library cannot hide itself in a test's setup or verification.
// The tools always act as the domain's administrator (its ticket cache), even
// while a test has switched KRB5CCNAME to another user with AsUser.
//
// Needs the environment of scripts/testdomain/run (LDAPURI, LDAPBASE,
// TXADS_CCACHE_DIR, ...). Failures of a tool throw std::runtime_error with the
// command line and what the tool printed; inside a gtest body that fails the
// test with the message. Thread-safe except AsUser (it sets the environment).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/ldif.h"
#include "support/process.h"

namespace txads_test {

// The domain's DN, from LDAPBASE ("DC=corp,DC=example,DC=com").
std::string base_dn();
// `relative` + "," + the domain's DN: seeded("OU=Lab,OU=Site").
std::string seeded(std::string_view relative);
// "LDAP://" + dn.
std::string path_of(std::string_view dn);
// The DNS name of the domain ("corp.example.com") and its NetBIOS name ("CORP").
std::string dns_domain();
std::string netbios_domain();
// The first controller's address ($TXADS_TESTDOMAIN_DC1_ADDRESS, 127.0.0.11 without it).
std::string first_controller_address();
// The password of every seeded user (TXADS_TEST_PASSWORD).
std::string test_password();
// The ticket cache of a seeded account ("administrator", "ann", "jürgen").
std::string ccache_of(std::string_view account);

enum class Scope { base, one, subtree };

// Search as the administrator; `attributes` empty means DNs only. Binary
// values come back as raw bytes. An absent base gives an empty list.
std::vector<LdifEntry> search(std::string_view base, std::string_view filter,
                              Scope scope = Scope::subtree,
                              const std::vector<std::string>& attributes = {});
// DNs of the entries a search finds.
std::vector<std::string> search_dns(std::string_view base, std::string_view filter,
                                    Scope scope = Scope::subtree);
// The values of one attribute of the object at `dn` (none when it is absent).
std::vector<std::string> attribute_values(std::string_view dn, std::string_view attribute);
bool object_exists(std::string_view dn);
// The SID text ("S-1-5-21-...") of the object at `dn`, decoded from objectSid.
std::string sid_of(std::string_view dn);

// Applies LDIF change records (ldapmodify) as the administrator.
void modify(std::string_view ldif);
// Deletes `dn` and everything below it (ldapdelete -r).
void delete_tree(std::string_view dn);

// Stops, freezes, thaws or starts controller 1 or 2 of the test domain
// ($TXADS_TESTDOMAIN_DC_CONTROL; see scripts/testdomain/README.md).
ToolResult control_controller(int controller, std::string_view action);

// Gets a ticket for `account` into the cache file `ccache` (kinit). Returns
// the tool's result, so a test can also expect a refusal.
ToolResult kinit(std::string_view account, std::string_view password, std::string_view ccache);

// Switches KRB5CCNAME to a seeded account's cache (or to `ccache` given as a
// path containing '/') for the rest of the scope; restores the old value.
class AsUser {
 public:
  explicit AsUser(std::string_view account_or_ccache);
  ~AsUser();
  AsUser(const AsUser&) = delete;
  AsUser& operator=(const AsUser&) = delete;

 private:
  std::string saved_;
  bool had_value_ = false;
};

}  // namespace txads_test
