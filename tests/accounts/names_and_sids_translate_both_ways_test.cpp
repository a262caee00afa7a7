// Account DN -> SID text -> account name and server-qualified path, for a
// user, a group, a computer and a built-in group, checked against the SIDs
// the server itself reports.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "scratch_accounts.h"
#include "txads.h"

namespace {

constexpr char kDomain[] = "CORP";
constexpr char kDnsDomain[] = "corp.example.com";

class NamesAndSids : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ou = new scratch::ScratchOu("names");
    user = ou->add_user("Rita Round", "rround");
    group = ou->add_group("Round Trippers", "Round Trippers");
    computer = ou->add_computer("RTPC01");
  }
  static void TearDownTestSuite() {
    delete ou;
    ou = nullptr;
  }
  static inline scratch::ScratchOu* ou = nullptr;
  static inline std::string user, group, computer;
};

struct Expected {
  std::string dn;
  std::string account;  // DOMAIN\name
  bool has_path;        // the path names the domain as server
};

void expect_round_trip(const Expected& e) {
  SCOPED_TRACE(e.dn);
  const std::string sid = scratch::sid_of(e.dn);

  char sid_text[100];
  std::memset(sid_text, '#', sizeof sid_text);
  ASSERT_EQ(TXADGetSIDFromName(("LDAP://" + e.dn).c_str(), sid_text, 99), 1);
  EXPECT_STREQ(sid_text, sid.c_str());
  EXPECT_EQ(sid_text[98], '\0');  // zero padding up to the length
  EXPECT_EQ(sid_text[99], '#');   // and not one byte further

  char account[300], path[300];
  std::memset(account, '#', sizeof account);
  std::memset(path, '#', sizeof path);
  ASSERT_EQ(TXADGetNameFromSID(sid.c_str(), account, 259, path, 259), 1);
  EXPECT_STREQ(account, e.account.c_str());
  EXPECT_EQ(account[259], '#');
  if (e.has_path) {
    EXPECT_STREQ(path, ("LDAP://" + std::string(kDnsDomain) + "/" + e.dn).c_str());
  }
  EXPECT_EQ(path[259], '#');
}

TEST_F(NamesAndSids, UserRoundTrips) {
  expect_round_trip({user, std::string(kDomain) + "\\rround", true});
}

TEST_F(NamesAndSids, GroupRoundTrips) {
  expect_round_trip({group, std::string(kDomain) + "\\Round Trippers", true});
}

TEST_F(NamesAndSids, ComputerRoundTripsUnderItsDollarName) {
  expect_round_trip({computer, std::string(kDomain) + "\\RTPC01$", true});
}

TEST_F(NamesAndSids, BuiltinGroupRoundTripsInTheBuiltinDomain) {
  const std::string administrators = "CN=Administrators,CN=Builtin," + ou->base();
  EXPECT_EQ(scratch::sid_of(administrators), "S-1-5-32-544");
  expect_round_trip({administrators, "BUILTIN\\Administrators", true});
}

TEST_F(NamesAndSids, DomainUsersGroupNamesItsPath) {
  const std::string sid = scratch::domain_sid() + "-513";
  char account[260] = {}, path[260] = {};
  ASSERT_EQ(TXADGetNameFromSID(sid.c_str(), account, 259, path, 259), 1);
  EXPECT_STREQ(account, "CORP\\Domain Users");
  EXPECT_EQ(std::string(path), "LDAP://corp.example.com/CN=Domain Users,CN=Users," + ou->base());
}

TEST_F(NamesAndSids, EveryoneHasNoDomain) {
  char account[260], path[260];
  std::memset(account, '#', sizeof account);
  std::memset(path, '#', sizeof path);
  ASSERT_EQ(TXADGetNameFromSID("S-1-1-0", account, 259, path, 259), 1);
  EXPECT_STREQ(account, "\\Everyone");
  // The directory holds no account "\Everyone": the path stays as passed.
  EXPECT_EQ(std::string(path, 259), std::string(259, '#'));
}

TEST_F(NamesAndSids, WellKnownNtAuthorityNames) {
  struct {
    const char* sid;
    const char* account;
  } const cases[] = {{"S-1-5-11", "NT AUTHORITY\\Authenticated Users"},
                     {"S-1-5-18", "NT AUTHORITY\\SYSTEM"},
                     {"S-1-5-32-545", "BUILTIN\\Users"}};
  for (const auto& c : cases) {
    char account[260] = {}, path[260] = {};
    EXPECT_EQ(TXADGetNameFromSID(c.sid, account, 259, path, 259), 1) << c.sid;
    EXPECT_STREQ(account, c.account);
  }
}

TEST_F(NamesAndSids, ShortNameBufferGetsTheFirstCharactersAndThePathStillComes) {
  const std::string sid = scratch::sid_of(user);
  char account[16], path[300] = {};
  std::memset(account, '#', sizeof account);
  ASSERT_EQ(TXADGetNameFromSID(sid.c_str(), account, 6, path, 299), 1);
  EXPECT_EQ(std::string(account, 6), "CORP\\r");  // no terminator
  EXPECT_EQ(std::string(account + 6, 10), std::string(10, '#'));
  EXPECT_EQ(std::string(path), "LDAP://corp.example.com/" + user);
}

}  // namespace
