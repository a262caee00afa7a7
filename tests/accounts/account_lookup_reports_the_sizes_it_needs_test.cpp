// LookupAccountNameA and LookupAccountSidA on the local system: the accepted
// name forms, and the buffer protocol (too small: ERROR_INSUFFICIENT_BUFFER
// with every size needed reported and nothing written; unknown:
// ERROR_NONE_MAPPED).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/last_error.h"
#include "frame/win32_errors.h"
#include "platform/account_lookup.h"
#include "platform/sid.h"
#include "scratch_accounts.h"

namespace txads {
namespace {

class AccountLookup : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ou = new scratch::ScratchOu("lookup");
    user_sid = scratch::sid_of(ou->add_user("Lou Lookup", "llookup"));
    computer_sid = scratch::sid_of(ou->add_computer("LOOKPC1"));
    group_sid = scratch::sid_of(ou->add_group("Lookers", "Lookers"));
  }
  static void TearDownTestSuite() {
    delete ou;
    ou = nullptr;
  }
  static inline scratch::ScratchOu* ou = nullptr;
  static inline std::string user_sid, computer_sid, group_sid;
};

struct NameCase {
  const char* name;
  std::string sid;  // expected SID text
  const char* domain;
  SID_NAME_USE use;
};

// One lookup with ample buffers; "" when it fails.
std::string sid_of_name(const char* name, std::string* domain = nullptr,
                        SID_NAME_USE* use = nullptr) {
  unsigned char sid[80];
  char domain_name[100];
  DWORD sid_size = sizeof sid, domain_size = sizeof domain_name;
  SID_NAME_USE u{};
  if (!LookupAccountNameA(nullptr, name, sid, &sid_size, domain_name, &domain_size, &u)) return "";
  if (domain) *domain = domain_name;
  if (use) *use = u;
  return Sid::from_memory(sid)->to_string();
}

TEST_F(AccountLookup, EveryNameFormFindsItsAccount) {
  const std::string domain = scratch::domain_sid();
  const NameCase cases[] = {
      {"CORP\\llookup", user_sid, "CORP", SidTypeUser},
      {"corp\\LLOOKUP", user_sid, "CORP", SidTypeUser},
      {"corp.example.com\\llookup", user_sid, "CORP", SidTypeUser},
      {"llookup", user_sid, "CORP", SidTypeUser},
      {"CORP\\LOOKPC1$", computer_sid, "CORP", SidTypeComputer},
      {"lookpc1$", computer_sid, "CORP", SidTypeComputer},
      {"CORP\\Lookers", group_sid, "CORP", SidTypeGroup},
      {"CORP\\Domain Users", domain + "-513", "CORP", SidTypeGroup},
      {"CORP", domain, "CORP", SidTypeDomain},
      {"Everyone", "S-1-1-0", "", SidTypeWellKnownGroup},
      {"\\Everyone", "S-1-1-0", "", SidTypeWellKnownGroup},
      {"NT AUTHORITY\\SYSTEM", "S-1-5-18", "NT AUTHORITY", SidTypeWellKnownGroup},
      {"nt authority\\authenticated users", "S-1-5-11", "NT AUTHORITY", SidTypeWellKnownGroup},
      {"BUILTIN\\Administrators", "S-1-5-32-544", "BUILTIN", SidTypeAlias},
      {"Users", "S-1-5-32-545", "BUILTIN", SidTypeAlias},
      // The translation names built-in groups in the domain; their SIDs say BUILTIN.
      {"CORP\\Administrators", "S-1-5-32-544", "BUILTIN", SidTypeAlias},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string found_domain;
    SID_NAME_USE use{};
    const std::string sid = sid_of_name(c.name, &found_domain, &use);
    EXPECT_EQ(sid, c.sid);
    if (c.sid.empty()) continue;
    EXPECT_EQ(found_domain, c.domain);
    EXPECT_EQ(use, c.use);
  }
}

struct SizeCase {
  const char* why;
  const char* name;
  bool null_buffers;
  DWORD sid_size, domain_size;      // passed in
  DWORD sid_needed, domain_needed;  // reported
};

TEST_F(AccountLookup, SmallBuffersFailWithTheSizesNeededThenTheRetrySucceeds) {
  const SizeCase cases[] = {
      {"SID buffer for two sub-authorities", "CORP\\llookup", false, 16, 20, 28, 5},
      {"domain buffer one short", "llookup", false, 68, 4, 28, 5},
      {"size query with null buffers", "NT AUTHORITY\\SYSTEM", true, 0, 0, 12, 13},
  };
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(c.why);
    unsigned char sid[80];
    char domain[40];
    std::memset(sid, '#', sizeof sid);
    std::memset(domain, '#', sizeof domain);
    DWORD sid_size = c.sid_size, domain_size = c.domain_size;
    SetLastError(0);
    EXPECT_FALSE(LookupAccountNameA(nullptr, c.name, c.null_buffers ? nullptr : sid, &sid_size,
                                    c.null_buffers ? nullptr : domain, &domain_size, nullptr));
    EXPECT_EQ(GetLastError(), win32::ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(sid_size, c.sid_needed);
    EXPECT_EQ(domain_size, c.domain_needed);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(sid), 80), std::string(80, '#'));
    EXPECT_EQ(std::string(domain, 40), std::string(40, '#'));

    // The retry with exactly the sizes reported writes no byte more.
    ASSERT_TRUE(LookupAccountNameA(nullptr, c.name, sid, &sid_size, domain, &domain_size, nullptr));
    EXPECT_EQ(sid_of_name(c.name), Sid::from_memory(sid)->to_string());
    EXPECT_EQ(sid_size, c.sid_needed);
    EXPECT_EQ(domain_size, c.domain_needed - 1);
    EXPECT_EQ(domain[c.domain_needed - 1], '\0');
    EXPECT_EQ(sid[c.sid_needed], '#');
    EXPECT_EQ(domain[c.domain_needed], '#');
  }
}

