// Binding a path asks for an interface; the object's most specific class
// decides whether it offers it. A server part in any form reaches the
// controller and stays in the object's path.
#include <gtest/gtest.h>

#include <string>

#include "directory/ads.h"
#include "support/domain.h"

namespace txads::directory {
namespace {

using txads_test::path_of;
using txads_test::seeded;

struct BindRow {
  std::string path;
  std::string class_name;  // "" when nothing binds
  uint32_t as_object, as_container, as_group, as_user;
};

TEST(BindingAPath, OffersTheInterfacesOfItsClass) {
  constexpr uint32_t ok = 0, no = 0x80004002, absent = 0x80072030, bad = 0x80005000;
  const std::string lab = seeded("OU=Lab,OU=Site");
  const BindRow rows[] = {
      {path_of(txads_test::base_dn()), "domainDNS", ok, ok, no, no},
      {path_of(seeded("CN=Pr\xC3\xBC"
                      "fer,OU=Groups")),
       "group", ok, no, ok, no},
      {path_of(seeded("CN=Smith\\, John,OU=Staff")), "user", ok, no, no, ok},
      {path_of(seeded("CN=PC042,OU=Lab,OU=Site")), "computer", ok, no, no, ok},
      {"LDAP://dc1.corp.example.com/" + lab, "organizationalUnit", ok, ok, no, no},
      {"LDAP://corp.example.com/" + lab, "organizationalUnit", ok, ok, no, no},
      {"LDAP://127.0.0.1:389/" + lab, "organizationalUnit", ok, ok, no, no},
      {path_of(seeded("CN=Nobody,OU=Site")), "", absent, absent, absent, absent},
      {"ldap://" + lab, "", bad, bad, bad, bad},
      {"LDAP://dc1:x/" + lab, "", bad, bad, bad, bad},
  };
  for (const BindRow& row : rows) {
    SCOPED_TRACE(row.path);
    Object object;
    Container container;
    Group group;
    User user;
    EXPECT_EQ(ads_get_object(row.path, container).bits(), row.as_container);
    EXPECT_EQ(ads_get_object(row.path, group).bits(), row.as_group);
    EXPECT_EQ(ads_get_object(row.path, user).bits(), row.as_user);
    ASSERT_EQ(ads_get_object(row.path, object).bits(), row.as_object);
    std::string class_name, path;
    if (row.as_object != ok) continue;
    EXPECT_EQ(object.get_class(class_name), kOk);
    EXPECT_EQ(class_name, row.class_name);
    EXPECT_EQ(object.get_ads_path(path), kOk);
    EXPECT_EQ(path, row.path);
  }
}

}  // namespace
}  // namespace txads::directory
