#include "raw_ldap_client.h"

#include <ldap.h>
#include <sasl/sasl.h>
#include <strings.h>

#include <cstring>
#include <vector>

namespace txads_bench {

namespace {

// GSSAPI asks for nothing the ticket cache does not give; take the defaults.
int take_defaults(LDAP*, unsigned, void*, void* prompts) {
  for (auto* p = static_cast<sasl_interact_t*>(prompts); p->id != SASL_CB_LIST_END; ++p) {
    p->result = p->defresult ? p->defresult : "";
    p->len = static_cast<unsigned>(std::strlen(static_cast<const char*>(p->result)));
  }
  return LDAP_SUCCESS;
}

// One synchronous search; the DNs and the values of one attribute of the
// entries it returns. false when the search failed (no such object included).
bool search(LDAP* ld, const std::string& base, int scope, const char* filter, const char* attribute,
            std::vector<std::string>& dns, std::vector<std::string>& values) {
  char* attributes[] = {const_cast<char*>(attribute ? attribute : LDAP_NO_ATTRS), nullptr};
  timeval timeout{30, 0};
  LDAPMessage* result = nullptr;
  const int rc = ldap_search_ext_s(ld, base.c_str(), scope, filter, attributes, 0, nullptr, nullptr,
                                   &timeout, 0, &result);
  if (rc == LDAP_SUCCESS) {
    for (LDAPMessage* e = ldap_first_entry(ld, result); e; e = ldap_next_entry(ld, e)) {
      if (char* dn = ldap_get_dn(ld, e)) {
        dns.emplace_back(dn);
        ldap_memfree(dn);
      }
      if (!attribute) continue;
      if (berval** v = ldap_get_values_len(ld, e, attribute)) {
        for (int i = 0; v[i]; ++i) values.emplace_back(v[i]->bv_val, v[i]->bv_len);
        ldap_value_free_len(v);
      }
    }
  }
  ldap_msgfree(result);
  return rc == LDAP_SUCCESS;
}

bool starts_with_nocase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() &&
         strncasecmp(text.c_str(), prefix.c_str(), prefix.size()) == 0;
}

}  // namespace

RawLdapClient::RawLdapClient(const std::string& uri, std::string base) : base_(std::move(base)) {
  if (ldap_initialize(&ld_, uri.c_str()) != LDAP_SUCCESS) {
    ld_ = nullptr;
    return;
  }
  const int version = LDAP_VERSION3;
  ldap_set_option(ld_, LDAP_OPT_PROTOCOL_VERSION, &version);
  ldap_set_option(ld_, LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
  bound_ = ldap_sasl_interactive_bind_s(ld_, nullptr, "GSSAPI", nullptr, nullptr, LDAP_SASL_QUIET,
                                        take_defaults, nullptr) == LDAP_SUCCESS;
}

RawLdapClient::~RawLdapClient() {
  if (ld_) ldap_unbind_ext_s(ld_, nullptr, nullptr);
}

int RawLdapClient::user_in_group(const std::string& account, const std::string& group_dn,
                                 int max_depth) {
  std::vector<std::string> dns, unused;
  const std::string filter = "(sAMAccountName=" + account + ")";
  if (!search(ld_, base_, LDAP_SCOPE_SUBTREE, filter.c_str(), nullptr, dns, unused) ||
      dns.size() != 1)
    return -1;
  return read_group(dns[0], group_dn, 0, max_depth);
}

int RawLdapClient::read_group(const std::string& user_dn, const std::string& group_dn, int depth,
                              int max_depth) {
  std::vector<std::string> dns, members;
  if (!search(ld_, group_dn, LDAP_SCOPE_BASE, "(objectClass=group)", "member", dns, members))
    return -1;
  for (const auto& m : members)
    if (strcasecmp(m.c_str(), user_dn.c_str()) == 0) return 1;
  if (depth == max_depth) return 2;
  for (const auto& m : members) {
    const int r = read_group(user_dn, m, depth + 1, max_depth);
    if (r != 2) return r;
  }
  return 2;
}

std::string RawLdapClient::station_container(const std::string& station,
                                             const std::string& container_dn) {
  std::vector<std::string> dns, unused;
  const std::string filter =
      "(|(objectClass=organizationalUnit)(&(objectClass=computer)(cn=" + station + ")))";
  if (!search(ld_, container_dn, LDAP_SCOPE_ONELEVEL, filter.c_str(), nullptr, dns, unused))
    return "";
  for (const auto& dn : dns)
    if (starts_with_nocase(dn, "CN=" + station + ",")) return container_dn;
  for (const auto& dn : dns) {
    if (!starts_with_nocase(dn, "OU=")) continue;
    std::string found = station_container(station, dn);
    if (!found.empty()) return found;
  }
  return "";
}

int RawLdapClient::count_users(const std::string& container_dn) {
  char* attributes[] = {const_cast<char*>("cn"), nullptr};
  berval cookie{0, nullptr};
  int users = 0;
  for (;;) {
    LDAPControl* page = nullptr;
    if (ldap_create_page_control(ld_, 1000, &cookie, 0, &page) != LDAP_SUCCESS) return -1;
    LDAPControl* controls[] = {page, nullptr};
    timeval timeout{30, 0};
    LDAPMessage* result = nullptr;
    int rc = ldap_search_ext_s(ld_, container_dn.c_str(), LDAP_SCOPE_ONELEVEL,
                               "(&(objectClass=user)(!(objectClass=computer)))", attributes, 0,
                               controls, nullptr, &timeout, 0, &result);
    ldap_control_free(page);
    ber_memfree(cookie.bv_val);
    cookie = {0, nullptr};
    LDAPControl** returned = nullptr;
    if (rc == LDAP_SUCCESS)
      rc = ldap_parse_result(ld_, result, nullptr, nullptr, nullptr, nullptr, &returned, 0);
    if (rc == LDAP_SUCCESS) {
      users += ldap_count_entries(ld_, result);
      LDAPControl* response = ldap_control_find(LDAP_CONTROL_PAGEDRESULTS, returned, nullptr);
      ber_int_t estimate = 0;
      if (response) ldap_parse_pageresponse_control(ld_, response, &estimate, &cookie);
    }
    ldap_controls_free(returned);
    ldap_msgfree(result);
    if (rc != LDAP_SUCCESS) return -1;
    if (cookie.bv_len == 0) break;
  }
  ber_memfree(cookie.bv_val);
  return users;
}

int RawLdapClient::exists(const std::string& dn, const char* filter) {
  std::vector<std::string> dns, unused;
  if (search(ld_, dn, LDAP_SCOPE_BASE, filter, "objectClass", dns, unused))
    return dns.empty() ? 0 : 1;
  int error = 0;
  ldap_get_option(ld_, LDAP_OPT_RESULT_CODE, &error);
  return error == LDAP_NO_SUCH_OBJECT ? 0 : -1;
}

}  // namespace txads_bench
