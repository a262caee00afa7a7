// SID text and the binary layout of objectSid convert into each other
// exactly (big-endian authority, little-endian sub-authorities); any other
// text is refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "frame/last_error.h"
#include "frame/win32_errors.h"
#include "platform/sid_api.h"

namespace txads {
namespace {

TEST(SidText, ReadsAsTheExactLayoutAndIsWrittenBackTheSame) {
  const struct {
    const char* text;
    const char* layout;
    const char* canonical;  // the text written back, when another spelling was read
  } cases[] = {
      {"S-1-1-0", "010100000000000100000000", nullptr},
      {"S-1-5", "0100000000000005", nullptr},
      {"s-1-5-32-544", "01020000000000052000000020020000", "S-1-5-32-544"},
      {"S-1-5-21-1004336348-1177238915-682003330-512",
       "010500000000000515000000dcf4dc3b833d2b46828ba62800020000", nullptr},
      {"S-1-4294967295-4294967295", "01010000ffffffffffffffff", nullptr},
      {"S-1-0x100000000-7", "010100010000000007000000", "S-1-0x000100000000-7"},
      {"S-1-5-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15",
       "010f00000000000501000000020000000300000004000000050000000600000007000000"
       "08000000090000000a0000000b0000000c0000000d0000000e0000000f000000",
       nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    PSID sid = nullptr;
    ASSERT_TRUE(ConvertStringSidToSidA(c.text, &sid));
    std::string layout(2 * GetLengthSid(sid), '\0');
    for (DWORD i = 0; i < GetLengthSid(sid); ++i)
      std::snprintf(&layout[2 * i], 3, "%02x", static_cast<const unsigned char*>(sid)[i]);
    EXPECT_EQ(layout, c.layout);
    char* text = nullptr;
    ASSERT_TRUE(ConvertSidToStringSidA(sid, &text));
    EXPECT_STREQ(text, c.canonical ? c.canonical : c.text);
    LocalFree(text);
    LocalFree(sid);
  }
}

TEST(SidText, ThatIsNotExactlyOneSidIsRefused) {
  for (const char* text :
       {"", "S-", "S-1-", "S-1-5-", "S-1-5--21", "X-1-5-21", "S-2-5-21", "S-1-5-21-x",
        "S-1-5-21-500 ", " S-1-5-21-500", "S-1-5-21-4294967296", "S-1-0x1000000000000-1",
        "S-1-5-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15-16", "CORP\\user"}) {
    SCOPED_TRACE("'" + std::string(text) + "'");
    PSID sid = reinterpret_cast<PSID>(0x1234);
    SetLastError(0);
    EXPECT_FALSE(ConvertStringSidToSidA(text, &sid));
    EXPECT_EQ(GetLastError(), win32::ERROR_INVALID_SID);
    EXPECT_EQ(sid, reinterpret_cast<PSID>(0x1234));
  }
}

}  // namespace
}  // namespace txads
