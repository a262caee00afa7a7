// A group lists its members with class and path (on the group's server),
// filtered by class on the server: its bind and one search on an open
// connection. Members changed through the handle are read again.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "directory/ads.h"
#include "directory/operation_counter.h"
#include "support/scratch_ou.h"

namespace txads::directory {
namespace {

using txads_test::path_of;

// "class path" of every item, sorted.
std::vector<std::string> listed(Members& members, ClassFilter filter) {
  EXPECT_EQ(members.put_filter(std::move(filter)), kOk);
  Enumerator items;
  EXPECT_EQ(members.new_enum(items), kOk);
  std::vector<std::string> out;
  Object item;
  for (std::string class_name, path; items.next(item) == kOk;) {
    EXPECT_EQ(item.get_class(class_name), kOk);
    EXPECT_EQ(item.get_ads_path(path), kOk);
    out.push_back(class_name + " " + path);
  }
  std::sort(out.begin(), out.end());
  return out;
}

class GroupMembers : public ::testing::Test {
 protected:
  txads_test::ScratchOu ou{"members"};
  const std::string dc1 = "LDAP://dc1.corp.example.com/";
  std::string outer, inner, u1, u2, pc;
  void SetUp() override {
    u1 = ou.add_user("u1", ou.unique_name("u1"));
    u2 = ou.add_user("u2", ou.unique_name("u2"));
    pc = ou.add_computer("pc", {}, ou.unique_name("pc"));
    inner = ou.add_group("inner", {}, ou.unique_name("in"));
    outer = ou.add_group("outer", {}, ou.unique_name("out"));
    for (const std::string& member : {u1, u2, pc, inner, ou.add_container("box")})
      ou.add_member(outer, member);
    Object warm;  // opens the connection, so that only requests are counted
    ASSERT_EQ(ads_get_object(dc1 + ou.dn(), warm), kOk);
  }
};

TEST_F(GroupMembers, ComeWithTheirClassesInTwoRequests) {
  const uint64_t before = operation_counts().operations;
  Group group;
  ASSERT_EQ(ads_get_object(dc1 + outer, group), kOk);
  Members members;
  ASSERT_EQ(group.members(members), kOk);
  EXPECT_EQ(listed(members, {"user", "group"}),
            (std::vector<std::string>{"computer " + dc1 + pc, "group " + dc1 + inner,
                                      "user " + dc1 + u1, "user " + dc1 + u2}));
  EXPECT_EQ(operation_counts().operations - before, 2u);
}

TEST_F(GroupMembers, ChangedThroughTheHandleAreReadAgain) {
  Group group;
  ASSERT_EQ(ads_get_object(path_of(outer), group), kOk);
  Members members;
  ASSERT_EQ(group.members(members), kOk);
  ASSERT_EQ(group.remove(dc1 + u1), kOk);
  EXPECT_EQ(listed(members, {"user"}).size(), 2u);
  ASSERT_EQ(group.add(path_of(u1)), kOk);
  EXPECT_EQ(listed(members, {"user"}).size(), 3u);
}

}  // namespace
}  // namespace txads::directory
