// Objects found by their names: one subtree search per naming context and
// batch of names, all sent before the first answer is awaited. Names that
// the server leaves to another (a referral for another domain of the
// forest, a base it does not hold, a continuation reference into another
// partition) are looked for in the global catalog under the caller's own
// identity; libldap never chases a referral (it would bind anonymously).
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <map>
#include <set>

#include "directory/dn_within.h"
#include "directory/ldap_ops.h"
#include "directory/object_state.h"
#include "directory/pool.h"
#include "directory/same_dn.h"
#include "frame/ascii_case.h"
#include "frame/trace.h"

namespace txads::directory {
namespace {

constexpr size_t kNamesPerSearch = 100;

// The naming context to search for a member: its DC= suffix.
std::string domain_of(const std::string& dn) {
  std::string rest = dn;
  while (!rest.empty()) {
    const std::string rdn = first_rdn(rest);
    if (rdn.size() > 3 && equal_ignoring_case(rdn.substr(0, 3), "DC=")) return rest;
    rest = parent_dn(rest);
  }
  return "";
}

// One term naming `dn`: the value of its RDN as the object's `name`, which
// the server looks up in an index and matches cheaply (a distinguishedName
// term is read as a DN for every entry it is matched against), or the whole
// DN where the RDN has several values. Objects of the same name elsewhere
// match too: callers look the entries up by their DNs.
std::string name_term(const std::string& dn) {
  if (auto value = first_rdn_value(dn)) return "(name=" + escape_filter_value(*value) + ")";
  return "(distinguishedName=" + escape_filter_value(dn) + ")";
}

// "(&filter(|(name=a)(name=b)...))"; without the "&" when `filter` takes
// every object, a term that excludes nothing being work for nothing.
std::string names_filter(const std::string& filter, const std::vector<std::string>& names) {
  std::string any = "(|";
  for (const std::string& dn : names) any += name_term(dn);
  any += ")";
  return filter == kEveryObject ? any : "(&" + filter + any + ")";
}

// The answers to `batches`, sent together on one connection to `endpoint`.
// Unpaged: each names at most kNamesPerSearch objects, and a server may keep
// a paged answer's result set and read each entry again for its page; a
// server that caps unpaged answers below what came gets them in pages.
Status search_batches(const Endpoint& endpoint, std::vector<SearchRequest>& batches,
                      std::vector<Entry>& entries, std::vector<Referred>* referred) {
  for (SearchRequest& batch : batches) batch.paged = false;
  auto search = [&](Connection& connection) {
    entries.clear();
    return search_all(connection, batches, entries, referred);
  };
  const Status status = with_connection(endpoint, search);
  if (status != kSizeLimitExceeded) return status;
  for (SearchRequest& batch : batches) batch.paged = true;
  return with_connection(endpoint, search);
}

// Whether the server left `dn` to another server: its whole search, or a
// subtree that holds `dn`.
bool referred_name(const Referred& referred, const std::string& dn) {
  return referred.whole ||
         std::any_of(referred.subtrees.begin(), referred.subtrees.end(),
                     [&](const std::string& subtree) { return dn_within(dn, subtree); });
}

// The entries named by `dns` that match `filter`, from the forest's global
// catalog under the caller's own identity (never an anonymous chase of a
// referral). A group's `member` list is not asked for: the catalog may hold
// only part of it.
Status search_global_catalog(const std::vector<std::string>& dns, const std::string& filter,
                             const std::vector<std::string>& attributes,
                             std::vector<Entry>& entries) {
  std::vector<std::string> wanted;
  for (const std::string& attribute : attributes) {
    if (!equal_ignoring_case(attribute, "member")) wanted.push_back(attribute);
  }
  std::vector<SearchRequest> batches;
  for (size_t first = 0; first < dns.size(); first += kNamesPerSearch) {
    const size_t last = std::min(dns.size(), first + kNamesPerSearch);
    const std::vector<std::string> names(dns.begin() + static_cast<std::ptrdiff_t>(first),
                                         dns.begin() + static_cast<std::ptrdiff_t>(last));
    batches.push_back({"", Scope::subtree, names_filter(filter, names), wanted});  // the forest
  }
  Endpoint catalog;
  catalog.global_catalog = true;
  return search_batches(catalog, batches, entries, nullptr);
}

// A name of another partition that neither its server nor the global
// catalog gave (`status`: the catalog's failure, or success when it holds no
// such object of the classes asked for): left out, never a failure of the
// listing.
void skip(const std::string& dn, Status status) {
  if (status.ok()) {
    trace(
        "Skipped '%s': it lies in another partition, and the global catalog holds no such "
        "object of the classes asked for.\n",
        dn.c_str());
    return;
  }
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(status.bits()));
  trace(
      "Skipped '%s': it lies in another partition, and the global catalog could not be asked "
      "(%s).\n",
      dn.c_str(), code);
}

}  // namespace

