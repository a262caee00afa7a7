// The server-qualified path of a distinguished name. The DNS name is made of
// everything after the first "DC=" (found without regard to case) with every
// further "DC=" removed, commas turned into dots, in lower case.
#include "accounts/server_path.h"

#include <algorithm>

#include "directory/ldap_path.h"
#include "frame/ascii_case.h"

namespace txads {

std::string server_qualified_path(std::string_view dn) {
  const std::string upper = ascii_upper(dn);
  const size_t first = upper.find("DC=");
  if (first == std::string::npos) return directory::format_path("", dn);

  std::string server = upper.substr(first + 3);
  // Removing one "DC=" may join the text around it into a new one; the
  // search starts over each time so that none is left.
  for (size_t at = server.find("DC="); at != std::string::npos; at = server.find("DC="))
    server.erase(at, 3);
  std::replace(server.begin(), server.end(), ',', '.');
  server = ascii_lower(server);

  return directory::format_path(server, dn);
}

}  // namespace txads
