// Name translation on the global catalog: domain\account names and DNs both
// ways, each in at most one search once the forest's domains are known, and
// the codes of names that do not resolve (caller text is only a value).
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "directory/ads.h"
#include "directory/operation_counter.h"
#include "support/domain.h"

namespace txads::directory {
namespace {

using txads_test::seeded;

TEST(NameTranslation, GoesBothWaysInOneSearchEach) {
  const std::tuple<std::string, std::string, std::string> rows[] = {
      // nt4, dn, nt4 back
      {"corp\\ANN", seeded("CN=Ann Archer,OU=Dev,OU=Staff"), "CORP\\ann"},
      {"CORP\\jsmith", seeded("CN=Smith\\, John,OU=Staff"), "CORP\\jsmith"},
      {"CORP\\j\xC3\xBCrgen", seeded("CN=J\xC3\xBCrgen M\xC3\xBCller,OU=Dev,OU=Staff"),
       "CORP\\j\xC3\xBCrgen"},
      {"CORP\\PC042$", seeded("CN=PC042,OU=Lab,OU=Site"), "CORP\\PC042$"},
      {"CORP\\", txads_test::base_dn(), "CORP\\"},
      // Built-in groups carry the built-in domain's name whichever name found them.
      {"builtin\\users", seeded("CN=Users,CN=Builtin"), "BUILTIN\\Users"},
      {"CORP\\Administrators", seeded("CN=Administrators,CN=Builtin"), "BUILTIN\\Administrators"},
  };
  NameTranslate translate;
  ASSERT_EQ(translate.init(ADS_NAME_INITTYPE_GC, ""), kOk);
  ASSERT_EQ(translate.set(NameType::nt4, "CORP\\ann"), kOk);  // learns the forest's domains
  for (const auto& [nt4, dn, nt4_back] : rows) {
    SCOPED_TRACE(nt4);
    std::string out;
    const uint64_t before = operation_counts().operations;
    ASSERT_EQ(translate.set(NameType::nt4, nt4), kOk);
    ASSERT_EQ(translate.get(NameType::rfc1779, out), kOk);
    EXPECT_EQ(out, dn);
    ASSERT_EQ(translate.set(NameType::rfc1779, dn), kOk);
    ASSERT_EQ(translate.get(NameType::nt4, out), kOk);
    EXPECT_EQ(out, nt4_back);
    EXPECT_LE(operation_counts().operations - before, 2u);
  }
}

TEST(NameTranslation, GivesTheCodesOfNamesThatDoNotResolve) {
  const std::pair<NameType, std::string> not_found[] = {
      {NameType::nt4, "CORP\\nobody"},
      {NameType::nt4, "NODOMAIN\\ann"},
      {NameType::nt4, "ann"},
      {NameType::nt4, "CORP\\*"},
      {NameType::nt4, "CORP\\ann)(cn=*"},
      {NameType::rfc1779, "not a dn"},
      {NameType::rfc1779, seeded("CN=Nobody")},
  };
  NameTranslate translate;
  std::string out;
  ASSERT_EQ(translate.init(ADS_NAME_INITTYPE_GC, ""), kOk);
  for (const auto& [type, name] : not_found)
    EXPECT_EQ(translate.set(type, name).bits(), 0x80072116u) << name;
  // An organizational unit has a distinguished name but no account name.
  ASSERT_EQ(translate.set(NameType::rfc1779, seeded("OU=Lab,OU=Site")), kOk);
  EXPECT_EQ(translate.get(NameType::nt4, out).bits(), 0x80072118u);
}

}  // namespace
}  // namespace txads::directory
