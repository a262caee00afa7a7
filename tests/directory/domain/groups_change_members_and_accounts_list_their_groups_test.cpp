// IADsGroup and IADsUser: members listed with their classes and paths,
// added and removed at once; an account's groups from memberOf.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "directory/ads.h"
#include "scratch.h"

namespace txads::directory {
namespace {

std::string at(const std::string& rdns) {
  return scratch::path(rdns + "," + scratch::base());
}

std::vector<std::string> listed(Members& members, ClassFilter filter) {
  EXPECT_EQ(members.put_filter(std::move(filter)), kOk);
  Enumerator items;
  EXPECT_EQ(members.new_enum(items), kOk);
  std::vector<std::string> out;
  Object item;
  while (items.next(item) == kOk) {
    std::string class_name, path;
    EXPECT_EQ(item.get_class(class_name), kOk);
    EXPECT_EQ(item.get_ads_path(path), kOk);
    out.push_back(class_name + " " + path);
  }
  std::sort(out.begin(), out.end());
  return out;
}

TEST(Groups, MembersComeWithClassAndPathAndPassTheFilter) {
  Group group;
  ASSERT_EQ(ads_get_object(at("CN=Lab Members,OU=Groups"), group), kOk);
  Members members;
  ASSERT_EQ(group.members(members), kOk);
  EXPECT_EQ(listed(members, {"user", "group"}), (std::vector<std::string>{
                                                    "computer " + at("CN=PC042,OU=Lab,OU=Site"),
                                                    "computer " + at("CN=PC043,OU=Site"),
                                                    "user " + at("CN=Ann Archer,OU=Dev,OU=Staff"),
                                                    "user " + at("CN=Bob Baker,OU=Staff"),
                                                }));
  EXPECT_EQ(listed(members, {"computer"}).size(), 2u);

  Group prufer;
  ASSERT_EQ(ads_get_object(at("CN=Prüfer,OU=Groups"), prufer), kOk);
  ASSERT_EQ(prufer.members(members), kOk);
  EXPECT_EQ(listed(members, {}),
            (std::vector<std::string>{"user " + at("CN=Jürgen Müller,OU=Dev,OU=Staff"),
                                      "user " + at("CN=Smith\\, John,OU=Staff")}));

  Group empty;
  ASSERT_EQ(ads_get_object(at("CN=Empty,OU=Groups"), empty), kOk);
  ASSERT_EQ(empty.members(members), kOk);
  EXPECT_TRUE(listed(members, {}).empty());
}

TEST(Groups, MemberPathsKeepTheGroupsServer) {
  Group group;
  const std::string server_path =
      "LDAP://dc1.corp.example.com/CN=Nest6,OU=Groups," + scratch::base();
  ASSERT_EQ(ads_get_object(server_path, group), kOk);
  Members members;
  ASSERT_EQ(group.members(members), kOk);
  EXPECT_EQ(listed(members, {"computer"}),
            std::vector<std::string>{
                "computer LDAP://dc1.corp.example.com/CN=PC044,OU=Lab,OU=Site," + scratch::base()});
}

TEST(Groups, AddAndRemoveChangeMembersAtOnce) {
  scratch::Ou ou("groups");
  ASSERT_EQ(ou.add("CN=Team", "group", "sAMAccountName: team-" + std::to_string(getpid()) + "\n"),
            0);
  ASSERT_EQ(ou.add("CN=PC7", "computer",
                   "sAMAccountName: GRP-PC7-" + std::to_string(getpid() % 1000) + "$\n"),
            0);
  const std::string team = "CN=Team," + ou.dn(), pc = "CN=PC7," + ou.dn();
  Group group;
  ASSERT_EQ(ads_get_object(scratch::path(team), group), kOk);

  ASSERT_EQ(group.add(scratch::path(pc)), kOk);
  EXPECT_EQ(scratch::values(team, "member"), std::vector<std::string>{pc});
  EXPECT_EQ(group.add(scratch::path(pc)).bits(), 0x80071392u);  // already a member

  ASSERT_EQ(group.remove("LDAP://dc1/" + pc), kOk);
  EXPECT_TRUE(scratch::values(team, "member").empty());
  EXPECT_EQ(group.remove(scratch::path(pc)).bits(), 0x80072035u);  // not a member any more

  EXPECT_EQ(group.add("ldap://" + pc), kBadPathname);
  EXPECT_EQ(group.add(scratch::path("CN=Ghost," + ou.dn())), kNoSuchObject);
}

TEST(Users, GroupsAreTheDirectGroupsFromMemberOf) {
  scratch::Ou ou("user-groups");
  const std::string tag = std::to_string(getpid());
  ASSERT_EQ(ou.add("CN=Member", "user", "sAMAccountName: ug-member-" + tag + "\n"), 0);
  const std::string member = "CN=Member," + ou.dn();
  ASSERT_EQ(ou.add("CN=Direct1", "group",
                   "sAMAccountName: ug-direct1-" + tag + "\nmember: " + member + "\n"),
            0);
  ASSERT_EQ(ou.add("CN=Direct2", "group",
                   "sAMAccountName: ug-direct2-" + tag + "\nmember: " + member + "\n"),
            0);
  ASSERT_EQ(ou.add("CN=Outer", "group",
                   "sAMAccountName: ug-outer-" + tag + "\nmember: CN=Direct1," + ou.dn() + "\n"),
            0);

  User user;
  ASSERT_EQ(ads_get_object(scratch::path(member), user), kOk);
  Members groups;
  ASSERT_EQ(user.groups(groups), kOk);
  // Neither the group of a group (Outer) nor the primary group (Domain Users).
  EXPECT_EQ(listed(groups, {}),
            (std::vector<std::string>{"group " + scratch::path("CN=Direct1," + ou.dn()),
                                      "group " + scratch::path("CN=Direct2," + ou.dn())}));
  EXPECT_TRUE(listed(groups, {"user"}).empty());

  User outer_as_user;
  EXPECT_EQ(ads_get_object(scratch::path("CN=Outer," + ou.dn()), outer_as_user), kNoInterface);
}

}  // namespace
}  // namespace txads::directory
