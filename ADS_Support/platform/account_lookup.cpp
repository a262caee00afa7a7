// LookupAccountNameA and LookupAccountSidA: the well-known table first, then
// the directory; the results are handed out by the platform's buffer protocol.
#include "platform/account_lookup.h"

#include <cstring>
#include <optional>
#include <string>

#include "directory/search_ahead.h"
#include "frame/ascii_case.h"
#include "frame/conversions.h"
#include "frame/last_error.h"
#include "frame/win32_errors.h"
#include "platform/account_directory.h"
#include "platform/well_known_sids.h"

namespace txads {
namespace {

BOOL fail(uint32_t error) {
  SetLastError(error);
  return kBoolFalse;
}

bool local_system(const char* system_name) {
  return system_name == nullptr || system_name[0] == '\0';
}

// A failed directory call as a last error: its Win32 code where it has one.
uint32_t lookup_error(Status status) {
  return status.win32() != 0 ? status.win32() : win32::ERROR_NONE_MAPPED;
}

// An account with its texts already in the caller's code set.
struct Found {
  Sid sid;
  std::string name;
  std::string domain;
  SID_NAME_USE use = SidTypeUnknown;
};

Found from_well_known(const WellKnownAccount& account) {
  return {*Sid::parse(account.sid), account.name, account.domain, account.use};
}

Found from_directory_account(const DirectoryAccount& account) {
  return {account.sid, from_directory(account.name), from_directory(account.domain), account.use};
}

// "DOMAIN\\name" split at its first backslash; a text without one is a bare name.
std::pair<std::optional<std::string_view>, std::string_view> split_account(std::string_view text) {
  const size_t slash = text.find('\\');
  if (slash == std::string_view::npos) return {std::nullopt, text};
  return {text.substr(0, slash), text.substr(slash + 1)};
}

// Accounts of an empty domain and NT AUTHORITY's are all in the table.
bool only_in_table(std::optional<std::string_view> domain) {
  return domain && (domain->empty() || equal_ignoring_case(*domain, kNtAuthorityDomain));
}

bool is_builtin_domain(std::optional<std::string_view> domain) {
  return domain && equal_ignoring_case(*domain, kBuiltinDomain);
}

// Finds a name given as UTF-8. kOk with nothing found means no such account.
Status find_by_name(const std::string& text, std::optional<Found>& found) {
  const auto [domain, name] = split_account(text);
  if (name.empty()) return kOk;
  if (auto account = well_known_by_name(domain, name)) {
    found = from_well_known(*account);
    return kOk;
  }
  if (only_in_table(domain)) return kOk;

  const bool builtin = is_builtin_domain(domain);
  std::optional<DirectoryAccount> account;
  if (Status s = find_account_by_name(builtin ? std::nullopt : domain, name, account); s.failed())
    return s;
  if (account && (!builtin || is_builtin_sid(account->sid)))
    found = from_directory_account(*account);
  return kOk;
}

Status find_by_sid(const Sid& sid, std::optional<Found>& found) {
  if (auto account = well_known_by_sid(sid)) {
    found = from_well_known(*account);
    return kOk;
  }
  std::optional<DirectoryAccount> account;
  if (Status s = find_account_by_sid(sid, account); s.failed()) return s;
  if (account) found = from_directory_account(*account);
  return kOk;
}

// The size a text needs, with its terminating zero.
DWORD text_size(const std::string& text) {
  return static_cast<DWORD>(text.size() + 1);
}

bool fits(const void* buffer, DWORD size, DWORD needed) {
  return buffer != nullptr && size >= needed;
}

void copy_text(const std::string& text, char* buffer, DWORD* size) {
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  *size = static_cast<DWORD>(text.size());
}

}  // namespace

std::unique_ptr<directory::SearchAhead> ask_account_lookup(std::string_view account_name) {
  // Only what find_by_name reads of one named domain: not a well-known account, nor a
  // bare or built-in name (those may read several domains).
  const auto [domain, name] = split_account(account_name);
  if (!domain || name.empty() || well_known_by_name(domain, name) || only_in_table(domain) ||
      is_builtin_domain(domain))
    return nullptr;
  return ask_account_by_name(*domain, name);
}

BOOL LookupAccountNameA(const char* system_name, const char* account_name, PSID sid,
                        DWORD* sid_size, char* domain_name, DWORD* domain_size, SID_NAME_USE* use) {
  if (!local_system(system_name) || account_name == nullptr || sid_size == nullptr ||
      domain_size == nullptr)
    return fail(win32::ERROR_INVALID_PARAMETER);
  const std::optional<std::string> text = to_directory(account_name);
  if (!text || text->empty()) return fail(win32::ERROR_NONE_MAPPED);

  std::optional<Found> found;
  if (Status s = find_by_name(*text, found); s.failed()) return fail(lookup_error(s));
  if (!found) return fail(win32::ERROR_NONE_MAPPED);

  const std::string bytes = found->sid.to_bytes();
  const auto sid_needed = static_cast<DWORD>(bytes.size());
  const DWORD domain_needed = text_size(found->domain);
  if (!fits(sid, *sid_size, sid_needed) || !fits(domain_name, *domain_size, domain_needed)) {
    *sid_size = sid_needed;
    *domain_size = domain_needed;
    return fail(win32::ERROR_INSUFFICIENT_BUFFER);
  }
  std::memcpy(sid, bytes.data(), bytes.size());
  *sid_size = sid_needed;
  copy_text(found->domain, domain_name, domain_size);
  if (use != nullptr) *use = found->use;
  return kBoolTrue;
}

BOOL LookupAccountSidA(const char* system_name, PSID sid, char* name, DWORD* name_size,
                       char* domain_name, DWORD* domain_size, SID_NAME_USE* use) {
  if (!local_system(system_name) || sid == nullptr || name_size == nullptr ||
      domain_size == nullptr)
    return fail(win32::ERROR_INVALID_PARAMETER);
  const std::optional<Sid> parsed = Sid::from_memory(sid);
  if (!parsed) return fail(win32::ERROR_INVALID_SID);

  std::optional<Found> found;
  if (Status s = find_by_sid(*parsed, found); s.failed()) return fail(lookup_error(s));
  if (!found) return fail(win32::ERROR_NONE_MAPPED);

  const DWORD name_needed = text_size(found->name);
  const DWORD domain_needed = text_size(found->domain);
  if (!fits(name, *name_size, name_needed) || !fits(domain_name, *domain_size, domain_needed)) {
    *name_size = name_needed;
    *domain_size = domain_needed;
    return fail(win32::ERROR_INSUFFICIENT_BUFFER);
  }
  copy_text(found->name, name, name_size);
  copy_text(found->domain, domain_name, domain_size);
  if (use != nullptr) *use = found->use;
  return kBoolTrue;
}

}  // namespace txads