TEST_F(AccountLookup, SidToNameReportsBothSizes) {
  PSID sid = nullptr;
  Sid parsed = *Sid::parse(user_sid);
  std::string bytes = parsed.to_bytes();
  sid = bytes.data();
  char name[20], domain[20];
  std::memset(name, '#', sizeof name);
  std::memset(domain, '#', sizeof domain);
  DWORD name_size = 7, domain_size = 20;
  SID_NAME_USE use{};
  SetLastError(0);
  EXPECT_FALSE(LookupAccountSidA(nullptr, sid, name, &name_size, domain, &domain_size, &use));
  EXPECT_EQ(GetLastError(), win32::ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(name_size, 8u);  // "llookup" and its zero
  EXPECT_EQ(domain_size, 5u);
  EXPECT_EQ(std::string(name, 20), std::string(20, '#'));
  EXPECT_EQ(std::string(domain, 20), std::string(20, '#'));

  ASSERT_TRUE(LookupAccountSidA(nullptr, sid, name, &name_size, domain, &domain_size, &use));
  EXPECT_STREQ(name, "llookup");
  EXPECT_STREQ(domain, "CORP");
  EXPECT_EQ(name_size, 7u);
  EXPECT_EQ(domain_size, 4u);
  EXPECT_EQ(use, SidTypeUser);
  EXPECT_EQ(name[9], '#');
}

struct Unmapped {
  const char* why;
  std::string name;
};

TEST_F(AccountLookup, UnknownNamesAreNotMapped) {
  const Unmapped cases[] = {
      {"no such user", "CORP\\nobody-here"},
      {"no such bare name", "nobody-here"},
      {"no such domain", "NOWHERE\\llookup"},
      {"NT AUTHORITY has no such name", "NT AUTHORITY\\llookup"},
      {"no domain-less account of that name", "\\llookup"},
      {"a computer without its dollar", "CORP\\LOOKPC1"},
      {"a station name with two dollars", "LOOKPC1$$"},
      {"BUILTIN holds no domain users", "BUILTIN\\llookup"},
      {"empty", ""},
      {"domain only", "CORP\\"},
      {"filter syntax is escaped", "*"},
      {"filter syntax in a domain name", "CORP\\ll*)(cn=*"},
      {"a thousand characters", std::string(1000, 'n')},
      {"a thousand-character domain", std::string(1000, 'd') + "\\llookup"},
  };
  for (const Unmapped& c : cases) {
    SCOPED_TRACE(c.why);
    unsigned char sid[68];
    char domain[40];
    DWORD sid_size = sizeof sid, domain_size = sizeof domain;
    SetLastError(0);
    EXPECT_FALSE(
        LookupAccountNameA(nullptr, c.name.c_str(), sid, &sid_size, domain, &domain_size, nullptr));
    EXPECT_EQ(GetLastError(), win32::ERROR_NONE_MAPPED);
  }
}

TEST_F(AccountLookup, UnknownSidsAreNotMapped) {
  const std::string domain = scratch::domain_sid();
  for (const std::string& text : {domain + "-999999", std::string("S-1-5-21-1-2-3-500"),
                                  std::string("S-1-5-32-999"), std::string("S-1-16-12288")}) {
    SCOPED_TRACE(text);
    const std::string bytes = Sid::parse(text)->to_bytes();
    char name[40], domain_name[40];
    DWORD name_size = sizeof name, domain_size = sizeof domain_name;
    SetLastError(0);
    EXPECT_FALSE(LookupAccountSidA(nullptr, const_cast<char*>(bytes.data()), name, &name_size,
                                   domain_name, &domain_size, nullptr));
    EXPECT_EQ(GetLastError(), win32::ERROR_NONE_MAPPED);
  }
}

TEST_F(AccountLookup, BadArgumentsAreRefused) {
  unsigned char sid[68];
  char text[40];
  DWORD size = sizeof sid, text_size = sizeof text;
  SetLastError(0);
  EXPECT_FALSE(LookupAccountNameA(nullptr, nullptr, sid, &size, text, &text_size, nullptr));
  EXPECT_EQ(GetLastError(), win32::ERROR_INVALID_PARAMETER);
  SetLastError(0);
  EXPECT_FALSE(LookupAccountNameA(nullptr, "Everyone", sid, nullptr, text, &text_size, nullptr));
  EXPECT_EQ(GetLastError(), win32::ERROR_INVALID_PARAMETER);
  SetLastError(0);
  EXPECT_FALSE(
      LookupAccountNameA("\\\\elsewhere", "Everyone", sid, &size, text, &text_size, nullptr));
  EXPECT_EQ(GetLastError(), win32::ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(LookupAccountNameA("", "Everyone", sid, &size, text, &text_size, nullptr));

  SetLastError(0);
  EXPECT_FALSE(LookupAccountSidA(nullptr, nullptr, text, &text_size, text, &text_size, nullptr));
  EXPECT_EQ(GetLastError(), win32::ERROR_INVALID_PARAMETER);
  unsigned char not_a_sid[16] = {3, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 33, 2, 0, 0};
  SetLastError(0);
  EXPECT_FALSE(LookupAccountSidA(nullptr, not_a_sid, text, &text_size, text, &text_size, nullptr));
  EXPECT_EQ(GetLastError(), win32::ERROR_INVALID_SID);
}

}  // namespace
}  // namespace txads
