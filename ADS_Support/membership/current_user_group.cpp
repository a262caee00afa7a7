// TXADIsCurrentUserInGroup: is the group's SID in the calling user's token?
// The group is SID text, or an LDAP path whose DN (from its first "CN=") is
// translated to an account name and looked up to a SID. No member list is
// read and the recursion flag plays no part.
#include <cstring>
#include <string>
#include <vector>

#include "frame/com_init.h"
#include "frame/error_text.h"
#include "frame/export_frame.h"
#include "frame/last_error.h"
#include "frame/ldap_path_text.h"
#include "frame/win32_errors.h"
#include "membership/name_translation.h"
#include "membership/results.h"
#include "platform/account_lookup.h"
#include "platform/sid_api.h"
#include "platform/token.h"
#include "txads.h"

namespace txads::membership {
namespace {

// 1 in the token, 2 not in it, -1 the check failed (last error set).
int token_answer(const void* sid) {
  int is_member = 0;
  if (!CheckTokenMembership(nullptr, sid, &is_member)) return kNoAnswer;
  return is_member != 0 ? kMember : kNotMember;
}

int sid_text_in_token(const char* group, OutputBuffer error) {
  PSID sid = nullptr;
  if (!ConvertStringSidToSidA(group, &sid)) return kNoAnswer;
  const int result = token_answer(sid);
  if (result == kNoAnswer) error.copy(GetLastErrorText());
  LocalFree(sid);
  return result;
}

// LookupAccountNameA on the local system, growing both buffers while it
// asks for more. A size that does not grow ends the retries, so a lookup
// that keeps asking cannot loop.
bool lookup_sid(const std::string& account, std::vector<unsigned char>& sid) {
  sid.assign(GetSidLengthRequired(2), 0);
  std::vector<char> domain(260, '\0');
  for (;;) {
    DWORD sid_size = static_cast<DWORD>(sid.size());
    DWORD domain_size = static_cast<DWORD>(domain.size());
    SID_NAME_USE use{};
    if (LookupAccountNameA(nullptr, account.c_str(), sid.data(), &sid_size, domain.data(),
                           &domain_size, &use))
      return true;
    if (GetLastError() != win32::ERROR_INSUFFICIENT_BUFFER) return false;
    if (sid_size <= sid.size() && domain_size <= domain.size()) return false;
    if (sid_size > sid.size()) sid.resize(sid_size);
    if (domain_size > domain.size()) domain.resize(domain_size);
  }
}

// Returns the status of the name translation (kOk when none ran).
Status path_in_token(const char* group, int& result, OutputBuffer error) {
  const size_t at = first_cn(group);
  if (at == std::string::npos) return kOk;
  const std::string dn(group + at);
  std::string account;
  const Status translated =
      translate_name(dn.c_str(), directory::NameType::rfc1779, directory::NameType::nt4, account);
  if (translated.failed() || account.empty()) return translated;
  std::vector<unsigned char> sid;
  if (lookup_sid(account, sid)) result = token_answer(sid.data());
  if (result == kNoAnswer) error.copy(GetLastErrorText());
  return translated;
}

int current_user_in_group(const char* group, OutputBuffer error) {
  ComInit com;
  Status status = com.status();
  const char* text = or_empty(group);
  const std::string upper = ascii_upper(text);
  int result = kNoAnswer;
  if (!contains(upper, "LDAP://")) {
    result = sid_text_in_token(text, error);
  } else if (Status translated = path_in_token(text, result, error); translated != kOk) {
    status = translated;
  }
  if (status.failed()) GetADSErrorText(status, error);
  return result;
}

}  // namespace
}  // namespace txads::membership

using namespace txads;

extern "C" TXADS_API int TXADIsCurrentUserInGroup(const char* group, char* error,
                                                  int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADIsCurrentUserInGroup");
    return membership::current_user_in_group(group, {error, error_length});
  });
}
