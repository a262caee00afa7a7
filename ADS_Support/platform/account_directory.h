// Accounts as the directory holds them: the domains of the forest (from the
// crossRef objects of the Partitions container) and the users, groups and
// computers in them, found by sAMAccountName or by objectSid. The default
// domain is the naming context of the configured server; other domains are
// read through the global catalog. Texts are UTF-8. Thread-safe (nothing is
// kept past an AccountScope).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "frame/status.h"
#include "platform/security_types.h"
#include "platform/sid.h"

namespace txads {

namespace directory {
class SearchAhead;
}

struct DirectoryAccount {
  Sid sid;
  std::string name;    // sAMAccountName, or the NetBIOS name for a domain
  std::string domain;  // NetBIOS name of the account's domain, or "BUILTIN"
  SID_NAME_USE use = SidTypeUnknown;
};

// `domain` absent: a bare name, looked for as a domain's NetBIOS name, then
// in the default domain, then in the forest's other domains. `domain` given:
// the domain of that NetBIOS or DNS name only. A failed directory call comes
// back as its status; no such account is kOk with `found` empty.
Status find_account_by_name(std::optional<std::string_view> domain, std::string_view name,
                            std::optional<DirectoryAccount>& found);

// Keeps this thread's forest domains and lookups by name for as long as it
// lives (one export call), so that a check that looks names up again, or a
// lookup retried with larger buffers, reads the directory once per question.
// A scope made while another lives on the thread adds nothing.
class AccountScope {
 public:
  AccountScope();
  ~AccountScope();
  AccountScope(const AccountScope&) = delete;
  AccountScope& operator=(const AccountScope&) = delete;

 private:
  bool active_ = false;
};

// Asks, without waiting (directory/search_ahead.h), for what
// find_account_by_name(domain, name) reads of the domain named; null when
// it would read nothing or is answered from an AccountScope.
std::unique_ptr<directory::SearchAhead> ask_account_by_name(std::string_view domain,
                                                            std::string_view name);

// The account (or domain) whose objectSid is `sid`.
Status find_account_by_sid(const Sid& sid, std::optional<DirectoryAccount>& found);

// "\xx" for every byte: a binary value inside an LDAP filter.
std::string filter_bytes(std::string_view bytes);

}  // namespace txads
