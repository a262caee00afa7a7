// IADsNameTranslate through the global catalog. The NT4 form's domain part
// is the NetBIOS name of a domain's crossRef object in the Partitions
// container; the account part is its sAMAccountName. Names that cannot be
// resolved give ERROR_DS_NAME_ERROR_NOT_FOUND (0x80072116), several matches
// ERROR_DS_NAME_ERROR_NOT_UNIQUE (0x80072117), and an object without an NT4
// name (an organizational unit) ERROR_DS_NAME_ERROR_NO_MAPPING (0x80072118)
// at get. The forest's domain list (forest_domains.h) is read again when a
// name falls outside it. "BUILTIN\x" names the
// built-in group x of the configured server's domain (its CN=Builtin
// container), and objects there translate back to "BUILTIN\x".
#include <vector>

#include "directory/ads.h"
#include "directory/dn_within.h"
#include "directory/forest_domains.h"
#include "directory/ldap_ops.h"
#include "directory/ldap_path.h"
#include "directory/pool.h"
#include "directory/same_dn.h"
#include "directory/search_ahead.h"
#include "directory/status_map.h"
#include "frame/ascii_case.h"

namespace txads::directory {
namespace {

using Domain = ForestDomain;

// The forest's domains; `netbios` narrows to one (compared case-insensitively).
Status read_domains(const std::string& netbios, bool fresh, std::vector<Domain>& domains) {
  domains.clear();
  std::vector<Domain> all;
  if (const Status status = forest_domains(fresh, all); status.failed()) return status;
  for (Domain& domain : all) {
    if (netbios.empty() || equal_ignoring_case(domain.netbios_name, netbios))
      domains.push_back(std::move(domain));
  }
  return kOk;
}

constexpr char kBuiltin[] = "BUILTIN";

// The domain whose NetBIOS name is `netbios`; for "BUILTIN", the configured
// server's built-in domain (its CN=Builtin container). kNameNotFound when
// the forest holds no such domain.
Status find_domain(const std::string& netbios, Domain& domain) {
  if (equal_ignoring_case(netbios, kBuiltin)) {
    return with_connection(Endpoint(), [&](Connection& connection) {
      domain = {"CN=Builtin," + connection.root_dse().default_naming_context, kBuiltin, ""};
      return LDAP_SUCCESS;
    });
  }
  std::vector<Domain> domains;
  for (const bool fresh : {false, true}) {
    const Status status = read_domains(netbios, fresh, domains);
    if (status.failed()) return status;
    if (!domains.empty()) {
      domain = domains.front();
      return kOk;
    }
  }
  return kNameNotFound;
}

// The NT4 name of the object `dn` of domain `owner` whose sAMAccountName is
// `sam` ("" for none): "DOMAIN\" for the domain itself, "BUILTIN\sam" in its
// built-in container, "" for an object without an account name.
std::string nt4_name(const Domain& owner, const std::string& dn,
                     const std::vector<std::string>* sam) {
  if (equal_ignoring_case(dn, owner.naming_context)) return owner.netbios_name + "\\";
  if (sam == nullptr || sam->empty()) return "";
  const bool builtin = dn_within(dn, "CN=Builtin," + owner.naming_context);
  return (builtin ? std::string(kBuiltin) : owner.netbios_name) + "\\" + sam->front();
}

}  // namespace

Endpoint global_catalog() {
  Endpoint endpoint;
  endpoint.global_catalog = true;
  return endpoint;
}

SearchRequest translation_request(const std::string& dn) {
  return {dn, Scope::base, kEveryObject, {"sAMAccountName"}};
}

Status translation_answer(const std::string& dn, const std::vector<Entry>& entries,
                          std::string& found_dn, std::string& nt4) {
  if (entries.empty()) return kNameNotFound;
  // An answer for another object than the one named is no answer (see bind_dn).
  if (dn.front() != '<' && !same_dn(dn, entries.front().dn)) return kNameNotFound;

  std::vector<Domain> domains;
  const Domain* owner = nullptr;
  for (const bool fresh : {false, true}) {
    if (const Status status = read_domains("", fresh, domains); status.failed()) return status;
    for (const Domain& domain : domains) {
      if (dn_within(entries.front().dn, domain.naming_context) &&
          (!owner || domain.naming_context.size() > owner->naming_context.size()))
        owner = &domain;
    }
    if (owner != nullptr) break;
  }
  if (owner == nullptr) return kNameNotFound;
  found_dn = entries.front().dn;
  nt4 = nt4_name(*owner, found_dn, entries.front().find("sAMAccountName"));
  return kOk;
}

struct NameTranslate::State {
  bool initialised = false;
  bool set = false;
  std::string dn;
  std::string nt4;  // "" when the object has no NT4 name
};

NameTranslate::NameTranslate() : state_(std::make_unique<State>()) {}
NameTranslate::~NameTranslate() = default;

Status NameTranslate::init(int init_type, std::string_view /*path: unused for the GC*/) {
  *state_ = State();
  if (init_type != ADS_NAME_INITTYPE_GC) return kInvalidArg;
  // Reach a global catalog now, as the platform does at Init.
  const Status status = with_connection(global_catalog(), [](Connection&) { return LDAP_SUCCESS; });
  if (status.failed()) return status;
  state_->initialised = true;
  return kOk;
}

Status NameTranslate::set(NameType type, std::string_view name) {
  if (!state_->initialised) return kUnexpected;
  state_->set = false;
  std::vector<Entry> entries;

  if (type == NameType::nt4) {
    const size_t slash = name.find('\\');
    if (slash == std::string_view::npos || slash == 0) return kNameNotFound;
    if (Status refused = refuse_nul(name.substr(slash + 1)); refused.failed()) return refused;
    const std::string netbios(name.substr(0, slash));
    Domain domain;
    Status status = find_domain(netbios, domain);
    if (status.failed()) return status;
    const std::string account(name.substr(slash + 1));
    if (account.empty()) {
      state_->dn = domain.naming_context;
      state_->nt4 = domain.netbios_name + "\\";
      state_->set = true;
      return kOk;
    }
    status = with_connection(global_catalog(), [&](Connection& connection) {
      entries.clear();
      return search_entries(connection,
                            {domain.naming_context,
                             Scope::subtree,
                             "(sAMAccountName=" + escape_filter_value(account) + ")",
                             {"sAMAccountName"}},
                            entries);
    });
    if (status.failed()) return status;
    if (entries.empty()) return kNameNotFound;
    if (entries.size() > 1) return kNameNotUnique;
    state_->dn = entries.front().dn;
    state_->nt4 = nt4_name(domain, state_->dn, entries.front().find("sAMAccountName"));
    state_->set = true;
    return kOk;
  }

  if (type != NameType::rfc1779) return kInvalidArg;
  if (name.empty()) return kNameNotFound;
  std::string dn;
  if (Status parsed = parse_dn(name, dn); parsed.failed())
    return parsed == kInvalidDnSyntax ? parsed : kNameNotFound;
  Status status = with_connection(global_catalog(), [&](Connection& connection) {
    entries.clear();
    return search_entries(connection, translation_request(dn), entries);
  });
  if (status == kNoSuchObject || status == kInvalidDnSyntax) return kNameNotFound;
  if (status.failed()) return status;
  status = translation_answer(dn, entries, state_->dn, state_->nt4);
  if (status.failed()) return status;
  state_->set = true;
  return kOk;
}

Status NameTranslate::get(NameType type, std::string& name) {
  if (!state_->set) return kUnexpected;
  if (type == NameType::rfc1779) {
    name = state_->dn;
    return kOk;
  }
  if (type != NameType::nt4) return kInvalidArg;
  if (state_->nt4.empty()) return kNameNoMapping;
  name = state_->nt4;
  return kOk;
}

}  // namespace txads::directory
