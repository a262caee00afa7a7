// Children: named by one attribute=value, found and deleted only as their
// own most specific class (a computer is a "user" among its classes, not a
// user child), created at set_info, moved with their relative name. Refusals
// provoked for real reach the caller with the code it branches on and leave
// the directory as it was.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "directory/ads.h"
#include "support/scratch_ou.h"

namespace txads::directory {
namespace {

using txads_test::object_exists;
using txads_test::path_of;

class Children : public ::testing::Test {
 protected:
  txads_test::ScratchOu ou{"children"};
  Container container;
  void SetUp() override {
    ou.add_computer("PC1", {}, ou.unique_name("pc1"));
    ou.add_container("Deep", ou.add_ou("Inner"));
    ou.add_container("a\\,b");
    ASSERT_EQ(ads_get_object(ou.path(), container), kOk);
  }
};

TEST_F(Children, AreFoundByTheirOwnClassAndOneRelativeName) {
  constexpr uint32_t ok = 0, absent = 0x80072030, bad = 0x80005000;
  const std::tuple<const char*, const char*, uint32_t> rows[] = {
      {"computer", "CN=PC1", ok},
      {"Computer", "cn=pc1", ok},  // class and name compare without case
      {"", "CN=PC1", ok},          // any class
      {"user", "CN=PC1", absent},
      {"container", "CN=a\\,b", ok},           // an escaped comma stays one name
      {"container", "CN=Deep,OU=Inner", bad},  // a grandchild
      {"container", "CN=a+CN=b", bad},         // a multi-valued name
      {"container", "CN=Deep/OU=Inner", bad},  // "/" separates a server
      {"container", "Deep", bad},
  };
  for (const auto& [class_name, rdn, code] : rows) {
    SCOPED_TRACE(rdn);
    Object child;
    EXPECT_EQ(container.get_object(class_name, rdn, child).bits(), code) << class_name;
    EXPECT_EQ(child.bound(), code == ok);
    if (code != bad) continue;
    EXPECT_EQ(container.create("container", rdn, child).bits(), bad);
    EXPECT_EQ(container.delete_object(class_name, rdn).bits(), bad);
  }
  EXPECT_TRUE(object_exists("CN=Deep,OU=Inner," + ou.dn()));
}

TEST_F(Children, AreCreatedAtSetInfoMovedAndDeletedAsTheirOwnClass) {
  Object fresh;
  ASSERT_EQ(container.create("organizationalUnit", "OU=Wander\\/er", fresh), kOk);
  ASSERT_EQ(fresh.put("description", Value::of("made by a test")), kOk);
  EXPECT_FALSE(object_exists("OU=Wander/er," + ou.dn()));
  ASSERT_EQ(fresh.set_info(), kOk);
  EXPECT_EQ(txads_test::attribute_values("OU=Wander/er," + ou.dn(), "description"),
            std::vector<std::string>{"made by a test"});

  Container inner;
  ASSERT_EQ(ads_get_object(path_of("OU=Inner," + ou.dn()), inner), kOk);
  Object moved;
  ASSERT_EQ(inner.move_here("LDAP://OU=Wander\\/er," + ou.dn(), &moved), kOk);
  EXPECT_TRUE(object_exists("OU=Wander/er,OU=Inner," + ou.dn()));
  std::string path;
  ASSERT_EQ(moved.get_ads_path(path), kOk);
  EXPECT_EQ(path, "LDAP://OU=Wander\\/er,OU=Inner," + ou.dn());

  EXPECT_EQ(container.delete_object("user", "CN=PC1").bits(), 0x80072030u);
  EXPECT_TRUE(object_exists("CN=PC1," + ou.dn()));
  EXPECT_EQ(container.delete_object("computer", "CN=PC1"), kOk);
  EXPECT_FALSE(object_exists("CN=PC1," + ou.dn()));
}

TEST_F(Children, AreRefusedWithThePlatformsCodesAndLeftAsTheyWere) {
  const auto create_ou = [this](const char* rdn) {
    Object child;
    const Status status = container.create("organizationalUnit", rdn, child);
    return status == kOk ? child.set_info() : status;
  };
  const std::string up = ou.add_ou("Up");
  Container down;
  ASSERT_EQ(ads_get_object(path_of(ou.add_ou("Down", up)), down), kOk);
  EXPECT_EQ(create_ou("OU=Inner").bits(), 0x80071392u);  // already exists
  EXPECT_EQ(container.delete_object("organizationalUnit", "OU=Inner").bits(), 0x80072015u);
  EXPECT_TRUE(object_exists("CN=Deep,OU=Inner," + ou.dn()));  // not allowed on a non-leaf
  EXPECT_EQ(down.move_here(path_of(up), nullptr).bits(), 0x80072035u);
  EXPECT_TRUE(object_exists("OU=Down," + up));  // unwilling: a move below itself
  {
    txads_test::AsUser eve("eve");
    EXPECT_EQ(create_ou("OU=Denied").bits(), 0x80072098u);  // insufficient rights
    EXPECT_FALSE(object_exists("OU=Denied," + ou.dn()));
  }
  txads_test::AsUser nobody("/nonexistent/txads-no-cache");  // no ticket: no logon session
  EXPECT_EQ(ads_get_object(ou.path(), container).bits(), 0x80070520u);
}

}  // namespace
}  // namespace txads::directory
