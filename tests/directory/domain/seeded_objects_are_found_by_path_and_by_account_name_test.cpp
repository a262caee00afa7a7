// Seeded objects found by path, from eight threads: the most specific class decides the
// interfaces offered, a server part in any form reaches the controller and stays in the
// path, the existence exports answer 0 yes, -3 absent, -1 else with a reason. And by name
// on the global catalog: both ways in one search each once the forest's domains are known,
// with the codes of names that do not resolve (caller text is only a value).
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "directory/ads.h"
#include "directory/operation_counter.h"
#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "txads.h"

namespace txads::directory {
namespace {

using txads_test::path_of;
using txads_test::seeded;

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
  constexpr uint32_t ok = 0, no = 0x80004002, absent = 0x80072030, bad = 0x80005000;
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
      {"CORP\\j\u00fcrgen", seeded("CN=J\u00fcrgen M\u00fcller,OU=Dev,OU=Staff"),
       "CORP\\j\u00fcrgen"},
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

}  // namespace
}  // namespace txads::directory
