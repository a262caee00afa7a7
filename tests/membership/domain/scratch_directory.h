// Test support of the membership checks on top of the shared domain support
// (tests/support): scratch OUs whose groups get unique account names, the
// trace lines written during a test, and the txads command run under
// another host name. Everything is set up and read with the directory's own
// tools, never with the code under test.
#pragma once

#include <string>
#include <vector>

#include "support/domain.h"
#include "support/scratch_ou.h"

namespace membership_test {

using txads_test::AsUser;
using txads_test::base_dn;
using txads_test::modify;
using txads_test::path_of;
using txads_test::seeded;
using txads_test::sid_of;

inline std::vector<std::string> read_attribute(const std::string& dn, const std::string& name) {
  return txads_test::attribute_values(dn, name);
}

// A scratch OU ("txads-membership-..."); groups get account names unique in
// the domain, computers the upper-cased CN + "$".
class ScratchOu {
 public:
  ScratchOu() : ou_("membership") {}
  const std::string& dn() const { return ou_.dn(); }
  std::string path() const { return ou_.path(); }

  // Each returns the new object's DN; `parent` empty means the scratch OU.
  std::string add_ou(const std::string& name, const std::string& parent = "") {
    return ou_.add_ou(name, parent);
  }
  std::string add_container(const std::string& name, const std::string& parent = "") {
    return ou_.add_container(name, parent);
  }
  std::string add_group(const std::string& name, const std::string& parent = "") {
    return ou_.add_group(name, parent, ou_.unique_name(name.substr(0, 8)));
  }
  std::string add_computer(const std::string& name, const std::string& parent = "") {
    return ou_.add_computer(name, parent);
  }
  void add_member(const std::string& group_dn, const std::string& member_dn) {
    ou_.add_member(group_dn, member_dn);
  }

 private:
  txads_test::ScratchOu ou_;
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
