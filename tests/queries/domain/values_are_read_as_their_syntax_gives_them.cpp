// TXADGetValue against the test domain: the text of each kind of value.
#include <gtest/gtest.h>

#include <locale.h>
#include <clocale>
#include <regex>
#include <string>

#include "scratch.h"
#include "support/domain.h"
#include "txads.h"

namespace queries_test {
namespace {

struct Read {
  int result;
  std::string value;
  std::string error;
};

Read get_value(const std::string& account, const char* attribute) {
  Guarded value(600);
  Guarded error(256);
  const int result = TXADGetValue(account.c_str(), attribute, value.data(), value.length(),
                                  error.data(), error.length());
  EXPECT_TRUE(value.guards_intact() && error.guards_intact());
  return {result, value.text(), error.text()};
}

class ValuesAreReadAsTheirSyntaxGivesThem : public ::testing::Test {
 protected:
  void SetUp() override {
    manager_dn_ = ou_.add_user("Mia Manager", "mia");
    user_dn_ = ou_.add_user("Val User", "val",
                            "description: Value text\n"
                            "otherTelephone: 111\n"
                            "otherTelephone: 222\n"
                            "countryCode: 276\n"
                            "showInAdvancedViewOnly: TRUE\n"
                            "accountExpires: 133497345678901234\n"
                            "thumbnailPhoto:: AAr/fw==\n" +
                                txads_test::ldif_line("manager", manager_dn_) +
                                txads_test::ldif_line("department", "Prüfstand"));
  }
  ScratchOu ou_;
  std::string manager_dn_;
  std::string user_dn_;
};

TEST_F(ValuesAreReadAsTheirSyntaxGivesThem, EachKindHasItsText) {
  struct Case {
    const char* attribute;
    std::string text;
  } cases[] = {
      {"description", "Value text"},             // one string, unchanged
      {"sAMAccountName", ou_.tag() + "val"},     // one string
      {"countryCode", "276"},                    // integer
      {"showInAdvancedViewOnly", "TRUE"},        // boolean
      {"accountExpires", "133497345678901234"},  // large integer
      {"thumbnailPhoto", "000AFF7F"},            // other binary
      {"manager", manager_dn_},                  // distinguished name
      {"department", "Prüfstand"},               // UTF-8 in a UTF-8 locale
  };
  for (const Case& c : cases) {
    const Read r = get_value(ou_.account_name("val"), c.attribute);
    EXPECT_EQ(r.result, 0) << c.attribute << ": " << r.error;
    EXPECT_EQ(r.value, c.text) << c.attribute;
  }
}

TEST_F(ValuesAreReadAsTheirSyntaxGivesThem, SeveralValuesAreJoinedWithSemicolonAndSpace) {
  const Read r = get_value(ou_.account_name("val"), "otherTelephone");
  EXPECT_EQ(r.result, 0) << r.error;
  EXPECT_TRUE(r.value == "111; 222" || r.value == "222; 111") << r.value;
}

TEST_F(ValuesAreReadAsTheirSyntaxGivesThem, SidTextNamesTheAccountToTheDirectory) {
  const Read r = get_value(ou_.account_name("val"), "objectSid");
  ASSERT_EQ(r.result, 0) << r.error;
  EXPECT_TRUE(std::regex_match(r.value, std::regex("S-1-5-21-[0-9]+-[0-9]+-[0-9]+-[0-9]+")))
      << r.value;
  // The directory takes SID text in a filter: it must find this very user.
  EXPECT_EQ(txads_test::search_dns(txads_test::base_dn(), "(objectSid=" + r.value + ")"),
            std::vector<std::string>{user_dn_});
}

TEST_F(ValuesAreReadAsTheirSyntaxGivesThem, GuidInRegistryFormNamesTheAccountToTheDirectory) {
  const Read r = get_value(ou_.account_name("val"), "objectGUID");
  ASSERT_EQ(r.result, 0) << r.error;
  ASSERT_TRUE(std::regex_match(
      r.value, std::regex("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}")))
      << r.value;
  // The directory binds "<GUID=...>" with the same field order.
  const std::string guid = r.value.substr(1, 36);
  EXPECT_EQ(
      txads_test::search_dns("<GUID=" + guid + ">", "(objectClass=*)", txads_test::Scope::base),
      std::vector<std::string>{user_dn_});
}

TEST_F(ValuesAreReadAsTheirSyntaxGivesThem, TimesAreIsoTextAndPasswordAgeIsDecimal) {
  const Read created = get_value(ou_.account_name("val"), "whenCreated");
  EXPECT_EQ(created.result, 0) << created.error;
  EXPECT_TRUE(std::regex_match(
      created.value,
      std::regex("20[0-9]{2}-[01][0-9]-[0-3][0-9]T[0-2][0-9]:[0-5][0-9]:[0-6][0-9]Z")))
      << created.value;
  const Read pwd = get_value(ou_.account_name("val"), "pwdLastSet");
  EXPECT_EQ(pwd.result, 0) << pwd.error;
  EXPECT_TRUE(std::regex_match(pwd.value, std::regex("[0-9]+"))) << pwd.value;
}

TEST_F(ValuesAreReadAsTheirSyntaxGivesThem, ComputerAccountsAreReadToo) {
  ou_.add_entry("CN=PCV1", "computer",
                "sAMAccountName: " + ou_.tag() +
                    "PCV1$\nuserAccountControl: 4096\n"
                    "description: Bench PC\n");
  const Read r = get_value(ou_.account_name("PCV1$"), "description");
  EXPECT_EQ(r.result, 0) << r.error;
  EXPECT_EQ(r.value, "Bench PC");
}

TEST_F(ValuesAreReadAsTheirSyntaxGivesThem, TextIsInTheCallingThreadsCodeSet) {
  locale_t latin1 = newlocale(LC_CTYPE_MASK, "de_DE.iso88591", nullptr);
  if (latin1 == nullptr) GTEST_SKIP() << "no de_DE.iso88591 locale";
  const locale_t before = uselocale(latin1);
  const Read r = get_value(ou_.account_name("val"), "department");
  uselocale(before);
  freelocale(latin1);
  EXPECT_EQ(r.result, 0) << r.error;
  EXPECT_EQ(r.value,
            "Pr\xFC"
            "fstand");
}

TEST_F(ValuesAreReadAsTheirSyntaxGivesThem, TwoCallsGiveTheSameText) {
  const Read first = get_value(ou_.account_name("val"), "objectGUID");
  const Read second = get_value(ou_.account_name("val"), "objectGUID");
  EXPECT_EQ(first.result, 0);
  EXPECT_EQ(first.value, second.value);
}

}  // namespace
}  // namespace queries_test
