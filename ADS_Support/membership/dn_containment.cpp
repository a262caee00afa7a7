// The DN containment test, shared by the user and the current-station checks.
#include "membership/dn_containment.h"

#include <string>

#include "frame/ascii_case.h"
#include "membership/results.h"

namespace txads::membership {

int dn_containment(std::string_view object_dn, std::string_view container_path) {
  static constexpr std::string_view kScheme = "LDAP://";
  const size_t at = container_path.find(kScheme);
  if (at == std::string_view::npos) return kNoAnswer;
  const std::string container_dn =
      without_backslashes(ascii_upper(container_path.substr(at + kScheme.size())));
  if (container_dn.empty()) return kNoAnswer;
  const std::string dn = without_backslashes(ascii_upper(object_dn));
  return contains(dn, container_dn) ? kMember : kNotMember;
}

}  // namespace txads::membership
