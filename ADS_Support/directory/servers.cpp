// Choosing the servers of a call. The client configuration is read from a
// fresh libldap handle (no connection is made); DNS answers come from the
// locator's cache.
#include "directory/servers.h"

#include <ldap.h>

#include <cstring>

#include "directory/client_config.h"
#include "directory/ldap_handle.h"
#include "directory/ldap_owners.h"
#include "directory/locator.h"
#include "frame/ascii_case.h"

namespace txads::directory {
namespace {

constexpr int kLdapPort = 389;
constexpr int kGlobalCatalogPort = 3268;
constexpr int kGlobalCatalogTlsPort = 3269;

std::string bracketed(const std::string& host) {
  return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

std::string ldap_uri(const std::string& host, int port) {
  return "ldap://" + bracketed(host) + ":" + std::to_string(port);
}

// One target per configured URI; for the global catalog, on its ports.
std::vector<Target> configured_targets(const std::string& uris, bool global_catalog) {
  std::vector<Target> targets;
  std::string list = uris;
  for (char& c : list) {
    if (c == ',') c = ' ';
  }
  size_t start = 0;
  while (start < list.size()) {
    const size_t end = std::min(list.find(' ', start), list.size());
    const std::string text = list.substr(start, end - start);
    start = end + 1;
    LDAPURLDesc* raw_url = nullptr;
    if (text.empty() || ldap_url_parse(text.c_str(), &raw_url) != LDAP_URL_SUCCESS) continue;
    Url url(raw_url);
    const std::string host = url->lud_host ? url->lud_host : "";
    if (!global_catalog) {
      targets.push_back({text, host});
      continue;
    }
    const bool tls = url->lud_scheme && std::strcmp(url->lud_scheme, "ldaps") == 0;
    const std::string gc_host = host.empty() ? "localhost" : host;
    targets.push_back({std::string(tls ? "ldaps://" : "ldap://") + bracketed(gc_host) + ":" +
                           std::to_string(tls ? kGlobalCatalogTlsPort : kGlobalCatalogPort),
                       gc_host});
  }
  return targets;
}

struct ClientConfiguration {
  std::string uris;                         // "" when none is configured
  std::string base_domain;                  // of the configured base DN, lower case; "" when none
  Servers servers, global_catalog_servers;  // of the URIs
};

// libldap reads its configuration once per process; so does this.
ClientConfiguration read_client_configuration() {
  ClientConfiguration configuration;
  LdapHandle ld;
  if (new_ldap_handle("", ld) != LDAP_SUCCESS) return configuration;
  // Without URI or HOST libldap answers its default, "ldap://localhost".
  char* raw_uris = nullptr;
  ldap_get_option(ld.get(), LDAP_OPT_URI, &raw_uris);
  LdapString uris(raw_uris);
  if (uris && (setting_configured("URI") || setting_configured("HOST")))
    configuration.uris = uris.get();
  char* raw_base = nullptr;
  ldap_get_option(ld.get(), LDAP_OPT_DEFBASE, &raw_base);
  LdapString base(raw_base);
  if (base) configuration.base_domain = ascii_lower(dns_name_of(base.get()));
  configuration.servers = {
      key_kind(false) + "uri|" + configuration.uris,
      std::make_shared<const std::vector<Target>>(configured_targets(configuration.uris, false))};
  configuration.global_catalog_servers = {
      key_kind(true) + "uri|" + configuration.uris,
      std::make_shared<const std::vector<Target>>(configured_targets(configuration.uris, true))};
  return configuration;
}

const ClientConfiguration& client_configuration() {
  static const ClientConfiguration configuration = read_client_configuration();
  return configuration;
}

// The domain's controllers (or its forest's global catalog servers); `port`
// replaces the records' port when not 0.
std::shared_ptr<const std::vector<Target>> located_targets(const std::string& domain,
                                                           bool global_catalog, int port) {
  const std::vector<ServiceRecord> records =
      global_catalog ? global_catalog_servers(forest_of(domain)) : domain_controllers(domain);
  auto targets = std::make_shared<std::vector<Target>>();
  for (const ServiceRecord& record : records) {
    targets->push_back({ldap_uri(record.target, port != 0 ? port : record.port), record.target});
  }
  return targets;
}

}  // namespace

std::string domain_of_principal(const std::string& principal) {
  const size_t at = principal.rfind('@');
  if (at == std::string::npos) return "";
  return ascii_lower(principal.substr(at + 1));
}

Status find_servers(const Endpoint& endpoint, const std::string& principal, Servers& servers) {
  servers = Servers();
  const ClientConfiguration& configuration = client_configuration();
  const std::string& base_domain = configuration.base_domain;

  if (!endpoint.server.empty()) {
    const std::string& host = endpoint.host;
    if (!host.empty() &&
        (equal_ignoring_case(host, endpoint.domain) || equal_ignoring_case(host, base_domain) ||
         equal_ignoring_case(host, domain_of_principal(principal)))) {
      servers.targets = located_targets(ascii_lower(host), endpoint.global_catalog, endpoint.port);
    }
    if (!servers.targets || servers.targets->empty()) {  // a host, or a domain DNS does not know
      int port = endpoint.port;
      if (port == 0) port = endpoint.global_catalog ? kGlobalCatalogPort : kLdapPort;
      servers.targets =
          std::make_shared<const std::vector<Target>>(1, Target{ldap_uri(host, port), host});
    }
    servers.key = endpoint.key();
    return kOk;
  }

  if (!configuration.uris.empty()) {
    servers =
        endpoint.global_catalog ? configuration.global_catalog_servers : configuration.servers;
    return servers.targets->empty() ? kServerDown : kOk;
  }

  std::string domain = endpoint.domain;
  if (domain.empty()) domain = base_domain;
  if (domain.empty()) domain = domain_of_principal(principal);
  if (domain.empty()) {
    servers.targets = std::make_shared<const std::vector<Target>>();
    return kServerDown;
  }
  servers.targets = located_targets(domain, endpoint.global_catalog, 0);
  servers.key = key_kind(endpoint.global_catalog) + "dns|" + domain;
  return servers.targets->empty() ? kServerDown : kOk;
}

}  // namespace txads::directory
