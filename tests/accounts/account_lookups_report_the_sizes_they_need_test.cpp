// The account lookups on the local system (the directory behind it): every
// name form finds its account, and a buffer too small fails with
// ERROR_INSUFFICIENT_BUFFER, writes nothing and reports every size needed,
// so that the translations' grow-and-retry finds domain accounts.
#include <gtest/gtest.h>

#include <cstring>

#include "frame/last_error.h"
#include "frame/win32_errors.h"
#include "platform/account_lookup.h"
#include "platform/sid_api.h"
#include "support/domain.h"
#include "support/guarded_buffer.h"

namespace txads {
namespace {

const std::string kAnn = txads_test::seeded("CN=Ann Archer,OU=Dev,OU=Staff");

struct Case {
  const char* name;
  std::string sid;                  // "" = not mapped
  DWORD sid_size, domain_size;      // passed in
  DWORD sid_needed, domain_needed;  // reported when too small
  const char* domain;
};

TEST(AccountLookup, ReportsTheSizesItNeedsAndWritesOnlyWhenTheyFit) {
  const std::string users = txads_test::sid_of(txads_test::seeded("CN=Domain Users,CN=Users"));
  const std::string ann = txads_test::sid_of(kAnn);
  const Case cases[] = {
      {"CORP\\ann", ann, 16, 260, 28, 5, "CORP"},  // the translations' first call
      {"corp.example.com\\ANN", ann, 68, 4, 28, 5, "CORP"},
      {"PC042$", txads_test::sid_of(txads_test::seeded("CN=PC042,OU=Lab,OU=Site")), 0, 0, 28, 5,
       "CORP"},
      {"CORP\\Domain Users", users, 27, 5, 28, 5, "CORP"},
      {"Everyone", "S-1-1-0", 0, 0, 12, 1, ""},
      {"CORP\\Administrators", "S-1-5-32-544", 15, 8, 16, 8, "BUILTIN"},
      {"NT AUTHORITY\\SYSTEM", "S-1-5-18", 11, 13, 12, 13, "NT AUTHORITY"},
      {"CORP\\PC042", "", 68, 40, 0, 0, nullptr},  // a station without its dollar
      {"NOWHERE\\ann", "", 68, 40, 0, 0, nullptr},
      {"CORP\\ann*", "", 68, 40, 0, 0, nullptr},
  };
  for (const Case& c : cases) {
    txads_test::GuardedBuffer sid(static_cast<int>(c.sid_size)),
        domain(static_cast<int>(c.domain_size));
    DWORD sid_size = c.sid_size, domain_size = c.domain_size;
    SetLastError(0);
    EXPECT_FALSE(LookupAccountNameA(nullptr, c.name, sid.data(), &sid_size, domain.data(),
                                    &domain_size, nullptr))
        << c.name;
    EXPECT_TRUE(sid.untouched() && domain.untouched()) << c.name;
    if (c.sid.empty()) {
      EXPECT_EQ(GetLastError(), win32::ERROR_NONE_MAPPED) << c.name;
      continue;
    }
    EXPECT_EQ(GetLastError(), win32::ERROR_INSUFFICIENT_BUFFER) << c.name;
    EXPECT_EQ(sid_size, c.sid_needed) << c.name;
    EXPECT_EQ(domain_size, c.domain_needed) << c.name;
    // The retry with exactly the sizes reported succeeds and fills them.
    txads_test::GuardedBuffer exact_sid(static_cast<int>(sid_size)),
        exact_domain(static_cast<int>(domain_size));
    SID_NAME_USE use{};
    ASSERT_TRUE(LookupAccountNameA(nullptr, c.name, exact_sid.data(), &sid_size,
                                   exact_domain.data(), &domain_size, &use))
        << c.name;
    char* text = nullptr;
    ASSERT_TRUE(ConvertSidToStringSidA(exact_sid.data(), &text));
    EXPECT_EQ(std::string(text), c.sid) << c.name;
    LocalFree(text);
    EXPECT_EQ(exact_domain.raw(), std::string(c.domain) + '\0') << c.name;
    EXPECT_EQ(domain_size, c.domain_needed - 1) << c.name;
    EXPECT_TRUE(exact_sid.guards_intact() && exact_domain.guards_intact()) << c.name;
  }
}

TEST(AccountLookup, SidToNameReportsBothSizes) {
  const std::string ann = txads_test::sid_of(kAnn);
  PSID sid = nullptr;
  ASSERT_TRUE(ConvertStringSidToSidA(ann.c_str(), &sid));
  txads_test::GuardedBuffer name(3), domain(5);
  DWORD name_size = 3, domain_size = 5;
  SID_NAME_USE use{};
  SetLastError(0);
  EXPECT_FALSE(
      LookupAccountSidA(nullptr, sid, name.data(), &name_size, domain.data(), &domain_size, &use));
  EXPECT_EQ(GetLastError(), win32::ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(name_size, 4u);  // "ann" and its zero
  EXPECT_EQ(domain_size, 5u);
  EXPECT_TRUE(name.untouched() && domain.untouched());
  txads_test::GuardedBuffer exact(4);
  EXPECT_TRUE(
      LookupAccountSidA(nullptr, sid, exact.data(), &name_size, domain.data(), &domain_size, &use));
  EXPECT_EQ(exact.raw(), std::string("ann") + '\0');
  EXPECT_EQ(domain.raw(), std::string("CORP") + '\0');
  EXPECT_EQ(use, SidTypeUser);
  LocalFree(sid);
}

}  // namespace
}  // namespace txads
