#include "directory/forest_domains.h"

#include <map>
#include <mutex>

#include "directory/ldap_ops.h"
#include "directory/pool.h"

namespace txads::directory {
namespace {

struct DomainCache {
  std::mutex mutex;
  std::map<std::string, std::vector<ForestDomain>> by_forest;  // by configuration naming context
};

DomainCache& domain_cache() {
  static DomainCache* cache = new DomainCache;  // never destroyed: used until exit
  return *cache;
}

const std::string* first_value(const Entry& entry, std::string_view attribute) {
  const auto* values = entry.find(attribute);
  return values && !values->empty() ? &values->front() : nullptr;
}

}  // namespace

Status forest_domains(bool fresh, std::vector<ForestDomain>& domains) {
  return with_connection(Endpoint(), [&](Connection& connection) {
    const std::string forest = connection.root_dse().configuration_naming_context;
    DomainCache& cache = domain_cache();
    if (!fresh) {
      const std::lock_guard<std::mutex> lock(cache.mutex);
      if (auto it = cache.by_forest.find(forest); it != cache.by_forest.end()) {
        domains = it->second;
        return LDAP_SUCCESS;
      }
    }
    std::vector<Entry> entries;
    const int rc = search_entries(connection,
                                  {"CN=Partitions," + forest,
                                   Scope::one_level,
                                   "(&(objectClass=crossRef)(nETBIOSName=*))",
                                   {"nCName", "nETBIOSName", "dnsRoot"}},
                                  entries);
    if (rc != LDAP_SUCCESS) return rc;
    domains.clear();
    for (const Entry& entry : entries) {
      const std::string* nc = first_value(entry, "nCName");
      const std::string* name = first_value(entry, "nETBIOSName");
      const std::string* dns = first_value(entry, "dnsRoot");
      if (nc && name) domains.push_back({*nc, *name, dns ? *dns : ""});
    }
    const std::lock_guard<std::mutex> lock(cache.mutex);
    cache.by_forest[forest] = domains;
    return LDAP_SUCCESS;
  });
}

}  // namespace txads::directory
