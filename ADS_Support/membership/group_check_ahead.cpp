#include "membership/group_check_ahead.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "frame/conversions.h"
#include "frame/ldap_path_text.h"
#include "platform/account_lookup.h"

namespace txads::membership {

GroupCheckAhead::GroupCheckAhead(const char* group, bool bound_as_given) {
  if (group == nullptr || group[0] == '\0') return;
  if (bound_as_given) {
    if (const std::optional<std::string> path = to_directory(group))
      bind_ = directory::ask_group_bind(*path);
  }
  // As TXADGetSIDFromName translates it for the SID rule (sid_membership.cpp).
  if (std::strstr(group, "LDAP://") != nullptr) {
    if (const std::optional<std::string> dn = to_directory(upper_dn_from_first_cn(group).c_str()))
      translation_ = directory::ask_dn_translation(*dn);
  }
}

void GroupCheckAhead::ask_account_when_translated() {
  if (account_asked_ || !translation_) return;
  const std::vector<directory::Entry>* answer = translation_->arrived();
  if (answer == nullptr) return;
  account_asked_ = true;
  const std::string account = directory::nt4_from_answer(*translation_, *answer);
  if (!account.empty()) account_ = ask_account_lookup(account);
}

}  // namespace txads::membership
