// A scratch organisational unit of the test domain, made and removed with the
// directory's own tools (ldapadd, ldapdelete with Kerberos), never with the
// code under test. Uses LDAPURI and LDAPBASE of the test domain's
// environment. Not thread-safe.
#pragma once

#include <string>

namespace txads::testing {

class ScratchOu {
 public:
  // Creates OU=<prefix><unique> directly below the domain.
  explicit ScratchOu(const std::string& prefix);
  // Removes the unit with everything in it.
  ~ScratchOu();
  ScratchOu(const ScratchOu&) = delete;
  ScratchOu& operator=(const ScratchOu&) = delete;

  bool ok() const { return ok_; }
  const std::string& name() const { return name_; }
  const std::string& dn() const { return dn_; }
  // A short unique word for names inside the unit.
  const std::string& tag() const { return tag_; }

  // Adds entries from LDIF text; false (with the tool's output logged) on failure.
  bool add(const std::string& ldif) const;

 private:
  std::string tag_;
  std::string name_;
  std::string dn_;
  bool ok_ = false;
};

// The domain's base DN and its controller's host name, from the environment.
std::string domain_base();
std::string controller_host();

}  // namespace txads::testing
