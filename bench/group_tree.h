// A tree of groups in the test domain for the nested-search benchmarks: a top
// group holding `fan_out` groups, each of which holds `fan_out` more, `depth`
// levels deep; the deepest groups are empty, so that a walk that looks for
// anything else reads every group. Made in a new OU under
// `base` with the directory's own tools (the process must run inside the
// test domain), removed with that OU.
#pragma once

#include <string>

namespace txads_bench {

// Feeds `input` to an LDAP command of the directory's tools; true when it succeeded.
bool ldap_tool(const std::string& command, const std::string& input);

class GroupTree {
 public:
  GroupTree(const std::string& base, int fan_out, int depth);
  ~GroupTree();
  GroupTree(const GroupTree&) = delete;
  GroupTree& operator=(const GroupTree&) = delete;

  bool made() const { return made_; }
  const std::string& top_dn() const { return top_dn_; }
  // The groups below the top.
  int groups() const { return groups_; }

 private:
  std::string ou_dn_;
  std::string top_dn_;
  int groups_ = 0;
  bool made_ = false;
};

}  // namespace txads_bench
