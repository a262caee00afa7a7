// Test data for the directory tests, set up and checked with the directory's
// own command-line tools (support/domain.h), never with the code under test.
// Each test works in a scratch organizational unit of a unique name that it
// removes.
#pragma once

#include <string>
#include <vector>

namespace scratch {

// The domain's naming context (LDAPBASE).
std::string base();
// "LDAP://" + dn, "/" escaped.
std::string path(const std::string& dn);

// Feeds LDIF to ldapmodify (-a adds entries without changetype). Returns the
// tool's exit status.
int modify(const std::string& ldif, bool continue_on_error = false);
// True when ldapsearch finds the entry.
bool exists(const std::string& dn);
// The values of one attribute of one entry (base64 ones decoded).
std::vector<std::string> values(const std::string& dn, const std::string& attribute);

// A uniquely named OU under the domain, deleted with its subtree at the end.
class Ou {
 public:
  explicit Ou(const std::string& prefix);
  ~Ou();
  Ou(const Ou&) = delete;
  Ou& operator=(const Ou&) = delete;
  const std::string& dn() const { return dn_; }
  std::string path() const { return scratch::path(dn_); }
  // Adds a child entry below the OU: "CN=x" + class + extra LDIF lines.
  int add(const std::string& rdn, const std::string& object_class,
          const std::string& extra_lines = "");

 private:
  std::string dn_;
};

}  // namespace scratch
