// Test support for the membership checks against the test domain: a scratch
// organisational unit per test, filled and removed with the directory's own
// tools (ldapmodify, ldapdelete, ldapsearch over GSSAPI as the domain's
// administrator), never with the code under test; the trace lines written
// during a test; ticket caches of the seeded users; the txads command.
#pragma once

#include <string>
#include <vector>

namespace membership_test {

// The domain's DN (LDAPBASE), e.g. "DC=corp,DC=example,DC=com".
std::string base_dn();
// "LDAP://" + dn.
std::string path_of(const std::string& dn);
// The ticket cache of a seeded user ("ann", "bob", "administrator").
std::string ccache_of(const std::string& account);

// Sets KRB5CCNAME for the rest of the test process; the destructor restores
// the administrator's cache.
class AsUser {
 public:
  explicit AsUser(const std::string& account);
  ~AsUser();
};

// Runs LDIF through ldapmodify as the administrator; true on success.
bool modify(const std::string& ldif);
// The values of one attribute of the object at `dn` (base search).
std::vector<std::string> read_attribute(const std::string& dn, const std::string& attribute);
// The SID text of the object at `dn` (from objectSid).
std::string sid_of(const std::string& dn);

// A uniquely named OU directly below the domain, removed with everything in
// it when the object goes.
class ScratchOu {
 public:
  ScratchOu();
  ~ScratchOu();
  ScratchOu(const ScratchOu&) = delete;
  ScratchOu& operator=(const ScratchOu&) = delete;

  const std::string& dn() const { return dn_; }
  std::string path() const { return path_of(dn_); }

  // Each adds one object below `parent` (the scratch OU when empty) and
  // returns its DN. Groups are global security groups; account names are
  // made unique with the scratch OU's number.
  std::string add_ou(const std::string& name, const std::string& parent = "");
  std::string add_container(const std::string& name, const std::string& parent = "");
  std::string add_group(const std::string& name, const std::string& parent = "");
  std::string add_computer(const std::string& name, const std::string& parent = "");
  void add_member(const std::string& group_dn, const std::string& member_dn);

 private:
  std::string add(const std::string& rdn, const std::string& parent, const std::string& body);
  std::string dn_;
  std::string tag_;
};

// The messages of the trace lines written since construction, in order.
class TraceCapture {
 public:
  TraceCapture();
  std::vector<std::string> lines() const;

 private:
  long offset_;
};

// Runs the txads command in a UTS namespace of its own with the given host
// name; returns its output ("result: N", buffers).
std::string txads_on_host(const std::string& host, const std::vector<std::string>& args);
// The N of the "result: N" line, or 999 when there is none.
int result_of(const std::string& output);

}  // namespace membership_test
