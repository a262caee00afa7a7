// Group text to group path for the member walks.
#include "membership/group_path.h"

#include <cstring>

#include "membership/group_form.h"

#include "accounts/server_path.h"
#include "membership/name_translation.h"
#include "membership/results.h"
#include "txads.h"

namespace txads::membership {
namespace {

// The LDAP path that TXADGetNameFromSID gives for SID text, or the text
// itself when the export reports failure. The export may leave the path
// empty (an account without a path); that empty path is then bound.
std::string path_from_sid(const char* group) {
  char account[260] = {};
  char path[260] = {};
  if (TXADGetNameFromSID(group, account, 259, path, 259) == 0) return group;
  return std::string(path, strnlen(path, sizeof path));
}

}  // namespace

std::string user_group_path(const char* group) {
  switch (user_group_form(group)) {
    case GroupForm::ldap_path:
      return group;
    case GroupForm::sid_text:
      return path_from_sid(group);
    case GroupForm::account_name:
      break;
  }
  std::string dn;
  if (translate_name(group, directory::NameType::nt4, directory::NameType::rfc1779, dn).failed())
    return group;
  return server_qualified_path(dn);
}

std::string station_group_path(const char* group) {
  return station_group_form(group) == GroupForm::ldap_path ? std::string(group)
                                                           : path_from_sid(group);
}

}  // namespace txads::membership
