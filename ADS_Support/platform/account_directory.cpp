// Accounts found in the directory: the forest's domains from the Partitions
// container, then one search per domain by sAMAccountName or objectSid.
#include "platform/account_directory.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

#include "directory/dn_within.h"
#include "directory/forest_domains.h"
#include "directory/search.h"
#include "directory/search_ahead.h"
#include "frame/ascii_case.h"
#include "platform/well_known_sids.h"

namespace txads {
namespace {

using directory::Entry;

struct Domain {
  std::string dn;
  std::string netbios;
  std::string dns;
  bool is_default = false;

  bool operator==(const Domain&) const = default;
};

const std::string* first_value(const Entry& entry, std::string_view attribute) {
  const auto* values = entry.find(attribute);
  return values && !values->empty() ? &values->front() : nullptr;
}

// What an AccountScope keeps: each lookup by name (key: "1" + domain or "0",
// then the name) with its status.
struct KeptAnswers {
  std::map<std::pair<std::string, std::string>, std::pair<Status, std::optional<DirectoryAccount>>>
      by_name;
};

thread_local std::optional<KeptAnswers> kept;

std::pair<std::string, std::string> kept_key(std::optional<std::string_view> domain,
                                             std::string_view name) {
  return {domain ? std::string("1").append(*domain) : "0", std::string(name)};
}

// The domains of the forest, the default domain first; `fresh` reads the
// forest's list again (directory/forest_domains.h).
Status list_domains(bool fresh, std::vector<Domain>& domains) {
  std::string default_nc;
  if (Status s = directory::default_naming_context(default_nc); s.failed()) return s;
  std::vector<directory::ForestDomain> forest;
  if (Status s = directory::forest_domains(fresh, forest); s.failed()) return s;

  domains.clear();
  domains.push_back({default_nc, "", "", true});
  for (directory::ForestDomain& domain : forest) {
    if (equal_ignoring_case(domain.naming_context, default_nc)) {
      domains.front().netbios = std::move(domain.netbios_name);
      domains.front().dns = std::move(domain.dns_root);
    } else {
      domains.push_back({std::move(domain.naming_context), std::move(domain.netbios_name),
                         std::move(domain.dns_root), false});
    }
  }
  return kOk;
}

// Runs `lookup` on the forest's domains as kept; when it finds nothing, once
// more on the domains read afresh if they differ (a domain added since): the
// same domains would give the same answer.
template <class Lookup>
Status in_forest_domains(std::optional<DirectoryAccount>& found, Lookup lookup) {
  std::vector<Domain> known, fresh;
  if (Status s = list_domains(false, known); s.failed()) return s;
  const Status status = lookup(known);
  if (status.failed() || found) return status;
  if (list_domains(true, fresh).failed() || fresh == known) return status;
  return lookup(fresh);
}

// The domain whose naming context holds `dn` most closely.
const Domain* owning_domain(std::string_view dn, const std::vector<Domain>& domains) {
  const Domain* best = nullptr;
  for (const Domain& domain : domains)
    if (directory::dn_within(dn, domain.dn) &&
        (best == nullptr || domain.dn.size() > best->dn.size()))
      best = &domain;
  return best;
}

directory::SearchRequest domain_request(const Domain& domain, directory::Scope scope,
                                        const std::string& filter) {
  directory::SearchRequest request;
  request.global_catalog = !domain.is_default;
  request.base = domain.dn;
  request.scope = scope;
  request.filter = filter;
  request.attributes = {"objectSid", "sAMAccountName", "objectClass", "groupType"};
  return request;
}

Status search_domain(const Domain& domain, directory::Scope scope, const std::string& filter,
                     std::vector<Entry>& entries) {
  return directory::search(domain_request(domain, scope, filter), entries);
}

// The domain of the forest whose NetBIOS or DNS name is `name`, or null.
const Domain* named_domain(std::string_view name, const std::vector<Domain>& domains) {
  for (const Domain& d : domains)
    if (equal_ignoring_case(name, d.netbios) || equal_ignoring_case(name, d.dns)) return &d;
  return nullptr;
}

std::string name_filter(std::string_view name) {
  return "(sAMAccountName=" + directory::escape_filter_value(name) + ")";
}

Status domain_sid(const Domain& domain, std::optional<Sid>& sid) {
  std::vector<Entry> entries;
  if (Status s = search_domain(domain, directory::Scope::base, directory::kEveryObject, entries);
      s.failed())
    return s;
  sid.reset();
  if (!entries.empty())
    if (const std::string* bytes = first_value(entries.front(), "objectSid"))
      sid = Sid::from_bytes(*bytes);
  return kOk;
}

SID_NAME_USE classify(const Entry& entry) {
  const auto* classes = entry.find("objectClass");
  auto has = [&](std::string_view name) {
    if (classes == nullptr) return false;
    for (const std::string& c : *classes)
      if (equal_ignoring_case(c, name)) return true;
    return false;
  };
  if (has("computer")) return SidTypeComputer;
  if (has("group")) {
    // Built-in local (1) and domain local (4) groups are aliases.
    const std::string* type = first_value(entry, "groupType");
    const long value = type ? std::strtol(type->c_str(), nullptr, 10) : 0;
    return (value & 0x5) != 0 ? SidTypeAlias : SidTypeGroup;
  }
  if (has("user")) return SidTypeUser;
  return SidTypeUnknown;
}

// The first entry of `domain` itself (not of a domain below it) that carries
// a valid SID and a name.
std::optional<DirectoryAccount> account_of(const std::vector<Entry>& entries, const Domain& domain,
                                           const std::vector<Domain>& domains) {
  for (const Entry& entry : entries) {
    if (owning_domain(entry.dn, domains) != &domain) continue;
    const std::string* bytes = first_value(entry, "objectSid");
    const std::string* name = first_value(entry, "sAMAccountName");
    if (bytes == nullptr || name == nullptr) continue;
    auto sid = Sid::from_bytes(*bytes);
    if (!sid) continue;
    DirectoryAccount account;
    account.domain = is_builtin_sid(*sid) ? std::string(kBuiltinDomain) : domain.netbios;
    account.sid = std::move(*sid);
    account.name = *name;
    account.use = classify(entry);
    return account;
  }
  return std::nullopt;
}

Status find_in_domain(const Domain& domain, const std::vector<Domain>& domains,
                      const std::string& filter, std::optional<DirectoryAccount>& found) {
  std::vector<Entry> entries;
  if (Status s = search_domain(domain, directory::Scope::subtree, filter, entries); s.failed())
    return s;
  found = account_of(entries, domain, domains);
  return kOk;
}

Status find_domain_account(const Domain& domain, std::optional<DirectoryAccount>& found) {
  std::optional<Sid> sid;
  if (Status s = domain_sid(domain, sid); s.failed()) return s;
  if (sid) found = DirectoryAccount{*sid, domain.netbios, domain.netbios, SidTypeDomain};
  return kOk;
}

}  // namespace

std::string filter_bytes(std::string_view bytes) {
  std::string out;
  char hex[4];
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    std::snprintf(hex, sizeof hex, "\\%02x", b);
    out += hex;
  }
  return out;
}

