// Finding the current user's and station's objects in the directory.
#include "platform/current_account.h"

#include <unistd.h>

#include <strings.h>
#include <climits>

#include "frame/ascii_case.h"
#include "frame/win32_errors.h"
#include "platform/kerberos_cache.h"

namespace txads {
namespace {

constexpr size_t kNetbiosLength = 15;

// "CORP.EXAMPLE.COM" -> "DC=CORP,DC=EXAMPLE,DC=COM".
std::string realm_dn(const std::string& realm) {
  std::string dn;
  size_t start = 0;
  while (start <= realm.size()) {
    size_t dot = realm.find('.', start);
    if (dot == std::string::npos) dot = realm.size();
    if (dot > start) dn += (dn.empty() ? "DC=" : ",DC=") + realm.substr(start, dot - start);
    start = dot + 1;
  }
  return dn;
}

// The realm's domain is searched on the configured server when it is the
// server's own domain, else through the global catalog.
directory::SearchRequest domain_request(const std::string& realm) {
  directory::SearchRequest request;
  request.base = realm_dn(realm);
  std::string own;
  if (directory::default_naming_context(own).failed() ||
      strcasecmp(own.c_str(), request.base.c_str()) != 0)
    request.global_catalog = true;
  return request;
}

// The first entry found, or the error for none.
uint32_t first_entry(const directory::SearchRequest& request, uint32_t none,
                     directory::Entry& entry) {
  std::vector<directory::Entry> entries;
  if (directory::search(request, entries).failed()) return win32::ERROR_NO_SUCH_DOMAIN;
  if (entries.empty()) return none;
  entry = std::move(entries.front());
  return 0;
}

}  // namespace

std::string netbios_name() {
  char host[HOST_NAME_MAX + 1] = {};
  if (gethostname(host, sizeof host - 1) != 0) return {};
  std::string name(host);
  name = name.substr(0, name.find('.'));
  if (name.size() > kNetbiosLength) name.resize(kNetbiosLength);
  return ascii_upper(name);
}

uint32_t find_current_user(const std::vector<std::string>& attributes, directory::Entry& entry) {
  CachePrincipal principal;
  if (uint32_t error = current_principal(principal); error != 0) return error;
  directory::SearchRequest request = domain_request(principal.realm);
  const std::string upn = principal.name + "@" + principal.realm;
  request.filter =
      "(&(objectClass=user)(|(userPrincipalName=" + directory::escape_filter_value(upn) +
      ")(sAMAccountName=" + directory::escape_filter_value(principal.name) + ")))";
  request.attributes = attributes;
  return first_entry(request, win32::ERROR_NO_SUCH_USER, entry);
}

uint32_t find_current_station(const std::vector<std::string>& attributes, directory::Entry& entry) {
  const std::string name = netbios_name();
  if (name.empty()) return win32::ERROR_NO_TRUST_SAM_ACCOUNT;
  directory::SearchRequest request;
  request.filter =
      "(&(objectClass=computer)(sAMAccountName=" + directory::escape_filter_value(name + "$") +
      "))";
  request.attributes = attributes;
  return first_entry(request, win32::ERROR_NO_TRUST_SAM_ACCOUNT, entry);
}

}  // namespace txads
