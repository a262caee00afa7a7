// A scratch OU is created below the domain under a name of its own and, when
// it goes, takes everything that was put into it, however deep.
#include <gtest/gtest.h>

#include <set>

#include "support/scratch_ou.h"

namespace {

using txads_test::attribute_values;
using txads_test::object_exists;
using txads_test::ScratchOu;

TEST(ScratchOu, IsAnOuDirectlyBelowTheDomainWithAUniqueName) {
  ScratchOu a("tdom"), b("tdom");
  EXPECT_NE(a.dn(), b.dn());
  for (const auto* ou : {&a, &b}) {
    EXPECT_EQ(ou->dn().rfind("OU=txads-tdom-", 0), 0u) << ou->dn();
    EXPECT_EQ(ou->dn().substr(ou->dn().find(',') + 1), txads_test::base_dn());
    EXPECT_EQ(attribute_values(ou->dn(), "objectClass").back(), "organizationalUnit");
    EXPECT_EQ(ou->path(), "LDAP://" + ou->dn());
  }
  EXPECT_NE(a.unique_name("pc"), b.unique_name("pc"));
  EXPECT_LE(a.unique_name("averyverylongstationname").size(), 15u);
}

TEST(ScratchOu, TakesNestedObjectsOfEveryKindWithIt) {
  std::vector<std::string> made;
  std::string top;
  {
    ScratchOu ou("tdom");
    top = ou.dn();
    auto inner = ou.add_ou("Inner");
    auto deeper = ou.add_ou("Deeper", inner);
    auto box = ou.add_container("Box", deeper);
    auto user = ou.add_user("J\xc3\xbcrgen Smith\\, Jr", ou.unique_name("js"), box);
    auto station = ou.add_computer(ou.unique_name("PC"), deeper);
    auto group = ou.add_group("Team", inner, ou.unique_name("team"));
    ou.add_member(group, user);
    ou.add_member(group, station);
    made = {inner, deeper, box, user, station, group};
    for (const auto& dn : made) EXPECT_TRUE(object_exists(dn)) << dn;
    auto members = attribute_values(group, "member");
    EXPECT_EQ(std::set<std::string>(members.begin(), members.end()),
              (std::set<std::string>{user, station}));
    ou.remove_member(group, station);
    EXPECT_EQ(attribute_values(group, "member"), std::vector<std::string>{user});
  }
  EXPECT_FALSE(object_exists(top));
  for (const auto& dn : made) EXPECT_FALSE(object_exists(dn)) << dn;
}

TEST(ScratchOu, ObjectsGetTheClassesAndAccountsTheDirectoryExpects) {
  ScratchOu ou("tdom");
  std::string name = ou.unique_name("ws");
  auto station = ou.add_computer(name);
  EXPECT_EQ(station, "CN=" + name + "," + ou.dn());
  EXPECT_EQ(attribute_values(station, "objectClass").back(), "computer");
  std::string upper = name;
  for (auto& c : upper) c = static_cast<char>(toupper(c));
  EXPECT_EQ(attribute_values(station, "sAMAccountName"), std::vector<std::string>{upper + "$"});
  EXPECT_EQ(attribute_values(station, "userAccountControl"), std::vector<std::string>{"4096"});

  auto group = ou.add_group("Readers", "", ou.unique_name("rd"));
  EXPECT_EQ(attribute_values(group, "groupType"), std::vector<std::string>{"-2147483646"});
  EXPECT_EQ(txads_test::sid_of(group).rfind("S-1-5-21-", 0), 0u);

  auto user = ou.add_user("Una User", ou.unique_name("una"));
  EXPECT_EQ(attribute_values(user, "objectClass").back(), "user");
  EXPECT_EQ(attribute_values(user, "userAccountControl"), std::vector<std::string>{"66048"});
  EXPECT_EQ(attribute_values(user, "cn"), std::vector<std::string>{"Una User"});
}

TEST(ScratchOu, ADuplicateAddFailsLoudly) {
  ScratchOu ou("tdom");
  ou.add_ou("Twice");
  EXPECT_THROW(ou.add_ou("Twice"), std::runtime_error);
}

}  // namespace