AccountScope::AccountScope() {
  if (kept) return;
  kept.emplace();
  active_ = true;
}

AccountScope::~AccountScope() {
  if (active_) kept.reset();
}

namespace {

Status read_account_by_name(std::optional<std::string_view> domain, std::string_view name,
                            const std::vector<Domain>& domains,
                            std::optional<DirectoryAccount>& found) {
  found.reset();
  const std::string filter = name_filter(name);

  if (domain) {
    const Domain* d = named_domain(*domain, domains);
    return d ? find_in_domain(*d, domains, filter, found) : kOk;
  }

  for (const Domain& d : domains)
    if (equal_ignoring_case(name, d.netbios)) return find_domain_account(d, found);

  // Every domain is asked before a failure is reported, so that one
  // unreachable domain does not hide an account of another.
  Status first_failure = kOk;
  for (const Domain& d : domains) {
    const Status s = find_in_domain(d, domains, filter, found);
    if (found) return kOk;
    if (s.failed() && first_failure.ok()) first_failure = s;
  }
  return first_failure;
}

Status read_account_by_name(std::optional<std::string_view> domain, std::string_view name,
                            std::optional<DirectoryAccount>& found) {
  return in_forest_domains(found, [&](const std::vector<Domain>& domains) {
    return read_account_by_name(domain, name, domains, found);
  });
}

}  // namespace

Status find_account_by_name(std::optional<std::string_view> domain, std::string_view name,
                            std::optional<DirectoryAccount>& found) {
  if (!kept) return read_account_by_name(domain, name, found);
  auto key = kept_key(domain, name);
  auto it = kept->by_name.find(key);
  if (it == kept->by_name.end()) {
    std::pair<Status, std::optional<DirectoryAccount>> answer{kOk, std::nullopt};
    answer.first = read_account_by_name(domain, name, answer.second);
    it = kept->by_name.emplace(std::move(key), std::move(answer)).first;
  }
  found = it->second.second;
  return it->second.first;
}

std::unique_ptr<directory::SearchAhead> ask_account_by_name(std::string_view domain,
                                                            std::string_view name) {
  if (kept && kept->by_name.count(kept_key(domain, name)) != 0)
    return nullptr;  // kept: no request will be sent
  std::vector<Domain> domains;
  if (list_domains(false, domains).failed()) return nullptr;
  const Domain* d = named_domain(domain, domains);
  return d ? directory::ask_search(domain_request(*d, directory::Scope::subtree, name_filter(name)))
           : nullptr;
}

namespace {

Status read_account_by_sid(const Sid& sid, const std::vector<Domain>& domains,
                           std::optional<DirectoryAccount>& found) {
  found.reset();
  const std::string filter =
      "(&(objectSid=" + filter_bytes(sid.to_bytes()) + ")(sAMAccountName=*))";

  // Built-in aliases live in the default domain's naming context.
  if (is_builtin_sid(sid)) return find_in_domain(domains.front(), domains, filter, found);

  const std::optional<Sid> parent = sid.parent();
  Status first_failure = kOk;
  for (const Domain& d : domains) {
    std::optional<Sid> own;
    if (Status s = domain_sid(d, own); s.failed()) {
      if (first_failure.ok()) first_failure = s;
      continue;
    }
    if (!own) continue;
    if (*own == sid) {
      found = DirectoryAccount{sid, d.netbios, d.netbios, SidTypeDomain};
      return kOk;
    }
    if (parent && *own == *parent) return find_in_domain(d, domains, filter, found);
  }
  return first_failure;
}

}  // namespace

Status find_account_by_sid(const Sid& sid, std::optional<DirectoryAccount>& found) {
  return in_forest_domains(found, [&](const std::vector<Domain>& domains) {
    return read_account_by_sid(sid, domains, found);
  });
}

}  // namespace txads
