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

// Runs `work` on a thread of its own in the first locale of `names` whose
// code set is `code_set`; false when there is none.
template <class Work>
bool in_locale(const char* code_set, std::initializer_list<const char*> names, Work work) {
  for (const char* name : names) {
    locale_t locale = newlocale(LC_ALL_MASK, name, nullptr);
    if (locale == nullptr) continue;
    std::thread thread([&] {
      uselocale(locale);
      if (std::string(nl_langinfo(CODESET)) == code_set) work(), code_set = nullptr;
      uselocale(LC_GLOBAL_LOCALE);
    });
    thread.join();
    freelocale(locale);
    if (code_set == nullptr) return true;
  }
  return false;
}

TEST(NonAsciiNames, TravelInTheCodeSetOfTheCallingThread) {
  const std::string base = txads_test::base_dn();
  const std::string sid =
      txads_test::sid_of(txads_test::seeded("CN=J\xc3\xbcrgen M\xc3\xbcller,OU=Dev,OU=Staff"));
  const struct {
    const char* code_set;
    std::initializer_list<const char*> locales;
    const char* cn;  // "Jürgen Müller"
    const char* lower_cn;
    const char* account;  // "jürgen"
  } cases[] = {
      {"ISO-8859-1",
       {"de_DE.ISO-8859-1", "en_US.ISO-8859-1", "de_DE"},
       "J\xfcrgen M\xfcller",
       "j\xfcrgen m\xfcller",
       "j\xfcrgen"},
      {"UTF-8",
       {"C.UTF-8"},
       "J\xc3\xbcrgen M\xc3\xbcller",
       "j\xc3\xbcrgen m\xc3\xbcller",
       "j\xc3\xbcrgen"},
  };
  for (const auto& c : cases) {
    const std::string dn = "CN=" + std::string(c.cn) + ",OU=Dev,OU=Staff," + base;
    const std::string lower_path =
        "ldap://cn=" + std::string(c.lower_cn) + ",ou=dev,ou=staff," + base;
    char text[100] = {}, lower_text[100] = {}, account[260] = {}, path[260] = {};
    ASSERT_TRUE(in_locale(c.code_set, c.locales,
                          [&] {
                            EXPECT_EQ(TXADGetSIDFromName(("LDAP://" + dn).c_str(), text, 99), 1);
                            EXPECT_EQ(TXADGetSIDFromName(lower_path.c_str(), lower_text, 99), 1);
                            EXPECT_EQ(TXADGetNameFromSID(sid.c_str(), account, 259, path, 259), 1);
                          }))
        << "no " << c.code_set << " locale: localedef -i de_DE -f ISO-8859-1 de_DE";
    EXPECT_EQ(std::string(text), sid) << c.code_set;
    EXPECT_EQ(std::string(lower_text), sid) << c.code_set;
    EXPECT_EQ(std::string(account), "CORP\\" + std::string(c.account));
    EXPECT_EQ(std::string(path), "LDAP://corp.example.com/" + dn);
  }
}

}  // namespace
