// Names with letters outside ASCII are read and written in the calling
// thread's code set: a Latin-1 thread passes and receives Latin-1 bytes, a
// UTF-8 thread UTF-8 bytes, for the same seeded account jürgen.
#include <gtest/gtest.h>
#include <langinfo.h>
#include <locale.h>

#include <thread>

#include "support/domain.h"
#include "txads.h"

namespace {

TEST(NonAsciiNames, TravelInTheCodeSetOfTheCallingThread) {
  const std::string base = txads_test::base_dn();
  const std::string sid =
      txads_test::sid_of("CN=J\xc3\xbcrgen M\xc3\xbcller,OU=Dev,OU=Staff," + base);
  const struct {
    const char* locale;
    const char* cn;  // "Jürgen Müller"
    const char* lower_cn;
    const char* account;  // "jürgen"
  } cases[] = {
      {"de_DE.ISO-8859-1", "J\xfcrgen M\xfcller", "j\xfcrgen m\xfcller", "j\xfcrgen"},
      {"C.UTF-8", "J\xc3\xbcrgen M\xc3\xbcller", "j\xc3\xbcrgen m\xc3\xbcller", "j\xc3\xbcrgen"},
  };
  for (const auto& c : cases) {
    locale_t locale = newlocale(LC_ALL_MASK, c.locale, nullptr);
    ASSERT_NE(locale, nullptr) << "no " << c.locale << ": localedef -i de_DE -f ISO-8859-1 de_DE";
    const std::string dn = "CN=" + std::string(c.cn) + ",OU=Dev,OU=Staff," + base;
    const std::string lower = "ldap://cn=" + std::string(c.lower_cn) + ",ou=dev,ou=staff," + base;
    char text[100] = {}, lower_text[100] = {}, account[260] = {}, path[260] = {};
    std::thread([&] {
      uselocale(locale);
      EXPECT_EQ(TXADGetSIDFromName(("LDAP://" + dn).c_str(), text, 99), 1) << c.locale;
      EXPECT_EQ(TXADGetSIDFromName(lower.c_str(), lower_text, 99), 1) << c.locale;
      EXPECT_EQ(TXADGetNameFromSID(sid.c_str(), account, 259, path, 259), 1) << c.locale;
      uselocale(LC_GLOBAL_LOCALE);
    }).join();
    freelocale(locale);
    EXPECT_EQ(std::string(text), sid) << c.locale;
    EXPECT_EQ(std::string(lower_text), sid) << c.locale;
    EXPECT_EQ(std::string(account), "CORP\\" + std::string(c.account));
    EXPECT_EQ(std::string(path), "LDAP://corp.example.com/" + dn);
  }
}

}  // namespace
