#include "membership/group_check_ahead.h"

#include <cstring>
#include <optional>
#include <string>

#include "frame/conversions.h"
#include "frame/ldap_path_text.h"

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

}  // namespace txads::membership
