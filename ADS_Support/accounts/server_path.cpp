// The server-qualified path of a distinguished name. The DNS name is made of
// everything after the first "DC=" (found without regard to case) with every
// further "DC=" removed, commas turned into dots, in lower case.
#include "accounts/server_path.h"

#include <algorithm>

#include "frame/ascii_case.h"

namespace txads {

std::string server_qualified_path(std::string_view dn) {
  std::string path = "LDAP://";
  path += dn;
  const std::string upper = ascii_upper(path);
  const size_t first = upper.find("DC=");
  if (first == std::string::npos) return path;

  std::string server = upper.substr(first + 3);
  // Removing one "DC=" may join the text around it into a new one; the
  // search starts over each time so that none is left.
  for (size_t at = server.find("DC="); at != std::string::npos; at = server.find("DC="))
    server.erase(at, 3);
  std::replace(server.begin(), server.end(), ',', '.');
  server = ascii_lower(server);

  std::string qualified = "LDAP://";
  qualified += server;
  qualified += '/';
  qualified += dn;
  return qualified;
}

}  // namespace txads
