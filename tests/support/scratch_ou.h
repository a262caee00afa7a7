// A scratch organisational unit for one test, removed with everything in it
// when the object goes out of scope.
//
// The OU is created directly below the domain as OU=txads-<tag>-<pid>-<n>, so
// concurrent test processes never meet. Objects are added with ldapmodify as
// the administrator (see domain.h); each add returns the new object's DN.
// Account names (sAMAccountName) must be unique in the whole domain: pass
// unique_name("stem") where two tests could pick the same one. Not
// thread-safe; one object per test.
#pragma once

#include <string>
#include <string_view>

#include "support/domain.h"

namespace txads_test {

class ScratchOu {
 public:
  explicit ScratchOu(std::string_view tag = "test");
  ~ScratchOu();
  ScratchOu(const ScratchOu&) = delete;
  ScratchOu& operator=(const ScratchOu&) = delete;

  const std::string& dn() const { return dn_; }
  std::string path() const { return path_of(dn_); }
  // `stem` + a suffix unique to this scratch OU, at most 15 characters in
  // all (the limit of a computer's account name): unique_name("pc") == "pc-3f2a1".
  std::string unique_name(std::string_view stem) const;

  // `parent` is a DN; empty means the scratch OU itself. Names are put into
  // the RDN unchanged, so "Smith\\, John" gives the CN "Smith, John".
  std::string add_ou(std::string_view name, std::string_view parent = {});
  std::string add_container(std::string_view name, std::string_view parent = {});
  // An enabled user with a password, UPN <account>@<dns domain>; kinit works.
  std::string add_user(std::string_view cn, std::string_view account, std::string_view parent = {},
                       std::string_view password = {});
  // A workstation account "<CN upper-cased>$" (or `account` + "$" when given).
  std::string add_computer(std::string_view cn, std::string_view parent = {},
                           std::string_view account = {});
  // A global security group; account name the CN unless given.
  std::string add_group(std::string_view cn, std::string_view parent = {},
                        std::string_view account = {});
  void add_member(std::string_view group_dn, std::string_view member_dn);

  // A ticket cache for `account`, obtained with kinit and removed with the
  // scratch OU. Throws when kinit fails.
  std::string ticket_for(std::string_view account, std::string_view password = {});

 private:
  std::string add(std::string_view rdn, std::string_view parent, const std::string& body);
  std::string dn_;
  std::string suffix_;
  std::string ticket_dir_;
};

}  // namespace txads_test
