#include "group_tree.h"

#include <unistd.h>

#include <cstdio>
#include <vector>

namespace txads_bench {

bool ldap_tool(const std::string& command, const std::string& input) {
  FILE* pipe = popen((command + " >/dev/null 2>&1").c_str(), "w");
  if (pipe == nullptr) return false;
  fwrite(input.data(), 1, input.size(), pipe);
  return pclose(pipe) == 0;
}

GroupTree::GroupTree(const std::string& base, int fan_out, int depth) {
  const std::string tag = std::to_string(getpid() % 100000);
  ou_dn_ = "OU=txads-bench-tree-" + tag + "," + base;
  std::string ldif = "dn: " + ou_dn_ + "\nobjectClass: organizationalUnit\n\n";
  // Bottom up, so that every member exists when its group is added.
  int made = 0;
  auto add_group = [&](const std::vector<std::string>& members) {
    const std::string name = "b" + tag + "g" + std::to_string(made++);
    const std::string dn = "CN=" + name + "," + ou_dn_;
    ldif += "dn: " + dn + "\nobjectClass: group\nsAMAccountName: " + name + "\n";
    for (const std::string& member : members) ldif += "member: " + member + "\n";
    ldif += "\n";
    return dn;
  };
  int width = 1;
  for (int level = 0; level < depth; ++level) width *= fan_out;
  std::vector<std::string> level(static_cast<size_t>(width));
  for (std::string& group : level) group = add_group({});
  while (level.size() > static_cast<size_t>(fan_out)) {
    std::vector<std::string> above;
    for (size_t i = 0; i < level.size(); i += static_cast<size_t>(fan_out))
      above.push_back(add_group({level.begin() + static_cast<std::ptrdiff_t>(i),
                                 level.begin() + static_cast<std::ptrdiff_t>(i) + fan_out}));
    level = std::move(above);
  }
  top_dn_ = add_group(level);
  groups_ = made - 1;
  made_ = ldap_tool("ldapadd -Q -Y GSSAPI", ldif);
}

GroupTree::~GroupTree() {
  ldap_tool("ldapdelete -Q -Y GSSAPI -r '" + ou_dn_ + "'", "");
}

}  // namespace txads_bench
