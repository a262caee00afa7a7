// TXADGetSIDFromName takes the text from its first "CN=" on, upper-cased:
// a path with or without a server part, in any case, names the same
// account; text without "CN=" goes to the translation as it stands.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "scratch_accounts.h"
#include "txads.h"

namespace {

class LdapPathForms : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ou = new scratch::ScratchOu("forms");
    user = ou->add_user("Paula Path", "ppath");
    sid = scratch::sid_of(user);
  }
  static void TearDownTestSuite() {
    delete ou;
    ou = nullptr;
  }
  static inline scratch::ScratchOu* ou = nullptr;
  static inline std::string user, sid;
};

std::string lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

TEST_F(LdapPathForms, EveryFormGivesTheSameSid) {
  const std::string forms[] = {
      user,
      "LDAP://" + user,
      lower(user),
      "LDAP://" + lower(user),
      "LDAP://dc1.corp.example.com/" + user,
      "LDAP://dc1.corp.example.com:389/" + lower(user),
      "ldap://corp.example.com/" + lower(user),
  };
  for (const std::string& form : forms) {
    SCOPED_TRACE(form);
    char text[80] = {};
    EXPECT_EQ(TXADGetSIDFromName(form.c_str(), text, 79), 1);
    EXPECT_EQ(std::string(text), sid);
  }
}

struct Refused {
  const char* why;
  std::string name;
};

TEST_F(LdapPathForms, NamesThatAreNoAccountDnGiveZeroAndWriteNothing) {
  const Refused cases[] = {
      {"an account name is no DN", "CORP\\ppath"},
      {"a bare account name", "ppath"},
      {"an organisational unit has no SID", ou->dn()},
      {"a DN that does not exist", "CN=Nobody Here," + ou->dn()},
      {"a path whose DN does not exist", "LDAP://CN=Nobody Here," + ou->dn()},
      {"nothing after CN=", "LDAP://CN="},
      {"a thousand characters", "LDAP://CN=" + std::string(990, 'x') + "," + ou->dn()},
      {"a thousand characters without CN=", std::string(1000, 'y')},
  };
  for (const Refused& c : cases) {
    SCOPED_TRACE(c.why);
    char text[40];
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(TXADGetSIDFromName(c.name.c_str(), text, 39), 0);
    EXPECT_EQ(std::string(text, 40), std::string(40, '#'));
  }
}

TEST_F(LdapPathForms, NullAndEmptyNamesGiveZeroAndWriteNothing) {
  char text[40];
  std::memset(text, '#', sizeof text);
  EXPECT_EQ(TXADGetSIDFromName(nullptr, text, 39), 0);
  EXPECT_EQ(TXADGetSIDFromName("", text, 39), 0);
  EXPECT_EQ(std::string(text, 40), std::string(40, '#'));
}

TEST_F(LdapPathForms, BufferLengthBoundsTheSidText) {
  char text[40];
  std::memset(text, '#', sizeof text);
  EXPECT_EQ(TXADGetSIDFromName(("LDAP://" + user).c_str(), text, 10), 1);
  EXPECT_EQ(std::string(text, 10), sid.substr(0, 10));
  EXPECT_EQ(std::string(text + 10, 30), std::string(30, '#'));

  EXPECT_EQ(TXADGetSIDFromName(("LDAP://" + user).c_str(), text, 0), 1);
  EXPECT_EQ(std::string(text + 10, 30), std::string(30, '#'));
}

}  // namespace
