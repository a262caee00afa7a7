// TXADGetValue against the test domain: each attribute's value as the text
// of its syntax; -1 and the failing step's text for what cannot be read.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace queries_test {
namespace {

// The result and the text it answers with: the value on 0, the error on -1.
std::pair<int, std::string> read(const std::string& account, const char* attribute) {
  txads_test::GuardedBuffer value(600), error(128);
  const int code = TXADGetValue(account.c_str(), attribute, value.data(), 600, error.data(), 128);
  EXPECT_TRUE(value.guards_intact() && error.guards_intact());
  EXPECT_TRUE(code == 0 ? error.untouched() : value.untouched()) << value.text() << error.text();
  return {code, code == 0 ? value.text() : error.text()};
}

TEST(ValuesAreReadAsTheirSyntaxGivesThem, EachRowGivesItsTextAndTheGuidFindsItsAccount) {
  txads_test::ScratchOu ou{"values"};
  const std::string domain = txads_test::netbios_domain() + "\\";
  const std::string user = domain + ou.unique_name("val");
  const std::string dn = ou.add_user("Val User", ou.unique_name("val"));
  const std::string manager = ou.add_user("Mia Manager", ou.unique_name("mia"));
  const std::string pc = ou.unique_name("PC");
  const std::string pc_dn = ou.add_computer(pc);
  ou.add_group("Grp", {}, ou.unique_name("grp"));
  const std::string not_found = "E_ADS_PROPERTY_NOT_FOUND";
  const std::string unknown = "The name was not found, or the caller may not see it.\n";
  const struct {
    std::string account;
    const char* attribute;
    std::vector<std::string> stored;  // written first with the directory's tools
    int code;
    std::string text;
  } rows[] = {
      {user, "description", {"Value text"}, 0, "Value text"},
      {user, "otherTelephone", {"222", "111"}, 0, "222; 111"},
      {user, "countryCode", {"276"}, 0, "276"},
      {user, "showInAdvancedViewOnly", {"TRUE"}, 0, "TRUE"},
      {user, "accountExpires", {"133497345678901234"}, 0, "133497345678901234"},
      {user, "msTSExpireDate", {"20241105093007.0Z"}, 0, "2024-11-05T09:30:07Z"},
      {user, "thumbnailPhoto", {std::string("\x00\x0A\xFF\x7F", 4)}, 0, "000AFF7F"},
      {user, "manager", {manager}, 0, manager},
      {user, "department", {"Pr\u00fcfstand"}, 0, "Pr\u00fcfstand"},
      {user, "objectSid", {}, 0, txads_test::sid_of(dn)},
      {domain + pc + "$", "description", {"Bench PC"}, 0, "Bench PC"},
      {user, "telephoneNumber", {}, -1, not_found},  // not held
      {user, "noSuchAttribute", {}, -1, not_found},
      {user, "description)(objectClass=*", {}, -1, not_found},
      {user, nullptr, {}, -1, "One of the parameters given is not correct.\n"},
      {ou.unique_name("val"), "description", {}, -1, unknown},
      {domain + ou.unique_name("nobody"), "description", {}, -1, unknown},
      {domain + ou.unique_name("grp"), "description", {}, -1, "80004002"},  // no user interface
  };
  for (const auto& row : rows) {
    if (row.stored.empty()) continue;
    std::string ldif = txads_test::ldif_line("dn", row.account == user ? dn : pc_dn) +
                       "changetype: modify\nreplace: " + row.attribute + "\n";
    for (const auto& value : row.stored) ldif += txads_test::ldif_line(row.attribute, value);
    txads_test::modify(ldif);
  }
  for (const auto& row : rows)
    EXPECT_EQ(read(row.account, row.attribute), std::make_pair(row.code, row.text))
        << row.account << " " << (row.attribute ? row.attribute : "(null)");

  // A GUID in registry form names the account to the directory, which takes
  // "<GUID=...>" with the first three fields in the same order.
  const auto [code, guid] = read(user, "objectGUID");
  ASSERT_EQ(guid.size(), 38u) << code << guid;
  EXPECT_EQ(txads_test::search_dns("<GUID=" + guid.substr(1, 36) + ">", "(objectClass=*)",
                                   txads_test::Scope::base),
            std::vector<std::string>{dn});
}

}  // namespace
}  // namespace queries_test
