// TXADGetSIDFromName turns an account's DN or LDAP path (any case, with or
// without a server part) into the SID the server reports; TXADGetNameFromSID
// turns it back into DOMAIN\name and a path naming the domain as server.
// Names outside ASCII travel in the calling thread's code set: Latin-1 bytes
// on a Latin-1 thread, UTF-8 on a UTF-8 thread (the seeded account jürgen).
#include <gtest/gtest.h>
#include <locale.h>

#include <array>
#include <cctype>
#include <thread>

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
  const std::pair<std::string, std::string> cases[] = {
      // DN, account
      {ou.add_user("Rita Round", account), "CORP\\" + account},
      {ou.add_group("Round Trippers", {}, account + "g"), "CORP\\" + account + "g"},
      {ou.add_computer("RTPC", {}, account + "c"), "CORP\\" + recase(account, std::toupper) + "C$"},
      {seeded("CN=Administrators,CN=Builtin"), "BUILTIN\\Administrators"},
      {seeded("CN=Domain Users,CN=Users"), "CORP\\Domain Users"},
  };
  for (const auto& [dn, name] : cases) {
    SCOPED_TRACE(dn);
    const std::string sid = txads_test::sid_of(dn);
    for (const std::string& form :
         {dn, "LDAP://" + dn, recase(dn), "ldap://dc1.corp.example.com:389/" + recase(dn)}) {
      GuardedBuffer text(100);
      EXPECT_EQ(TXADGetSIDFromName(form.c_str(), text.data(), text.length()), 1) << form;
      EXPECT_EQ(text.text(), sid) << form;
    }
    GuardedBuffer account_text(260), path(260);
    EXPECT_EQ(TXADGetNameFromSID(sid.c_str(), account_text.data(), 260, path.data(), 260), 1);
    EXPECT_EQ(account_text.text(), name);
    EXPECT_EQ(path.text(), "LDAP://corp.example.com/" + dn);
  }
}

TEST(Translation, SidsWithoutAnAccountOrPathLeaveTheirBuffers) {
  const std::string ann_dn = seeded("CN=Ann Archer,OU=Dev,OU=Staff");
  const std::string users = txads_test::sid_of(seeded("CN=Domain Users,CN=Users"));
  const std::string domain = users.substr(0, users.rfind('-'));
  const struct {
    std::string sid;
    int name_length, expected;
    std::string name, path;  // "#" = left as passed
  } cases[] = {
      {"S-1-1-0", 100, 1, "\\Everyone", "#"},  // no domain, and no such account in the directory
      {txads_test::sid_of(ann_dn), 6, 1, "CORP\\a", "LDAP://corp.example.com/" + ann_dn},
      {domain + "-999999", 100, 0, "#", "#"},
      {"S-1-5-21-1-2-3-1104", 100, 0, "#", "#"},
      {users + "x", 100, 0, "#", "#"},
      {"CORP\\ann", 100, 0, "#", "#"},
      {"", 100, 0, "#", "#"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sid);
    GuardedBuffer name(c.name_length), path(260);
    EXPECT_EQ(TXADGetNameFromSID(c.sid.c_str(), name.data(), c.name_length, path.data(), 260),
              c.expected);
    EXPECT_EQ(name.untouched() ? "#" : name.text(), c.name);
    EXPECT_EQ(path.untouched() ? "#" : path.text(), c.path);
  }
  for (const std::string& dn :
       {std::string("CORP\\ann"), std::string("ann"), std::string("LDAP://CN="), std::string(),
        seeded("OU=Staff"), seeded("CN=Nobody,OU=Staff")}) {
    GuardedBuffer text(100);
    EXPECT_EQ(TXADGetSIDFromName(dn.c_str(), text.data(), text.length()), 0) << dn;
    EXPECT_TRUE(text.untouched()) << dn;
  }
}

TEST(NonAsciiNames, TravelInTheCodeSetOfTheCallingThread) {
  const std::string base = txads_test::base_dn();
  const std::string sid =
      txads_test::sid_of("CN=J\xc3\xbcrgen M\xc3\xbcller,OU=Dev,OU=Staff," + base);
  // The locale; "Jürgen Müller" and "jürgen" in its code set.
  const std::array<const char*, 3> cases[] = {
      {"de_DE.ISO-8859-1", "J\xfcrgen M\xfcller", "j\xfcrgen"},
      {"C.UTF-8", "J\xc3\xbcrgen M\xc3\xbcller", "j\xc3\xbcrgen"},
  };
  for (const auto& [locale_name, cn, account] : cases) {
    SCOPED_TRACE(locale_name);
    locale_t locale = newlocale(LC_ALL_MASK, locale_name, nullptr);
    ASSERT_NE(locale, nullptr) << "no locale: localedef -i de_DE -f ISO-8859-1 de_DE";
    const std::string dn = "CN=" + std::string(cn) + ",OU=Dev,OU=Staff," + base;
    char text[100] = {}, name[260] = {}, path[260] = {};
    std::thread([&] {
      uselocale(locale);
      EXPECT_EQ(TXADGetSIDFromName(("LDAP://" + dn).c_str(), text, 99), 1);
      EXPECT_EQ(TXADGetNameFromSID(sid.c_str(), name, 259, path, 259), 1);
      uselocale(LC_GLOBAL_LOCALE);
    }).join();
    freelocale(locale);
    EXPECT_EQ(std::string(text), sid);
    EXPECT_EQ(std::string(name), "CORP\\" + std::string(account));
    EXPECT_EQ(std::string(path), "LDAP://corp.example.com/" + dn);
  }
}

}  // namespace
