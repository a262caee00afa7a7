// AllocateAndInitializeSid, GetSidLengthRequired and ConvertSidToStringSidA:
// sizes, refusals and the last error each sets.
#include <gtest/gtest.h>

#include <cstring>

#include "frame/last_error.h"
#include "frame/win32_errors.h"
#include "platform/sid_api.h"

namespace txads {
namespace {

TEST(SidFunctions, LengthRequiredIsEightPlusFourPerSubAuthority) {
  EXPECT_EQ(GetSidLengthRequired(0), 8u);
  EXPECT_EQ(GetSidLengthRequired(2), 16u);
  EXPECT_EQ(GetSidLengthRequired(5), 28u);
  EXPECT_EQ(GetSidLengthRequired(15), 68u);
}

TEST(SidFunctions, AllocatedReferenceSidOfTheBuiltinUsersGroup) {
  PSID sid = nullptr;
  ASSERT_TRUE(AllocateAndInitializeSid(&SECURITY_NT_AUTHORITY, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                       DOMAIN_GROUP_RID_USERS, 0, 0, 0, 0, 0, 0, &sid));
  EXPECT_EQ(GetLengthSid(sid), GetSidLengthRequired(2));
  char* text = nullptr;
  ASSERT_TRUE(ConvertSidToStringSidA(sid, &text));
  EXPECT_STREQ(text, "S-1-5-32-513");
  LocalFree(text);
  EXPECT_EQ(FreeSid(sid), nullptr);
}

TEST(SidFunctions, AllocationTakesOnlyTheSubAuthoritiesCounted) {
  PSID sid = nullptr;
  ASSERT_TRUE(AllocateAndInitializeSid(&SECURITY_WORLD_SID_AUTHORITY, 1, 0, 99, 99, 99, 99, 99, 99,
                                       99, &sid));
  char* text = nullptr;
  ASSERT_TRUE(ConvertSidToStringSidA(sid, &text));
  EXPECT_STREQ(text, "S-1-1-0");
  LocalFree(text);
  FreeSid(sid);
}

TEST(SidFunctions, AllocationRefusesMoreThanEightOrMissingArguments) {
  PSID sid = nullptr;
  SetLastError(0);
  EXPECT_FALSE(AllocateAndInitializeSid(&SECURITY_NT_AUTHORITY, 9, 1, 2, 3, 4, 5, 6, 7, 8, &sid));
  EXPECT_EQ(GetLastError(), win32::ERROR_INVALID_PARAMETER);
  EXPECT_EQ(sid, nullptr);
  SetLastError(0);
  EXPECT_FALSE(AllocateAndInitializeSid(nullptr, 1, 1, 0, 0, 0, 0, 0, 0, 0, &sid));
  EXPECT_EQ(GetLastError(), win32::ERROR_INVALID_PARAMETER);
  SetLastError(0);
  EXPECT_FALSE(
      AllocateAndInitializeSid(&SECURITY_NT_AUTHORITY, 1, 1, 0, 0, 0, 0, 0, 0, 0, nullptr));
  EXPECT_EQ(GetLastError(), win32::ERROR_INVALID_PARAMETER);
}

TEST(SidFunctions, TextOfBytesThatAreNotASidIsRefused) {
  unsigned char revision2[16] = {2, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 1, 2, 0, 0};
  unsigned char count16[8 + 4 * 16] = {1, 16, 0, 0, 0, 0, 0, 5};
  for (unsigned char* bytes : {revision2, count16}) {
    char* text = reinterpret_cast<char*>(0x1234);
    SetLastError(0);
    EXPECT_FALSE(ConvertSidToStringSidA(bytes, &text));
    EXPECT_EQ(GetLastError(), win32::ERROR_INVALID_SID);
    EXPECT_EQ(text, reinterpret_cast<char*>(0x1234));
    EXPECT_FALSE(IsValidSid(bytes));
    EXPECT_EQ(GetLengthSid(bytes), 0u);
  }
  char* text = nullptr;
  SetLastError(0);
  EXPECT_FALSE(ConvertSidToStringSidA(nullptr, &text));
  EXPECT_EQ(GetLastError(), win32::ERROR_INVALID_PARAMETER);
}

TEST(SidFunctions, SidIsReadNoFurtherThanItsCountAnnounces) {
  // A SID at the very end of an allocation: reading one byte more would be
  // caught by the address sanitizer.
  auto* bytes = new unsigned char[12]{1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};
  char* text = nullptr;
  ASSERT_TRUE(ConvertSidToStringSidA(bytes, &text));
  EXPECT_STREQ(text, "S-1-5-18");
  LocalFree(text);
  delete[] bytes;
}

}  // namespace
}  // namespace txads
