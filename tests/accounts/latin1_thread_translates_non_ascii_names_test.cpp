// Names with letters outside ASCII are read and written in the calling
// thread's code set: a thread in a Latin-1 locale passes and receives
// Latin-1 bytes, a UTF-8 thread UTF-8 bytes, for the same account.
#include <gtest/gtest.h>

#include <langinfo.h>
#include <locale.h>

#include <cstring>
#include <string>
#include <thread>

#include "platform/account_lookup.h"
#include "platform/sid.h"
#include "scratch_accounts.h"
#include "txads.h"

namespace txads {
namespace {

// "Jörg Ärger" and "jörgä" in both code sets.
constexpr char kCnUtf8[] = "J\xc3\xb6rg \xc3\x84rger";
constexpr char kAccountUtf8[] = "j\xc3\xb6rg\xc3\xa4";
constexpr char kCnLatin1[] = "J\xf6rg \xc4rger";
constexpr char kCnLatin1Lower[] = "j\xf6rg \xe4rger";
constexpr char kAccountLatin1[] = "j\xf6rg\xe4";

locale_t latin1_locale() {
  for (const char* name : {"de_DE.ISO-8859-1", "en_US.ISO-8859-1", "de_DE", "en_US"}) {
    locale_t locale = newlocale(LC_ALL_MASK, name, nullptr);
    if (locale == nullptr) continue;
    locale_t previous = uselocale(locale);
    const std::string code_set = nl_langinfo(CODESET);
    uselocale(previous);
    if (code_set == "ISO-8859-1") return locale;
    freelocale(locale);
  }
  return nullptr;
}

// Runs `work` on a new thread whose locale is `locale`.
template <class Work>
void on_thread_with_locale(locale_t locale, Work work) {
  std::thread thread([&] {
    uselocale(locale);
    work();
    uselocale(LC_GLOBAL_LOCALE);
  });
  thread.join();
}

class NonAsciiNames : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ou = new scratch::ScratchOu("latin1");
    user = ou->add_user(kCnUtf8, kAccountUtf8);
    sid = scratch::sid_of(user);
  }
  static void TearDownTestSuite() {
    delete ou;
    ou = nullptr;
  }
  void SetUp() override {
    locale = latin1_locale();
    ASSERT_NE(locale, nullptr)
        << "generate a Latin-1 locale: localedef -i de_DE -f ISO-8859-1 de_DE";
  }
  void TearDown() override {
    if (locale) freelocale(locale);
  }
  static inline scratch::ScratchOu* ou = nullptr;
  static inline std::string user, sid;
  locale_t locale = nullptr;
};

TEST_F(NonAsciiNames, Latin1ThreadGetsTheSidFromALatin1Dn) {
  const std::string path = "LDAP://CN=" + std::string(kCnLatin1) + "," + ou->dn();
  const std::string lower_path = "ldap://cn=" + std::string(kCnLatin1Lower) + "," + ou->dn();
  std::string got, got_lower;
  int result = -1, result_lower = -1;
  on_thread_with_locale(locale, [&] {
    char text[100] = {};
    result = TXADGetSIDFromName(path.c_str(), text, 99);
    got = text;
    char lower_text[100] = {};
    result_lower = TXADGetSIDFromName(lower_path.c_str(), lower_text, 99);
    got_lower = lower_text;
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(got, sid);
  EXPECT_EQ(result_lower, 1);
  EXPECT_EQ(got_lower, sid);
}

TEST_F(NonAsciiNames, Latin1ThreadGetsLatin1NameAndPath) {
  char account[260] = {}, path[260] = {};
  int result = -1;
  on_thread_with_locale(locale,
                        [&] { result = TXADGetNameFromSID(sid.c_str(), account, 259, path, 259); });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(std::string(account), std::string("CORP\\") + kAccountLatin1);
  EXPECT_EQ(std::string(path),
            "LDAP://corp.example.com/CN=" + std::string(kCnLatin1) + "," + ou->dn());
}

TEST_F(NonAsciiNames, Latin1ThreadLooksUpTheLatin1AccountName) {
  std::string found;
  on_thread_with_locale(locale, [&] {
    unsigned char bytes[68];
    char domain[40];
    DWORD size = sizeof bytes, domain_size = sizeof domain;
    const std::string name = std::string("CORP\\") + kAccountLatin1;
    if (LookupAccountNameA(nullptr, name.c_str(), bytes, &size, domain, &domain_size, nullptr))
      found = Sid::from_memory(bytes)->to_string();
  });
  EXPECT_EQ(found, sid);
}

TEST_F(NonAsciiNames, Utf8ThreadUsesUtf8Bytes) {
  locale_t utf8 = newlocale(LC_ALL_MASK, "C.UTF-8", nullptr);
  ASSERT_NE(utf8, nullptr);
  std::string got, account_text;
  int latin1_bytes_result = -1;
  on_thread_with_locale(utf8, [&] {
    char text[100] = {};
    TXADGetSIDFromName(("LDAP://" + user).c_str(), text, 99);
    got = text;
    char account[260] = {}, path[260] = {};
    TXADGetNameFromSID(sid.c_str(), account, 259, path, 259);
    account_text = account;
    // Latin-1 bytes are no UTF-8 text: nothing to translate.
    char other[100] = {};
    latin1_bytes_result = TXADGetSIDFromName(
        ("LDAP://CN=" + std::string(kCnLatin1) + "," + ou->dn()).c_str(), other, 99);
  });
  freelocale(utf8);
  EXPECT_EQ(got, sid);
  EXPECT_EQ(account_text, std::string("CORP\\") + kAccountUtf8);
  EXPECT_EQ(latin1_bytes_result, 0);
}

}  // namespace
}  // namespace txads
