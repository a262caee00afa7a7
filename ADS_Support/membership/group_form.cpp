// The forms of a group text.
#include "membership/group_form.h"

#include "membership/results.h"

namespace txads::membership {

GroupForm user_group_form(std::string_view group) {
  if (contains(group, "LDAP://")) return GroupForm::ldap_path;
  if (contains(group, "S-")) return GroupForm::sid_text;
  return GroupForm::account_name;
}

GroupForm station_group_form(std::string_view group) {
  return contains(group, "LDAP://") ? GroupForm::ldap_path : GroupForm::sid_text;
}

}  // namespace txads::membership
