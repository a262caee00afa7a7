// TXADGetNameFromSID: SID text to the account text ("DOMAIN\name") and, when
// the global catalog knows the account, its server-qualified LDAP path.
// No error text; 0 when the text is not a SID or names no account.
// Thread-safe.
#include <cstring>
#include <memory>
#include <string>

#include "accounts/server_path.h"
#include "directory/ads.h"
#include "frame/com_init.h"
#include "frame/conversions.h"
#include "frame/export_frame.h"
#include "frame/output_buffer.h"
#include "platform/account_lookup.h"
#include "platform/sid_api.h"
#include "txads.h"

namespace txads {
namespace {

struct LocalSidFree {
  void operator()(void* sid) const noexcept { LocalFree(sid); }
};

// The account's server-qualified path, or "" when the translation fails.
std::string account_path(const std::string& account) {
  directory::NameTranslate translate;
  if (translate.init(directory::ADS_NAME_INITTYPE_GC, "").failed()) return {};
  const std::optional<std::string> nt4 = to_directory(account.c_str());
  if (!nt4) return {};
  std::string dn;
  if (translate.set(directory::NameType::nt4, *nt4).failed() ||
      translate.get(directory::NameType::rfc1779, dn).failed())
    return {};
  return server_qualified_path(from_directory(dn));
}

int get_name_from_sid(const char* sid_text, OutputBuffer account_name, OutputBuffer path) {
  const ComInit com;
  PSID raw = nullptr;
  if (!ConvertStringSidToSidA(sid_text, &raw) || raw == nullptr) return 0;
  const std::unique_ptr<void, LocalSidFree> sid(raw);

  char name[260] = {};
  char domain[260] = {};
  DWORD name_size = 259;
  DWORD domain_size = 259;
  SID_NAME_USE use{};
  if (!LookupAccountSidA(nullptr, sid.get(), name, &name_size, domain, &domain_size, &use))
    return 0;

  // A well-known account without a domain gives "\name".
  std::string account = domain;
  account += '\\';
  account += name;
  account_name.copy(account);

  const std::string built = account_path(account);
  if (!built.empty()) path.copy(built);
  return 1;
}

}  // namespace
}  // namespace txads

extern "C" TXADS_API int TXADGetNameFromSID(const char* sid_text, char* account, int account_length,
                                            char* ldap_path, int ldap_path_length) {
  return txads::run_export(0, [&] {
    txads::trace_entry("TXADGetNameFromSID");
    return txads::get_name_from_sid(sid_text, {account, account_length},
                                    {ldap_path, ldap_path_length});
  });
}
