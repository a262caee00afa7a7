// IADsContainer on a scratch OU: children are created at set_info, found by
// class and relative name, changed, moved and deleted; each refusal has the
// platform's code. Results are checked with ldapsearch.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "directory/ads.h"
#include "scratch.h"

namespace txads::directory {
namespace {

class Containers : public ::testing::Test {
 protected:
  scratch::Ou ou{"containers"};
  Container container;
  void SetUp() override { ASSERT_EQ(ads_get_object(ou.path(), container), kOk); }
};

TEST_F(Containers, ACreatedChildIsWrittenOnlyAtSetInfo) {
  Object child;
  ASSERT_EQ(container.create("organizationalUnit", "OU=Fresh", child), kOk);
  ASSERT_EQ(child.put("description", Value::of("made by a test")), kOk);
  EXPECT_FALSE(scratch::exists("OU=Fresh," + ou.dn()));
  ASSERT_EQ(child.set_info(), kOk);
  EXPECT_TRUE(scratch::exists("OU=Fresh," + ou.dn()));
  EXPECT_EQ(scratch::values("OU=Fresh," + ou.dn(), "description"),
            std::vector<std::string>{"made by a test"});
  std::string class_name;
  EXPECT_EQ(child.get_class(class_name), kOk);
  EXPECT_EQ(class_name, "organizationalUnit");

  Object again;
  ASSERT_EQ(container.create("organizationalUnit", "OU=Fresh", again), kOk);
  EXPECT_EQ(again.set_info().bits(), 0x80071392u);  // already exists
}

TEST_F(Containers, AChildIsFoundByClassAndRelativeName) {
  ASSERT_EQ(ou.add("CN=PC900", "computer", "sAMAccountName: PC900$\n"), 0);
  Object child;
  ASSERT_EQ(container.get_object("computer", "CN=PC900", child), kOk);
  std::string path;
  ASSERT_EQ(child.get_ads_path(path), kOk);
  EXPECT_EQ(path, scratch::path("CN=PC900," + ou.dn()));
  EXPECT_EQ(container.get_object("", "cn=pc900", child), kOk);
  EXPECT_EQ(container.get_object("group", "CN=PC900", child), kNoSuchObject);
  EXPECT_EQ(container.get_object("computer", "CN=PC901", child), kNoSuchObject);
  EXPECT_FALSE(child.bound());
  EXPECT_EQ(container.get_object("computer", "PC900", child), kBadPathname);
  EXPECT_EQ(container.get_object("computer", "CN=PC900\\", child), kBadPathname);
}

TEST_F(Containers, PutAndSetInfoReplaceValuesOfAnExistingObject) {
  ASSERT_EQ(ou.add("OU=Target", "organizationalUnit", "description: before\n"), 0);
  Object target;
  ASSERT_EQ(container.get_object("organizationalUnit", "OU=Target", target), kOk);
  ASSERT_EQ(target.put("description", Value::of("after")), kOk);
  Value staged;
  ASSERT_EQ(target.get("description", staged), kOk);
  EXPECT_EQ(staged.first(), "after");  // the staged value, not yet written
  EXPECT_EQ(scratch::values("OU=Target," + ou.dn(), "description"),
            std::vector<std::string>{"before"});
  ASSERT_EQ(target.set_info(), kOk);
  EXPECT_EQ(scratch::values("OU=Target," + ou.dn(), "description"),
            std::vector<std::string>{"after"});
  EXPECT_EQ(target.set_info(), kOk);  // nothing staged: nothing sent

  ASSERT_EQ(target.put("description", Value(Value::Syntax::string, {})), kOk);
  ASSERT_EQ(target.set_info(), kOk);
  EXPECT_TRUE(scratch::values("OU=Target," + ou.dn(), "description").empty());

  ASSERT_EQ(target.put("noSuchAttributeAnywhere", Value::of("x")), kOk);
  EXPECT_TRUE(target.set_info().failed());
}

TEST_F(Containers, MoveHereKeepsTheRelativeName) {
  ASSERT_EQ(ou.add("OU=From", "organizationalUnit"), 0);
  ASSERT_EQ(ou.add("OU=To", "organizationalUnit"), 0);
  ASSERT_EQ(ou.add("OU=Wander/er,OU=From", "organizationalUnit"), 0);
  Container to;
  ASSERT_EQ(ads_get_object(scratch::path("OU=To," + ou.dn()), to), kOk);
  Object moved;
  ASSERT_EQ(to.move_here(scratch::path("OU=Wander/er,OU=From," + ou.dn()), &moved), kOk);
  EXPECT_TRUE(scratch::exists("OU=Wander/er,OU=To," + ou.dn()));
  EXPECT_FALSE(scratch::exists("OU=Wander/er,OU=From," + ou.dn()));
  std::string path;
  ASSERT_EQ(moved.get_ads_path(path), kOk);
  EXPECT_EQ(path, "LDAP://OU=Wander\\/er,OU=To," + ou.dn());

  EXPECT_EQ(to.move_here(scratch::path("OU=Ghost,OU=From," + ou.dn()), nullptr), kNoSuchObject);
  EXPECT_EQ(to.move_here("ldap://OU=From," + ou.dn(), nullptr), kBadPathname);
}

TEST_F(Containers, DeleteRemovesLeavesAndRefusesParents) {
  ASSERT_EQ(ou.add("OU=Parent", "organizationalUnit"), 0);
  ASSERT_EQ(ou.add("OU=Child,OU=Parent", "organizationalUnit"), 0);
  EXPECT_EQ(container.delete_object("organizationalUnit", "OU=Parent").bits(), 0x80072015u);
  EXPECT_TRUE(scratch::exists("OU=Parent," + ou.dn()));
  EXPECT_EQ(container.delete_object("computer", "OU=Parent"), kNoSuchObject);
  EXPECT_EQ(container.delete_object("organizationalUnit", "OU=Absent"), kNoSuchObject);

  Container parent;
  ASSERT_EQ(ads_get_object(scratch::path("OU=Parent," + ou.dn()), parent), kOk);
  ASSERT_EQ(parent.delete_object("organizationalUnit", "OU=Child"), kOk);
  EXPECT_FALSE(scratch::exists("OU=Child,OU=Parent," + ou.dn()));
  ASSERT_EQ(container.delete_object("organizationalUnit", "OU=Parent"), kOk);
  EXPECT_FALSE(scratch::exists("OU=Parent," + ou.dn()));
}

TEST_F(Containers, EnumerationListsDirectChildrenThatPassTheFilter) {
  ASSERT_EQ(ou.add("OU=Sub", "organizationalUnit"), 0);
  ASSERT_EQ(ou.add("CN=PC1", "computer", "sAMAccountName: SCR-PC1$\n"), 0);
  ASSERT_EQ(ou.add("CN=Grp", "group", "sAMAccountName: scr-grp-" + std::to_string(getpid()) + "\n"),
            0);
  ASSERT_EQ(ou.add("CN=Deep,OU=Sub", "contact"), 0);

  struct Row {
    ClassFilter filter;
    std::vector<std::string> names;
  };
  const Row rows[] = {
      {{}, {"CN=Grp", "CN=PC1", "OU=Sub"}},
      {{"computer"}, {"CN=PC1"}},
      {{"user"}, {"CN=PC1"}},  // computers are users
      {{"group", "organizationalUnit"}, {"CN=Grp", "OU=Sub"}},
      {{"contact"}, {}},  // not a direct child
      {{"*)(objectClass=*"}, {}},
  };
  for (const Row& row : rows) {
    ASSERT_EQ(container.put_filter(row.filter), kOk);
    Enumerator children;
    ASSERT_EQ(container.new_enum(children), kOk);
    std::vector<std::string> names;
    Object child;
    Status status;
    while ((status = children.next(child)) == kOk) {
      std::string name;
      ASSERT_EQ(child.get_name(name), kOk);
      names.push_back(name);
    }
    EXPECT_EQ(status, kFalse);
    EXPECT_FALSE(child.bound());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, row.names);
  }
}

}  // namespace
}  // namespace txads::directory
