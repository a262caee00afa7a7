// The retried account lookup.
#include "accounts/account_sid_lookup.h"

#include "frame/last_error.h"
#include "frame/win32_errors.h"
#include "platform/account_lookup.h"
#include "platform/sid_api.h"

namespace txads {

std::vector<unsigned char> look_up_account_sid(const char* account) {
  std::vector<unsigned char> sid(GetSidLengthRequired(2));
  std::vector<char> domain(260);
  for (int call = 1; call <= kAccountLookupCalls; ++call) {
    auto sid_size = static_cast<DWORD>(sid.size());
    auto domain_size = static_cast<DWORD>(domain.size());
    SID_NAME_USE use{};
    if (LookupAccountNameA(nullptr, account, sid.data(), &sid_size, domain.data(), &domain_size,
                           &use))
      return sid;
    if (GetLastError() != win32::ERROR_INSUFFICIENT_BUFFER) break;
    sid.resize(sid_size);
    if (domain_size > domain.size()) domain.resize(domain_size);
  }
  return {};
}

}  // namespace txads
