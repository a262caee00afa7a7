// TXADGetSIDFromName: an account's distinguished name (or LDAP path) to its
// SID text. The name is translated to the account text on the global
// catalog, the account text is looked up, and the SID is written as text.
// No error text; 0 on every failure. Thread-safe.
#include <string>

#include "accounts/account_sid_lookup.h"
#include "accounts/sid_string.h"
#include "directory/ads.h"
#include "frame/com_init.h"
#include "frame/conversions.h"
#include "frame/export_frame.h"
#include "frame/ldap_path_text.h"
#include "frame/output_buffer.h"
#include "txads.h"

namespace txads {
namespace {

// The account text ("DOMAIN\name") of a distinguished name, or "".
std::string account_text(const std::string& name) {
  directory::NameTranslate translate;
  if (translate.init(directory::ADS_NAME_INITTYPE_GC, "").failed()) return {};
  const std::optional<std::string> dn = to_directory(upper_dn_from_first_cn(name).c_str());
  if (!dn) return {};
  std::string nt4;
  if (translate.set(directory::NameType::rfc1779, *dn).failed() ||
      translate.get(directory::NameType::nt4, nt4).failed())
    return {};
  return from_directory(nt4);
}

int get_sid_from_name(const char* name, OutputBuffer sid_text) {
  const ComInit com;
  if (name == nullptr || name[0] == '\0') return 0;
  const std::string account = account_text(name);
  if (account.empty()) return 0;
  std::vector<unsigned char> sid = look_up_account_sid(account.c_str());
  if (sid.empty()) return 0;
  return GetStringFromSID(sid.data(), sid_text.data, sid_text.length);
}

}  // namespace
}  // namespace txads

extern "C" TXADS_API int TXADGetSIDFromName(const char* account_dn, char* sid_text,
                                            int sid_text_length) {
  return txads::run_export(0, [&] {
    txads::trace_entry("TXADGetSIDFromName");
    return txads::get_sid_from_name(account_dn, {sid_text, sid_text_length});
  });
}