Status search_by_dns(const Endpoint& endpoint, const std::vector<std::string>& dns,
                     const std::string& filter, const std::vector<std::string>& attributes,
                     std::vector<Entry>& entries, std::set<std::string>* from_global_catalog) {
  entries.clear();
  if (from_global_catalog != nullptr) from_global_catalog->clear();
  // Names by naming context, so that each batch is one subtree search.
  std::map<std::string, std::vector<std::string>> by_domain;
  for (const std::string& dn : dns) {
    if (!domain_of(dn).empty()) by_domain[ascii_lower(domain_of(dn))].push_back(dn);
  }
  std::vector<SearchRequest> batches;
  std::vector<std::vector<std::string>> batch_names;
  for (const auto& [domain, names] : by_domain) {
    const std::string base = domain_of(names.front());
    for (size_t first = 0; first < names.size(); first += kNamesPerSearch) {
      const size_t last = std::min(names.size(), first + kNamesPerSearch);
      batch_names.emplace_back(names.begin() + static_cast<std::ptrdiff_t>(first),
                               names.begin() + static_cast<std::ptrdiff_t>(last));
      batches.push_back(
          {base, Scope::subtree, names_filter(filter, batch_names.back()), attributes});
    }
  }
  if (batches.empty()) return kOk;
  // The batches do not depend on each other: all are sent before the first
  // answer is awaited.
  std::vector<Referred> referred;
  const Status status = search_batches(endpoint, batches, entries, &referred);
  if (status.failed()) return status;

  // Names that the server left to another (another domain of the forest, a
  // partition it refers to) and did not return: asked of the global catalog.
  std::set<std::string> found;
  for (const Entry& entry : entries) found.insert(ascii_lower(entry.dn));
  std::vector<std::string> elsewhere;
  for (size_t i = 0; i < batches.size() && i < referred.size(); ++i) {
    for (const std::string& dn : batch_names[i]) {
      if (found.count(ascii_lower(dn)) == 0 && referred_name(referred[i], dn))
        elsewhere.push_back(dn);
    }
  }
  if (elsewhere.empty()) return kOk;
  std::vector<Entry> far;
  if (!endpoint.global_catalog) {
    const Status asked = search_global_catalog(elsewhere, filter, attributes, far);
    if (asked.failed()) {
      for (const std::string& dn : elsewhere) skip(dn, asked);
      return kOk;
    }
  }
  std::set<std::string> resolved;
  for (Entry& entry : far) {
    resolved.insert(ascii_lower(entry.dn));
    if (from_global_catalog != nullptr) from_global_catalog->insert(ascii_lower(entry.dn));
    entries.push_back(std::move(entry));
  }
  for (const std::string& dn : elsewhere) {
    if (resolved.count(ascii_lower(dn)) == 0) skip(dn, kOk);
  }
  return kOk;
}

}  // namespace txads::directory
