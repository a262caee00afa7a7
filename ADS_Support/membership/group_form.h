// How the group checks read the caller's group text. Both tests are plain,
// case-sensitive substring searches:
//
//   user checks:    contains "LDAP://" -> an LDAP path
//                   else contains "S-" -> SID text (CORP\USERS-EAST too)
//                   else               -> an account name, domain\name
//   station checks: contains "LDAP://" -> an LDAP path
//                   else               -> SID text
// Pure.
#pragma once

#include <string_view>

namespace txads::membership {

enum class GroupForm { ldap_path, sid_text, account_name };

GroupForm user_group_form(std::string_view group);
GroupForm station_group_form(std::string_view group);

}  // namespace txads::membership
