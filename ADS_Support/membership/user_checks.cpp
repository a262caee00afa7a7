// The user checks: TXADIsUserInContainer, TXADIsCurrentUserInContainer and
// TXADIsUserInGroup. Their workers own everything they create for the call.
#include <cstring>
#include <string>

#include "frame/com_init.h"
#include "frame/error_text.h"
#include "frame/export_frame.h"
#include "frame/ldap_path_text.h"
#include "membership/dn_containment.h"
#include "membership/group_check_ahead.h"
#include "membership/group_form.h"
#include "membership/member_walk.h"
#include "membership/name_translation.h"
#include "membership/nested_search.h"
#include "membership/results.h"
#include "membership/sid_membership.h"
#include "platform/account_directory.h"
#include "platform/identity.h"
#include "txads.h"

namespace txads::membership {
namespace {

int user_in_container(const char* account, const char* container_path, OutputBuffer error) {
  if (!longer_than_provider_prefix(container_path)) return kNoAnswer;
  ComInit com;
  if (!contains(container_path, "LDAP://")) {
    if (com.status().failed()) GetADSErrorText(com.status(), error);
    return kNoAnswer;
  }
  std::string dn;
  const Status translated =
      translate_name(account, directory::NameType::nt4, directory::NameType::rfc1779, dn);
  if (translated.failed()) {
    GetADSErrorText(translated, error);
    return kNoAnswer;
  }
  return dn_containment(dn, container_path);
}

int current_user_in_container(const char* container_path, OutputBuffer error) {
  if (!longer_than_provider_prefix(container_path)) return kNoAnswer;
  char dn[260] = {};
  uint32_t size = sizeof dn;
  if (!GetUserNameExA(NameFullyQualifiedDN, dn, &size)) {
    error.copy(GetLastErrorText());
    return kNoAnswer;
  }
  return dn_containment(dn, container_path);
}

int user_in_group(const char* account, const char* group, OutputBuffer error) {
  ComInit com;
  // The check by SID after the search asks again what the search read.
  const TranslationScope translations;
  const AccountScope accounts;
  const char* user = or_empty(account);
  const char* group_text = or_empty(group);
  GroupCheckAhead ahead(group_text, user_group_form(group_text) == GroupForm::ldap_path);
  int result = nested_group_search(IsUserInGroup, user, group_text, error,
                                   [&ahead] { ahead.ask_account_when_translated(); });
  if (result != kMember && IsUserInGroupBySid(user, group_text) != 0) result = kMember;
  return result;
}

}  // namespace
}  // namespace txads::membership

using namespace txads;

extern "C" TXADS_API int TXADIsUserInContainer(const char* account, const char* container_path,
                                               char* error, int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADIsUserInContainer");
    return membership::user_in_container(account, container_path, {error, error_length});
  });
}

extern "C" TXADS_API int TXADIsCurrentUserInContainer(const char* container_path, char* error,
                                                      int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADIsCurrentUserInContainer");
    return membership::current_user_in_container(container_path, {error, error_length});
  });
}

extern "C" TXADS_API int TXADIsUserInGroup(const char* account, const char* group, char* error,
                                           int error_length) {
  return run_export(-1, [&] {
    trace("Check if user '%s' in group '%s'.\n", traced(account), traced(group));
    return membership::user_in_group(account, group, {error, error_length});
  });
}
