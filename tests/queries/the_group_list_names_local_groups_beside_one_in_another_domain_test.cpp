// TXADGetGroupList for an account that is also in a group of another domain
// of the forest: the account's server refers the search for that group
// elsewhere (the test server: does not hold its domain); the group is looked
// for in the global catalog, skipped when the catalog does not hold it, and
// the local groups are listed, each in its own domain's form. The other
// domain is a test double (support/foreign_domain.h): the test domain has
// only one.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/foreign_domain.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace {

using txads_test::ForeignDomain;
using txads_test::GuardedBuffer;

std::vector<std::string> entries_of(const std::string& list) {
  std::vector<std::string> entries;
  for (size_t start = 0, bar; (bar = list.find('|', start)) != std::string::npos; start = bar + 1)
    entries.push_back(list.substr(start, bar - start));
  std::sort(entries.begin(), entries.end());
  return entries;
}

TEST(GroupList, NamesTheLocalGroupsBesideOneInAnotherDomain) {
  txads_test::ScratchOu ou("foreignlist");
  const std::string account = ou.unique_name("una");
  const std::string una = ou.add_user("Una", account);
  const std::string domain = txads_test::netbios_domain() + "\\";
  std::vector<std::string> expected;
  std::string first_group;
  for (const char* stem : {"GrpA", "GrpB"}) {
    const std::string group = ou.add_group(stem, {}, ou.unique_name(stem));
    ou.add_member(group, una);
    if (first_group.empty()) first_group = group;
    expected.push_back(domain + ou.unique_name(stem));
  }
  std::sort(expected.begin(), expected.end());
  const std::string user = domain + account;

  const struct {
    bool refer_other;  // a referral for the other domain, else "no such object"
    bool refer_local;  // the local groups referred too: found in the global catalog
  } cases[] = {{false, false}, {true, false}, {true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.refer_other) + std::to_string(c.refer_local));
    ForeignDomain other(c.refer_other);
    other.add_value(una, "memberOf", std::string("CN=Far Group,CN=Users,") + ForeignDomain::kDn);
    if (c.refer_local) other.refer(first_group);
    GuardedBuffer list(200, '\0'), error;
    EXPECT_EQ(TXADGetGroupList(user.c_str(), list.data(), 200, error.data(), error.length()), 0);
    EXPECT_EQ(entries_of(list.text()), expected);
    EXPECT_TRUE(list.guards_intact());
    EXPECT_TRUE(error.untouched());
  }
}

}  // namespace
