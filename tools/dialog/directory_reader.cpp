// The dialogs' reads of the directory.
#include "directory_reader.h"

#include <strings.h>
#include <algorithm>
#include <cstdlib>

#include "directory/ads.h"
#include "directory/dn_within.h"
#include "directory/ldap_path.h"
#include "directory/search.h"
#include "dn_display.h"
#include "frame/ascii_case.h"
#include "text_match.h"

namespace txads::dialog {
namespace {

// Classes that the container browser offers: everything that holds other
// entries in a domain's tree, hidden system containers included.
constexpr const char* kContainerFilter =
    "(|(objectClass=organizationalUnit)(objectClass=container)(objectClass=builtinDomain)"
    "(objectClass=lostAndFound)(objectClass=msDS-QuotaContainer)(objectClass=domainDNS))";

// Security groups (0x80000000) of global (2), domain-local (4) and universal
// (8) scope, as signed 32-bit numbers the way the directory compares them.
constexpr const char* kGroupFilter =
    "(&(objectClass=group)(|(groupType=-2147483646)(groupType=-2147483644)"
    "(groupType=-2147483640)))";

// NTDS domain naming contexts among the Partitions container's cross-refs.
constexpr const char* kDomainCrossRefFilter =
    "(&(objectClass=crossRef)(nCName=*)(systemFlags:1.2.840.113556.1.4.803:=2))";

const std::string& first_value(const directory::Entry& entry, const char* attribute) {
  static const std::string empty;
  const auto* values = entry.find(attribute);
  return values != nullptr && !values->empty() ? values->front() : empty;
}

bool has_value(const directory::Entry& entry, const char* attribute, const char* value) {
  const auto* values = entry.find(attribute);
  if (values == nullptr) return false;
  return std::any_of(values->begin(), values->end(),
                     [&](const std::string& v) { return strcasecmp(v.c_str(), value) == 0; });
}

NodeKind kind_of(const directory::Entry& entry) {
  if (has_value(entry, "objectClass", "domainDNS")) return NodeKind::domain;
  if (has_value(entry, "objectClass", "organizationalUnit")) return NodeKind::organizational_unit;
  return NodeKind::container;
}

// System containers: those the directory shows in its advanced view only,
// and the domain's own housekeeping ones that it does not mark so.
bool is_system(const directory::Entry& entry, const std::string& name) {
  if (has_value(entry, "showInAdvancedViewOnly", "TRUE")) return true;
  for (const char* cls : {"builtinDomain", "lostAndFound", "msDS-QuotaContainer"}) {
    if (has_value(entry, "objectClass", cls)) return true;
  }
  const std::string parent = directory::parent_dn(entry.dn);
  const bool below_domain = parent.size() > 3 && strncasecmp(parent.c_str(), "DC=", 3) == 0;
  return below_domain && (strcasecmp(name.c_str(), "ForeignSecurityPrincipals") == 0 ||
                          strcasecmp(name.c_str(), "Program Data") == 0);
}

DirectoryNode node_of(const directory::Entry& entry) {
  std::string name = first_value(entry, "name");
  if (name.empty()) name = rdn_value(directory::first_rdn(entry.dn));
  const bool system = is_system(entry, name);
  return {entry.dn, std::move(name), kind_of(entry), system};
}

bool by_name(const std::string& a, const std::string& b) {
  const int c = strcasecmp(a.c_str(), b.c_str());
  return c != 0 ? c < 0 : a < b;
}

std::string dns_host_of_configured_server() {
  directory::Object root_dse;
  directory::Value value;
  if (directory::ads_get_object("LDAP://", root_dse).ok() &&
      root_dse.get("dnsHostName", value).ok() && !value.empty()) {
    return value.first();
  }
  return {};
}

}  // namespace

Status DirectoryReader::init() {
  if (const Status s = directory::default_naming_context(own_domain_); s.failed()) return s;

  std::string configuration;
  const Status config_status = directory::configuration_naming_context(configuration);
  if (config_status.ok()) {
    directory::SearchRequest request;
    request.base = "CN=Partitions," + configuration;
    request.scope = directory::Scope::one_level;
    request.filter = kDomainCrossRefFilter;
    request.attributes = {"nCName", "dnsRoot"};
    std::vector<directory::Entry> entries;
    if (directory::search(request, entries).ok()) {
      for (const auto& entry : entries) {
        const std::string& nc = first_value(entry, "nCName");
        std::string dns = first_value(entry, "dnsRoot");
        if (dns.empty()) dns = directory::dns_name_of(nc);
        if (!nc.empty()) forest_.push_back({nc, dns});
      }
    }
  }
  if (std::none_of(forest_.begin(), forest_.end(),
                   [&](const Domain& d) { return equal_ignoring_case(d.dn, own_domain_); })) {
    forest_.push_back({own_domain_, directory::dns_name_of(own_domain_)});
  }

  server_host_ = dns_host_of_configured_server();
  if (server_host_.empty()) server_host_ = directory::dns_name_of(own_domain_);

  std::sort(forest_.begin(), forest_.end(), [&](const Domain& a, const Domain& b) {
    const bool a_own = equal_ignoring_case(a.dn, own_domain_);
    const bool b_own = equal_ignoring_case(b.dn, own_domain_);
    if (a_own != b_own) return a_own;
    return by_name(a.dns_name, b.dns_name);
  });
  domains_.clear();
  for (const auto& d : forest_) domains_.push_back({d.dn, d.dns_name, NodeKind::domain});
  return kOk;
}

const DirectoryReader::Domain* DirectoryReader::domain_of(const std::string& dn) const {
  const Domain* best = nullptr;
  for (const auto& d : forest_) {
    if (directory::dn_within(dn, d.dn) && (best == nullptr || d.dn.size() > best->dn.size()))
      best = &d;
  }
  return best;
}

std::string DirectoryReader::server_for(const std::string& dn) const {
  const Domain* d = domain_of(dn);
  return d == nullptr || equal_ignoring_case(d->dn, own_domain_) ? std::string() : d->dns_name;
}

std::string DirectoryReader::ldap_path(const std::string& dn) const {
  const Domain* d = domain_of(dn);
  const bool own = d == nullptr || equal_ignoring_case(d->dn, own_domain_);
  return directory::format_path(own ? server_host_ : d->dns_name, dn);
}

Status DirectoryReader::children(const std::string& dn, std::vector<DirectoryNode>& nodes) const {
  directory::SearchRequest request;
  request.server = server_for(dn);
  request.base = dn;
  request.scope = directory::Scope::one_level;
  request.filter = kContainerFilter;
  request.attributes = {"name", "objectClass", "showInAdvancedViewOnly"};
  std::vector<directory::Entry> entries;
  if (const Status s = directory::search(request, entries); s.failed()) return s;

  nodes.clear();
  for (const auto& entry : entries) {
    // Answers from a referral may lie further down; the tree wants one level.
    if (!equal_ignoring_case(directory::parent_dn(entry.dn), dn)) continue;
    nodes.push_back(node_of(entry));
  }
  std::sort(nodes.begin(), nodes.end(),
            [](const DirectoryNode& a, const DirectoryNode& b) { return by_name(a.name, b.name); });
  return kOk;
}

Status DirectoryReader::find_containers(const std::string& text, bool advanced, size_t limit,
                                        std::vector<DirectoryNode>& nodes, bool& more) const {
  const std::string value = directory::escape_filter_value(text);
  std::string filter = "(&(|(objectClass=organizationalUnit)(objectClass=container))(name=*" +
                       value + "*)" + (advanced ? "" : "(!(showInAdvancedViewOnly=TRUE))") + ")";
  nodes.clear();
  more = false;
  Status status = kOk;
  for (const auto& domain : forest_) {
    directory::SearchRequest request(domain.dn, directory::Scope::subtree, filter,
                                     {"name", "objectClass", "showInAdvancedViewOnly"});
    request.server = server_for(domain.dn);
    // The server stops at the limit: a short name may match thousands.
    request.size_limit = static_cast<int>(limit);
    std::vector<directory::Entry> entries;
    const Status s = directory::search(request, entries);
    if (s == kSizeLimitExceeded) {
      more = true;
    } else if (s.failed()) {
      status = s;  // the other domains may still answer
      continue;
    }
    for (const auto& entry : entries) {
      DirectoryNode node = node_of(entry);
      if (advanced || !node.advanced) nodes.push_back(std::move(node));
    }
  }
  if (nodes.empty() && status.failed()) return status;
  const std::string wanted = casefold(text);
  auto rank = [&](const DirectoryNode& n) { return match_rank(casefold(n.name), wanted); };
  std::stable_sort(nodes.begin(), nodes.end(), [&](const DirectoryNode& a, const DirectoryNode& b) {
    const int ra = rank(a), rb = rank(b);
    return ra != rb ? ra < rb : by_name(a.name, b.name);
  });
  if (nodes.size() > limit) {  // several domains answered
    more = true;
    nodes.resize(limit);
  }
  return kOk;
}

std::string DirectoryReader::domain_dn_of(const std::string& dn) const {
  const Domain* d = domain_of(dn);
  return d != nullptr ? d->dn : std::string();
}

Status DirectoryReader::security_groups(std::vector<GroupEntry>& groups) const {
  directory::SearchRequest request;
  request.global_catalog = true;
  request.base = "";  // on the global catalog: the whole forest
  request.scope = directory::Scope::subtree;
  request.filter = kGroupFilter;
  request.attributes = {"name", "sAMAccountName", "description", "groupType"};
  std::vector<directory::Entry> entries;
  if (const Status s = directory::search(request, entries); s.failed()) return s;

  groups.clear();
  for (const auto& entry : entries) {
    const auto type =
        static_cast<int32_t>(std::strtol(first_value(entry, "groupType").c_str(), nullptr, 10));
    if (!is_offered_group_type(type)) continue;
    GroupEntry group{entry.dn, first_value(entry, "name"), first_value(entry, "sAMAccountName"),
                     first_value(entry, "description"), type};
    if (group.name.empty()) group.name = rdn_value(directory::first_rdn(entry.dn));
    groups.push_back(std::move(group));
  }
  std::sort(groups.begin(), groups.end(),
            [](const GroupEntry& a, const GroupEntry& b) { return by_name(a.name, b.name); });
  return kOk;
}

}  // namespace txads::dialog
