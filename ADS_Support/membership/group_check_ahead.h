// The requests of a group check that need no answer of the check itself:
// the bind of the named group (given as an LDAP path) and the group's
// translation that the SID rule makes after the search. Asked together when
// the check starts, they travel with its first request (the account's
// translation) instead of one round trip each; the group's account, which
// the SID rule looks up by the translation's answer, follows with a level
// of the search. Lives for the whole check.
#pragma once

#include <memory>

#include "directory/search_ahead.h"

namespace txads::membership {

class GroupCheckAhead {
 public:
  // `group`: the caller's group text; `bound_as_given`: whether the walk
  // binds that text itself (an LDAP path), not a path resolved from it.
  GroupCheckAhead(const char* group, bool bound_as_given);

  // Once the group's translation has come (checked without waiting), asks
  // for the group's account that the SID rule then looks up, so that it
  // travels with the search's next level.
  void ask_account_when_translated();

 private:
  std::unique_ptr<directory::SearchAhead> bind_;
  std::unique_ptr<directory::SearchAhead> translation_;
  std::unique_ptr<directory::SearchAhead> account_;
  bool account_asked_ = false;
};

}  // namespace txads::membership
