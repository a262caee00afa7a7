// ConvertStringSidToSidA refuses every text that is not exactly one SID with
// ERROR_INVALID_SID and leaves the caller's pointer alone.
#include <gtest/gtest.h>

#include <string>

#include "frame/last_error.h"
#include "frame/win32_errors.h"
#include "platform/sid_api.h"

namespace txads {
namespace {

const char* const kNotSids[] = {
    "",
    "S",
    "S-",
    "S-1",
    "S-1-",
    "S-1-5-",
    "S-1-5--21",
    "-S-1-5",
    "X-1-5-21",
    "S-2-5-21",   // revision other than 1
    "S-01-5-21",  // revision spelled differently
    "S-1-5-21-x",
    "S-1-5-21-1-2-3-500garbage",
    "S-1-5-21-1-2-3-500 ",
    " S-1-5-21-1-2-3-500",
    "S-1-5-21-1-2-3-500\n",
    "S-1-+5-21",
    "S-1-5--1",
    "S-1-5-21-4294967296",  // sub-authority over 32 bits
    "S-1-5-21-99999999999999999999999",
    "S-1-4294967296-1",       // decimal authority of 2^32 or more
    "S-1-0x1000000000000-1",  // authority over 48 bits
    "S-1-0x-1",
    "S-1-0xG1-1",
    "S-1-5-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15-16",  // 16 sub-authorities
    "DOMAIN\\user",
    "CN=Ann,DC=corp",
};

TEST(SidTextThatIsNotASid, IsRefusedWithInvalidSid) {
  for (const char* text : kNotSids) {
    SCOPED_TRACE(std::string("'") + text + "'");
    PSID sid = reinterpret_cast<PSID>(0x1234);
    SetLastError(0);
    EXPECT_FALSE(ConvertStringSidToSidA(text, &sid));
    EXPECT_EQ(GetLastError(), win32::ERROR_INVALID_SID);
    EXPECT_EQ(sid, reinterpret_cast<PSID>(0x1234));
  }
}

TEST(SidTextThatIsNotASid, ThousandCharacterTextIsRefused) {
  const std::string digits = "S-1-5-21-" + std::string(991, '7');
  const std::string parts = [] {
    std::string t = "S-1-5";
    while (t.size() < 1000) t += "-1";
    return t;
  }();
  for (const std::string& text : {digits, parts}) {
    PSID sid = nullptr;
    SetLastError(0);
    EXPECT_FALSE(ConvertStringSidToSidA(text.c_str(), &sid));
    EXPECT_EQ(GetLastError(), win32::ERROR_INVALID_SID);
    EXPECT_EQ(sid, nullptr);
  }
}

TEST(SidTextThatIsNotASid, MissingArgumentsAreInvalidParameters) {
  PSID sid = nullptr;
  SetLastError(0);
  EXPECT_FALSE(ConvertStringSidToSidA(nullptr, &sid));
  EXPECT_EQ(GetLastError(), win32::ERROR_INVALID_PARAMETER);
  SetLastError(0);
  EXPECT_FALSE(ConvertStringSidToSidA("S-1-1-0", nullptr));
  EXPECT_EQ(GetLastError(), win32::ERROR_INVALID_PARAMETER);
}

TEST(SidTextThatIsNotASid, FifteenSubAuthoritiesAreStillASid) {
  PSID sid = nullptr;
  ASSERT_TRUE(ConvertStringSidToSidA("S-1-5-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15", &sid));
  EXPECT_EQ(GetLengthSid(sid), 68u);
  LocalFree(sid);
}

}  // namespace
}  // namespace txads
