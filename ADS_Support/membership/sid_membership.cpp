// The SID rule for the domain's users and computers groups. The group's SID
// must end in the group's relative identifier (the suffix is taken from the
// text of S-1-5-32-<rid>), and the account's SID must share the group's
// domain part (the SID text before its last "-").
#include "membership/sid_membership.h"

#include <cstring>
#include <string>
#include <vector>

#include "accounts/account_sid_lookup.h"
#include "accounts/sid_string.h"
#include "platform/security_types.h"
#include "platform/sid_api.h"
#include "txads.h"

namespace txads {
namespace {

constexpr size_t kAccountNameLimit = 260;

// "-513" or "-515": the last part of the reference SID's text, or "".
std::string rid_suffix(DWORD rid) {
  PSID reference = nullptr;
  if (!AllocateAndInitializeSid(&SECURITY_NT_AUTHORITY, 2, SECURITY_BUILTIN_DOMAIN_RID, rid, 0, 0,
                                0, 0, 0, 0, &reference))
    return {};
  char text[260] = {};
  const int converted = GetStringFromSID(reference, text, 259);
  FreeSid(reference);
  if (!converted) return {};
  const char* dash = std::strrchr(text, '-');
  return dash ? std::string(dash) : std::string();
}

// The group's SID text: an LDAP path through TXADGetSIDFromName, any other
// text as it stands.
std::string group_sid_text(const char* group) {
  if (group == nullptr) return {};
  if (std::strstr(group, "LDAP://") == nullptr) return group;
  char sid[301] = {};
  if (TXADGetSIDFromName(group, sid, 300) == 0) return {};
  return std::string(sid, strnlen(sid, 300));
}

// The SID text of the account `name`, or "".
std::string account_sid_text(const std::string& name) {
  std::vector<unsigned char> sid = look_up_account_sid(name.c_str());
  if (sid.empty()) return {};
  char text[261] = {};
  if (!GetStringFromSID(sid.data(), text, 260)) return {};
  return std::string(text, strnlen(text, 260));
}

std::string domain_part(const std::string& sid_text) {
  const size_t dash = sid_text.rfind('-');
  return dash == std::string::npos ? std::string() : sid_text.substr(0, dash);
}

int is_in_group_by_sid(const char* name, const char* name_suffix, DWORD rid, const char* group) {
  const std::string suffix = rid_suffix(rid);
  if (suffix.empty()) return 0;

  const std::string group_sid = group_sid_text(group);
  if (group_sid.empty()) return 0;
  if (group_sid.size() < suffix.size() ||
      group_sid.compare(group_sid.size() - suffix.size(), suffix.size(), suffix) != 0)
    return 0;
  const std::string group_domain = domain_part(group_sid);

  if (name == nullptr || name[0] == '\0') return 0;
  std::string account = name;
  account += name_suffix;
  if (account.size() > kAccountNameLimit) account.resize(kAccountNameLimit);

  const std::string account_sid = account_sid_text(account);
  if (account_sid.empty() || account_sid.find('-') == std::string::npos) return 0;
  return domain_part(account_sid) == group_domain ? 1 : 0;
}

}  // namespace

int IsUserInGroupBySid(const char* user, const char* group) {
  return is_in_group_by_sid(user, "", DOMAIN_GROUP_RID_USERS, group);
}

int IsStationInGroupBySid(const char* station, const char* group) {
  return is_in_group_by_sid(station, "$", DOMAIN_GROUP_RID_COMPUTERS, group);
}

}  // namespace txads
