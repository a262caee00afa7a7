// Station RDNs and children's paths.
#include "membership/station_names.h"

#include <string_view>

#include "directory/ldap_path.h"
#include "frame/ascii_case.h"
#include "membership/results.h"

namespace txads::membership {

std::string station_rdn(const char* station) {
  return ascii_upper(std::string("CN=") + station);
}

std::string child_path(const std::string& name, const std::string& parent_path) {
  static constexpr std::string_view kScheme = "LDAP://";
  const size_t at = ascii_upper(parent_path).find(kScheme);
  if (at == std::string::npos) return {};
  return std::string(kScheme) + directory::escape_path_dn(name) + "," +
         parent_path.substr(at + kScheme.size());
}

}  // namespace txads::membership
