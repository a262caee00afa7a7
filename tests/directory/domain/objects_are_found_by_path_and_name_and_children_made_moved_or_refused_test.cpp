// Objects found by path from eight threads (the most specific class decides the interfaces;
// a server part in any form stays in the path; existence exports answer 0, -3 absent, -1
// with a reason) and by name on the global catalog, both ways in one search each. Children:
// one attribute=value, found and deleted only as their own most specific class, created at
// set_info, moved; refusals provoked for real give the caller's code and change nothing.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "directory/ads.h"
#include "directory/operation_counter.h"
#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace txads::directory {
namespace {

using txads_test::object_exists;
using txads_test::path_of;
using txads_test::seeded;

constexpr uint32_t ok = 0, no = 0x80004002, absent = 0x80072030, bad = 0x80005000;

struct BindRow {
  std::string path, class_name;  // class_name "" when nothing binds
  uint32_t as_object, as_container, as_group, as_user;
  int container_exists, group_exists;
};

void bind(const BindRow& row) {
  SCOPED_TRACE(row.path);
  Object object;
  Container container;
  Group group;
  User user;
  EXPECT_EQ(ads_get_object(row.path, container).bits(), row.as_container);
  EXPECT_EQ(ads_get_object(row.path, group).bits(), row.as_group);
  EXPECT_EQ(ads_get_object(row.path, user).bits(), row.as_user);
  ASSERT_EQ(ads_get_object(row.path, object).bits(), row.as_object);
  for (const auto& [check, code] : {std::pair{&TXADIsContainerExist, row.container_exists},
                                    std::pair{&TXADIsGroupExist, row.group_exists}}) {
    txads_test::GuardedBuffer error(64);
    EXPECT_EQ(check(row.path.c_str(), error.data(), error.length()), code);
    EXPECT_EQ(error.untouched(), code != -1);
    EXPECT_TRUE(error.guards_intact());
  }
  std::string class_name, path;
  if (row.as_object != 0) return;
  EXPECT_EQ(object.get_class(class_name), kOk);
  EXPECT_EQ(class_name, row.class_name);
  EXPECT_EQ(object.get_ads_path(path), kOk);
  EXPECT_EQ(path, row.path);
}

TEST(BindingAPath, OffersTheInterfacesOfItsClassFromAnyThread) {
  const std::string lab = seeded("OU=Lab,OU=Site");
  const BindRow rows[] = {
      {path_of(txads_test::base_dn()), "domainDNS", ok, ok, no, no, 0, -1},
      {path_of(seeded("CN=Pr\u00fcfer,OU=Groups")), "group", ok, no, ok, no, -1, 0},
      {path_of(seeded("CN=Smith\\, John,OU=Staff")), "user", ok, no, no, ok, -1, -1},
      {path_of(seeded("CN=PC042,OU=Lab,OU=Site")), "computer", ok, no, no, ok, -1, -1},
      {"LDAP://dc1.corp.example.com/" + lab, "organizationalUnit", ok, ok, no, no, 0, -1},
      {"LDAP://corp.example.com/" + lab, "organizationalUnit", ok, ok, no, no, 0, -1},
      {"LDAP://127.0.0.11:389/" + lab, "organizationalUnit", ok, ok, no, no, 0, -1},
      {path_of(seeded("CN=Nobody,OU=Site")), "", absent, absent, absent, absent, -3, -3},
      {"ldap://" + lab, "", bad, bad, bad, bad, -1, -1},
  };
  std::vector<std::thread> threads;
  for (int thread = 0; thread < 8; ++thread)
    threads.emplace_back([&rows] {
      for (const BindRow& row : rows) bind(row);
    });
  for (std::thread& thread : threads) thread.join();
}

TEST(NameTranslation, GoesBothWaysInOneSearchEachOrGivesTheCodeOfWhatDoesNotResolve) {
  const std::tuple<std::string, std::string, std::string> rows[] = {
      {"corp\\ANN", seeded("CN=Ann Archer,OU=Dev,OU=Staff"), "CORP\\ann"},
      {"CORP\\jsmith", seeded("CN=Smith\\, John,OU=Staff"), "CORP\\jsmith"},
      {"CORP\\jürgen", seeded("CN=Jürgen Müller,OU=Dev,OU=Staff"), "CORP\\jürgen"},
      {"CORP\\PC042$", seeded("CN=PC042,OU=Lab,OU=Site"), "CORP\\PC042$"},
      {"CORP\\", txads_test::base_dn(), "CORP\\"},
      // Built-in groups carry the built-in domain's name whichever name found them.
      {"builtin\\users", seeded("CN=Users,CN=Builtin"), "BUILTIN\\Users"},
      {"CORP\\Administrators", seeded("CN=Administrators,CN=Builtin"), "BUILTIN\\Administrators"},
  };
  NameTranslate translate;
  ASSERT_EQ(translate.init(ADS_NAME_INITTYPE_GC, ""), kOk);
  ASSERT_EQ(translate.set(NameType::nt4, "CORP\\ann"), kOk);  // learns the forest's domains
  std::string out;
  for (const auto& [nt4, dn, nt4_back] : rows) {
    SCOPED_TRACE(nt4);
    const uint64_t before = operation_counts().operations;
    ASSERT_EQ(translate.set(NameType::nt4, nt4), kOk);
    ASSERT_EQ(translate.get(NameType::rfc1779, out), kOk);
    EXPECT_EQ(out, dn);
    ASSERT_EQ(translate.set(NameType::rfc1779, dn), kOk);
    ASSERT_EQ(translate.get(NameType::nt4, out), kOk);
    EXPECT_EQ(out, nt4_back);
    EXPECT_LE(operation_counts().operations - before, 2u);
  }
  for (const char* nt4 : {"CORP\\nobody", "NODOMAIN\\ann", "ann", "CORP\\*", "CORP\\ann)(cn=*"})
    EXPECT_EQ(translate.set(NameType::nt4, nt4).bits(), 0x80072116u) << nt4;
  for (const std::string& dn : {std::string("not a dn"), seeded("CN=Nobody")})
    EXPECT_EQ(translate.set(NameType::rfc1779, dn).bits(), 0x80072116u) << dn;
  // An organizational unit has a distinguished name but no account name.
  ASSERT_EQ(translate.set(NameType::rfc1779, seeded("OU=Lab,OU=Site")), kOk);
  EXPECT_EQ(translate.get(NameType::nt4, out).bits(), 0x80072118u);
}

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
  const std::tuple<const char*, const char*, uint32_t> rows[] = {
      {"computer", "CN=PC1", ok},
      {"Computer", "cn=pc1", ok},  // class and name compare without case
      {"", "CN=PC1", ok},          // any class
      {"user", "CN=PC1", absent},
      {"container", "CN=a\\,b", ok},           // an escaped comma stays one name
      {"container", "CN=Deep,OU=Inner", bad},  // a grandchild
      {"container", "CN=a+CN=b", bad},         // a multi-valued name
      {"container", "CN=Inner/Deep", absent},  // "/" is part of a relative name
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
