// TXADGetSIDFromName turns an account's DN or LDAP path (any case, with or
// without a server part) into the SID the server reports; TXADGetNameFromSID
// turns it back into DOMAIN\name and a path naming the domain as server.
#include <gtest/gtest.h>

#include <cctype>

#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace {

using txads_test::GuardedBuffer;
using txads_test::seeded;

std::string recase(std::string text, int (*fold)(int) = std::tolower) {
  for (char& c : text) c = static_cast<char>(fold(static_cast<unsigned char>(c)));
  return text;
}

TEST(Translation, EveryAccountRoundTripsThroughItsSid) {
  txads_test::ScratchOu ou("names");
  const std::string account = ou.unique_name("r");
  const struct {
    std::string dn;
    std::string account;
  } cases[] = {
      {ou.add_user("Rita Round", account), "CORP\\" + account},
      {ou.add_group("Round Trippers", {}, account + "g"), "CORP\\" + account + "g"},
      {ou.add_computer("RTPC", {}, account + "c"), "CORP\\" + recase(account, std::toupper) + "C$"},
      {seeded("CN=Administrators,CN=Builtin"), "BUILTIN\\Administrators"},
      {seeded("CN=Domain Users,CN=Users"), "CORP\\Domain Users"},
  };
  for (const auto& c : cases) {
    const std::string sid = txads_test::sid_of(c.dn);
    for (const std::string& form : {c.dn, "LDAP://" + c.dn, recase(c.dn),
                                    "ldap://dc1.corp.example.com:389/" + recase(c.dn)}) {
      GuardedBuffer text(100);
      EXPECT_EQ(TXADGetSIDFromName(form.c_str(), text.data(), text.length()), 1) << form;
      EXPECT_EQ(text.text(), sid) << form;
    }
    GuardedBuffer name(260), path(260);
    EXPECT_EQ(
        TXADGetNameFromSID(sid.c_str(), name.data(), name.length(), path.data(), path.length()), 1);
    EXPECT_EQ(name.text(), c.account);
    EXPECT_EQ(path.text(), "LDAP://corp.example.com/" + c.dn);
  }
}

TEST(Translation, WellKnownSidsNameTheirAuthorityAndBuildNoPath) {
  const struct {
    const char* sid;
    const char* account;
  } cases[] = {{"S-1-1-0", "\\Everyone"},
               {"S-1-5-11", "NT AUTHORITY\\Authenticated Users"},
               {"S-1-5-18", "NT AUTHORITY\\SYSTEM"}};
  for (const auto& c : cases) {
    GuardedBuffer name(100), path(100);
    EXPECT_EQ(TXADGetNameFromSID(c.sid, name.data(), name.length(), path.data(), path.length()), 1);
    EXPECT_EQ(name.text(), c.account);
    EXPECT_TRUE(path.untouched()) << c.sid;
  }
}

TEST(Translation, AShortNameBufferGetsTheNamesStartAndThePathStillComes) {
  const std::string dn = seeded("CN=Ann Archer,OU=Dev,OU=Staff");
  GuardedBuffer name(6), path(260);
  EXPECT_EQ(TXADGetNameFromSID(txads_test::sid_of(dn).c_str(), name.data(), name.length(),
                               path.data(), path.length()),
            1);
  EXPECT_EQ(name.raw(), "CORP\\a");
  EXPECT_EQ(path.text(), "LDAP://corp.example.com/" + dn);
}

TEST(Translation, WhatNamesNoAccountGivesZeroAndWritesNothing) {
  const std::string users = txads_test::sid_of(seeded("CN=Domain Users,CN=Users"));
  const std::string domain = users.substr(0, users.rfind('-'));
  for (const char* dn : {"CORP\\ann", "ann", "LDAP://CN=", "", static_cast<const char*>(nullptr)}) {
    GuardedBuffer text(100);
    EXPECT_EQ(TXADGetSIDFromName(dn, text.data(), text.length()), 0) << (dn ? dn : "(null)");
    EXPECT_TRUE(text.untouched()) << (dn ? dn : "(null)");
  }
  for (const std::string& dn : {seeded("OU=Staff"), seeded("CN=Nobody,OU=Staff")}) {
    GuardedBuffer text(100);
    EXPECT_EQ(TXADGetSIDFromName(dn.c_str(), text.data(), text.length()), 0) << dn;
    EXPECT_TRUE(text.untouched()) << dn;
  }
  for (const std::string& sid : {domain + "-999999", std::string("S-1-5-21-1-2-3-1104"),
                                 domain + "-513x", std::string("CORP\\ann"), std::string()}) {
    GuardedBuffer name(100), path(100);
    EXPECT_EQ(
        TXADGetNameFromSID(sid.c_str(), name.data(), name.length(), path.data(), path.length()), 0)
        << sid;
    EXPECT_TRUE(name.untouched() && path.untouched()) << sid;
  }
}

}  // namespace
