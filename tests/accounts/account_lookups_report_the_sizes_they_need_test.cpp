// The account lookups on the local system (the directory behind it): a buffer
// too small fails with ERROR_INSUFFICIENT_BUFFER, writes nothing and reports
// every size needed, and the retry with those sizes fills them exactly; the
// translations' grow-and-retry depends on it. Unknown names are not mapped.
#include <gtest/gtest.h>

#include "frame/last_error.h"
#include "frame/win32_errors.h"
#include "platform/account_lookup.h"
#include "platform/sid_api.h"
#include "support/domain.h"
#include "support/guarded_buffer.h"

namespace txads {
namespace {

using txads_test::GuardedBuffer;
using txads_test::seeded;
using txads_test::sid_of;

TEST(AccountLookup, ReportsTheSizesItNeedsAndWritesOnlyWhenTheyFit) {
  const struct {
    const char* name;
    std::string sid;                  // "" = not mapped
    DWORD sid_size, domain_size;      // passed in
    DWORD sid_needed, domain_needed;  // reported
    std::string domain;
  } cases[] = {
      {"CORP\\ann", sid_of(seeded("CN=Ann Archer,OU=Dev,OU=Staff")), 16, 260, 28, 5, "CORP"},
      {"PC042$", sid_of(seeded("CN=PC042,OU=Lab,OU=Site")), 0, 0, 28, 5, "CORP"},
      {"Everyone", "S-1-1-0", 0, 0, 12, 1, ""},
      {"CORP\\Administrators", "S-1-5-32-544", 15, 8, 16, 8, "BUILTIN"},
      {"CORP\\PC042", "", 68, 40, 0, 0, ""},  // a station without its dollar
      {"NOWHERE\\ann", "", 68, 40, 0, 0, ""},
      {"CORP\\ann*", "", 68, 40, 0, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    GuardedBuffer sid(static_cast<int>(c.sid_size)), domain(static_cast<int>(c.domain_size));
    DWORD sid_size = c.sid_size, domain_size = c.domain_size;
    SetLastError(0);
    EXPECT_FALSE(LookupAccountNameA(nullptr, c.name, sid.data(), &sid_size, domain.data(),
                                    &domain_size, nullptr));
    EXPECT_TRUE(sid.untouched() && domain.untouched());
    EXPECT_EQ(GetLastError(),
              c.sid.empty() ? win32::ERROR_NONE_MAPPED : win32::ERROR_INSUFFICIENT_BUFFER);
    if (c.sid.empty()) continue;
    EXPECT_EQ(std::pair(sid_size, domain_size), std::pair(c.sid_needed, c.domain_needed));
    GuardedBuffer exact_sid(static_cast<int>(sid_size)), exact(static_cast<int>(domain_size));
    ASSERT_TRUE(LookupAccountNameA(nullptr, c.name, exact_sid.data(), &sid_size, exact.data(),
                                   &domain_size, nullptr));
    char* text = nullptr;
    ASSERT_TRUE(ConvertSidToStringSidA(exact_sid.data(), &text));
    EXPECT_EQ(std::string(text), c.sid);
    LocalFree(text);
    EXPECT_EQ(exact.raw(), c.domain + '\0');
    EXPECT_EQ(domain_size, c.domain_needed - 1);
  }
}

}  // namespace
}  // namespace txads
