// TXADGetValue against the test domain: each attribute's value as the text
// of its syntax, and -1 with the failing step's text, the value buffer left
// as it was, for what cannot be read.
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

using txads_test::ldif_line;

struct Row {
  std::string account;
  const char* attribute;
  int code;
  std::string text;  // the value on 0, the error text on -1
};

struct Read {
  int code;
  std::string value;
  std::string error;
};

Read read(const std::string& account, const char* attribute) {
  txads_test::GuardedBuffer value(600);
  txads_test::GuardedBuffer error(128);
  const int code = TXADGetValue(account.c_str(), attribute, value.data(), value.length(),
                                error.data(), error.length());
  EXPECT_TRUE(value.guards_intact() && error.guards_intact());
  // What a call does not answer with stays as the caller left it.
  EXPECT_TRUE(code == 0 ? error.untouched() : value.untouched()) << value.text() << error.text();
  return {code, value.text(), error.text()};
}

// Replaces the attributes of `dn`; values of one attribute follow each other.
void set_values(const std::string& dn,
                const std::vector<std::pair<std::string, std::string>>& values) {
  std::string ldif = ldif_line("dn", dn) + "changetype: modify\n";
  std::string last;
  for (const auto& [attribute, value] : values) {
    if (attribute != last) ldif += (last.empty() ? "replace: " : "-\nreplace: ") + attribute + "\n";
    last = attribute;
    ldif += ldif_line(attribute, value);
  }
  txads_test::modify(ldif + "-\n");
}

class ValuesAreReadAsTheirSyntaxGivesThem : public ::testing::Test {
 protected:
  txads_test::ScratchOu ou_{"values"};
  const std::string domain_ = txads_test::netbios_domain() + "\\";
  const std::string val_ = ou_.unique_name("val");
  const std::string val_dn_ = ou_.add_user("Val User", val_);
};

TEST_F(ValuesAreReadAsTheirSyntaxGivesThem, EachRowGivesItsText) {
  const std::string manager = ou_.add_user("Mia Manager", ou_.unique_name("mia"));
  set_values(val_dn_, {{"description", "Value text"},
                       {"otherTelephone", "222"},
                       {"otherTelephone", "111"},
                       {"countryCode", "276"},
                       {"showInAdvancedViewOnly", "TRUE"},
                       {"accountExpires", "133497345678901234"},
                       {"msTSExpireDate", "20241105093007.0Z"},
                       {"thumbnailPhoto", std::string("\x00\x0A\xFF\x7F", 4)},
                       {"manager", manager},
                       {"department",
                        "Pr\xC3\xBC"
                        "fstand"}});
  const std::string pc = ou_.unique_name("PC");
  set_values(ou_.add_computer(pc), {{"description", "Bench PC"}});
  const std::string group = ou_.unique_name("grp");
  ou_.add_group("Grp", {}, group);

  const std::string user = domain_ + val_;
  const std::string not_found = "E_ADS_PROPERTY_NOT_FOUND";
  const std::string name_not_found = "The name was not found, or the caller may not see it.\n";
  const Row rows[] = {
      {user, "description", 0, "Value text"},
      {user, "otherTelephone", 0, "222; 111"},
      {user, "countryCode", 0, "276"},
      {user, "showInAdvancedViewOnly", 0, "TRUE"},
      {user, "accountExpires", 0, "133497345678901234"},
      {user, "msTSExpireDate", 0, "2024-11-05T09:30:07Z"},
      {user, "thumbnailPhoto", 0, "000AFF7F"},
      {user, "manager", 0, manager},
      {user, "department", 0,
       "Pr\xC3\xBC"
       "fstand"},
      {user, "objectSid", 0, txads_test::sid_of(val_dn_)},
      {domain_ + pc + "$", "description", 0, "Bench PC"},
      {user, "telephoneNumber", -1, not_found},  // not held
      {user, "noSuchAttribute", -1, not_found},
      {user, "description)(objectClass=*", -1, not_found},
      {user, nullptr, -1, "One of the parameters given is not correct.\n"},
      {val_, "description", -1, name_not_found},
      {domain_ + ou_.unique_name("nobody"), "description", -1, name_not_found},
      {domain_ + group, "description", -1, "80004002"},  // a group offers no user interface
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.account + " " + (row.attribute ? row.attribute : "(null)"));
    const Read r = read(row.account, row.attribute);
    EXPECT_EQ(r.code, row.code);
    EXPECT_EQ(row.code == 0 ? r.value : r.error, row.text);
  }
}

TEST_F(ValuesAreReadAsTheirSyntaxGivesThem, AGuidInRegistryFormNamesTheAccountToTheDirectory) {
  const Read r = read(domain_ + val_, "objectGUID");
  ASSERT_EQ(r.code, 0) << r.error;
  ASSERT_EQ(r.value.size(), 38u) << r.value;
  // The directory takes "<GUID=...>" with the first three fields in the same order.
  EXPECT_EQ(txads_test::search_dns("<GUID=" + r.value.substr(1, 36) + ">", "(objectClass=*)",
                                   txads_test::Scope::base),
            std::vector<std::string>{val_dn_});
}

}  // namespace
}  // namespace queries_test
