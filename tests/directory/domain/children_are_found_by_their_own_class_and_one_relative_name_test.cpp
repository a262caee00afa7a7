// A child is named by exactly one attribute=value and is found (or deleted)
// only as its own, most specific class: a computer carries "user" among its
// classes but is not a user child. A relative name that would reach a deeper
// or another object is refused before anything is read or changed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "directory/ads.h"
#include "scratch.h"

namespace txads::directory {
namespace {

class ChildNames : public ::testing::Test {
 protected:
  scratch::Ou ou{"child-names"};
  Container container;
  void SetUp() override {
    ASSERT_EQ(ou.add("CN=PC1", "computer", "sAMAccountName: " + unique("pc") + "$\n"), 0);
    ASSERT_EQ(ou.add("OU=Inner", "organizationalUnit"), 0);
    ASSERT_EQ(scratch::modify("dn: CN=Deep,OU=Inner," + ou.dn() + "\nobjectClass: contact\n\n"), 0);
    ASSERT_EQ(ou.add("CN=a\\,b", "contact"), 0);
    ASSERT_EQ(ads_get_object(ou.path(), container), kOk);
  }
  static std::string unique(const std::string& prefix) {
    static int serial = 0;
    return prefix + std::to_string(getpid()) + "-" + std::to_string(serial++);
  }
};

struct Lookup {
  const char* class_name;
  const char* rdn;
  Status expected;
};

TEST_F(ChildNames, OnlyTheOwnClassFindsAChild) {
  const Lookup cases[] = {
      {"computer", "CN=PC1", kOk},
      {"Computer", "cn=pc1", kOk},  // class and name compare case-insensitively
      {"", "CN=PC1", kOk},          // any class
      {"user", "CN=PC1", kNoSuchObject},
      {"top", "CN=PC1", kNoSuchObject},
      {"person", "CN=PC1", kNoSuchObject},
      {"organizationalUnit", "OU=Inner", kOk},
      {"contact", "CN=a\\,b", kOk},  // an escaped comma stays one name
  };
  for (const Lookup& c : cases) {
    Object child;
    EXPECT_EQ(container.get_object(c.class_name, c.rdn, child), c.expected)
        << c.class_name << " " << c.rdn;
    EXPECT_EQ(child.bound(), c.expected == kOk) << c.class_name << " " << c.rdn;
  }
}

TEST_F(ChildNames, ANameOfMoreThanOneAttributeValueIsRefused) {
  const Lookup cases[] = {
      {"contact", "CN=Deep,OU=Inner", kBadPathname},  // would reach a grandchild
      {"", "CN=Deep,OU=Inner", kBadPathname},
      {"contact", "CN=a,CN=b", kBadPathname},
      {"contact", "CN=a+CN=b", kBadPathname},  // multi-valued name
      {"contact", "CN=a;OU=Inner", kBadPathname},
      {"contact", "CN=Deep/OU=Inner", kBadPathname},  // unescaped "/" is a path separator
      {"contact", "", kBadPathname},
      {"contact", "Deep", kBadPathname},
  };
  for (const Lookup& c : cases) {
    Object child;
    EXPECT_EQ(container.get_object(c.class_name, c.rdn, child), c.expected) << c.rdn;
    EXPECT_FALSE(child.bound()) << c.rdn;
    EXPECT_EQ(container.create("contact", c.rdn, child), c.expected) << c.rdn;
    EXPECT_EQ(container.delete_object(c.class_name, c.rdn), c.expected) << c.rdn;
  }
  EXPECT_TRUE(scratch::exists("CN=Deep,OU=Inner," + ou.dn()));
}

TEST_F(ChildNames, DeletionNeedsTheOwnClassToo) {
  EXPECT_EQ(container.delete_object("user", "CN=PC1"), kNoSuchObject);
  EXPECT_TRUE(scratch::exists("CN=PC1," + ou.dn()));
  EXPECT_EQ(container.delete_object("contact", "CN=a\\,b"), kOk);
  EXPECT_FALSE(scratch::exists("CN=a\\,b," + ou.dn()));
  EXPECT_EQ(container.delete_object("computer", "CN=PC1"), kOk);
  EXPECT_FALSE(scratch::exists("CN=PC1," + ou.dn()));
}

}  // namespace
}  // namespace txads::directory
