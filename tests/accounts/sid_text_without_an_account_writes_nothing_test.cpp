// TXADGetNameFromSID gives 0 and leaves both buffers as passed for text that
// is not a SID and for a SID that names no account.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "scratch_accounts.h"
#include "txads.h"

namespace {

struct Case {
  const char* why;
  std::string text;
};

TEST(SidTextWithoutAnAccount, GivesZeroAndLeavesBothBuffers) {
  const std::string domain = scratch::domain_sid();
  std::string sixteen = "S-1-5";
  for (int i = 1; i <= 16; ++i) sixteen += "-" + std::to_string(i);
  const Case cases[] = {
      {"no account with that RID", domain + "-999999"},
      {"a domain that does not exist", "S-1-5-21-1-2-3-1104"},
      {"a well-known authority without accounts", "S-1-5-99"},
      {"trailing garbage", domain + "-513x"},
      {"trailing blank", domain + "-513 "},
      {"sixteen sub-authorities", sixteen},
      {"no sub-authority value", domain + "-"},
      {"sub-authority over 32 bits", domain + "-4294967296"},
      {"an account name", "CORP\\Administrator"},
      {"empty", ""},
      {"a thousand characters", "S-1-5-21-" + std::string(991, '1')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    char account[100], path[100];
    std::memset(account, '#', sizeof account);
    std::memset(path, '#', sizeof path);
    EXPECT_EQ(TXADGetNameFromSID(c.text.c_str(), account, 99, path, 99), 0);
    EXPECT_EQ(std::string(account, 100), std::string(100, '#'));
    EXPECT_EQ(std::string(path, 100), std::string(100, '#'));
  }
}

TEST(SidTextWithoutAnAccount, NullTextGivesZero) {
  char account[10], path[10];
  std::memset(account, '#', sizeof account);
  std::memset(path, '#', sizeof path);
  EXPECT_EQ(TXADGetNameFromSID(nullptr, account, 10, path, 10), 0);
  EXPECT_EQ(std::string(account, 10), std::string(10, '#'));
  EXPECT_EQ(std::string(path, 10), std::string(10, '#'));
}

TEST(SidTextWithoutAnAccount, NullOrZeroLengthBuffersOfAKnownSidAreNotWritten) {
  const std::string administrator = scratch::domain_sid() + "-500";
  char guard[10];
  std::memset(guard, '#', sizeof guard);
  EXPECT_EQ(TXADGetNameFromSID(administrator.c_str(), nullptr, 0, nullptr, 0), 1);
  EXPECT_EQ(TXADGetNameFromSID(administrator.c_str(), guard, 0, guard, -4), 1);
  EXPECT_EQ(std::string(guard, 10), std::string(10, '#'));
}

}  // namespace
