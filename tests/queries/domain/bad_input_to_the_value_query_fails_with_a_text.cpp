// TXADGetValue with account and attribute names that cannot be read: -1, an
// error text, and the value buffer as the caller left it.
#include <gtest/gtest.h>

#include <string>

#include "scratch.h"
#include "support/domain.h"
#include "txads.h"

namespace queries_test {
namespace {

const std::string kNotFound = "E_ADS_PROPERTY_NOT_FOUND";

struct Failed {
  int result;
  std::string error;
  bool value_untouched;
};

Failed read(const char* account, const char* attribute) {
  Guarded value(32, 'v');
  Guarded error(128, 'e');
  const int result = TXADGetValue(account, attribute, value.data(), 32, error.data(), 128);
  EXPECT_TRUE(value.guards_intact() && error.guards_intact());
  return {result, error.text(), value.bytes() == std::string(32, 'v')};
}

class BadInputToTheValueQueryFailsWithAText : public ::testing::Test {
 protected:
  void SetUp() override {
    ou_.add_user("Bad User", "bad", "description: here\n");
    ou_.add_group("Bad Group", "badgrp", {});
  }
  ScratchOu ou_;
};

TEST_F(BadInputToTheValueQueryFailsWithAText, AttributeNamesThatCannotBeRead) {
  const std::string account = ou_.account_name("bad");
  struct Case {
    const char* attribute;
    const std::string& error;
  } cases[] = {
      {nullptr, kInvalidParameterText},
      {"", kNotFound},
      {"description)(objectClass=*", kNotFound},
      {"*", kNotFound},
      {"description=x", kNotFound},
      {"description ", kNotFound},
  };
  for (const Case& c : cases) {
    const Failed f = read(account.c_str(), c.attribute);
    const char* shown = c.attribute ? c.attribute : "(null)";
    EXPECT_EQ(f.result, -1) << shown;
    EXPECT_EQ(f.error, c.error) << shown;
    EXPECT_TRUE(f.value_untouched) << shown;
  }
}

TEST_F(BadInputToTheValueQueryFailsWithAText, AccountNamesThatCannotBeTranslated) {
  const Failed null_account = read(nullptr, "description");
  EXPECT_EQ(null_account.result, -1);
  EXPECT_EQ(null_account.error, kInvalidParameterText);
  EXPECT_TRUE(null_account.value_untouched);

  const std::string no_domain = ou_.tag() + "bad";
  const std::string unknown = txads_test::netbios_domain() + "\\" + ou_.tag() + "nobody";
  for (const std::string& account : {std::string(), no_domain, unknown}) {
    const Failed f = read(account.c_str(), "description");
    EXPECT_EQ(f.result, -1) << account;
    EXPECT_EQ(f.error, kNameNotFoundText) << account;
    EXPECT_TRUE(f.value_untouched) << account;
  }
}

TEST_F(BadInputToTheValueQueryFailsWithAText, GroupAccountIsNotAUserAndFailsTheBind) {
  const Failed f = read(ou_.account_name("badgrp").c_str(), "description");
  EXPECT_EQ(f.result, -1);
  EXPECT_EQ(f.error, "80004002");  // the object offers no user interface
  EXPECT_TRUE(f.value_untouched);
}

}  // namespace
}  // namespace queries_test
