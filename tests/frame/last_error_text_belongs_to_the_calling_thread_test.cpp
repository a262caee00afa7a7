// GetLastErrorText gives the system text of the calling thread's last error;
// another thread's last error never shows through.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "frame/error_text.h"
#include "frame/last_error.h"
#include "frame/system_messages.h"
#include "frame/win32_errors.h"

namespace txads {
namespace {

TEST(LastErrorText, IsTheSystemTextOfTheLastError) {
  SetLastError(win32::ERROR_NONE_MAPPED);
  EXPECT_EQ(GetLastErrorText(), system_message(1332));
  EXPECT_NE(GetLastErrorText(), "");
  SetLastError(win32::ERROR_ACCESS_DENIED);
  EXPECT_EQ(GetLastErrorText(), system_message(5));
}

TEST(LastErrorText, IsEmptyForNoErrorOrACodeWithoutText) {
  SetLastError(0);
  EXPECT_EQ(GetLastErrorText(), "");
  SetLastError(0xFFFF);
  EXPECT_EQ(GetLastErrorText(), "");
}

TEST(LastErrorText, IsKeptPerThread) {
  SetLastError(win32::ERROR_ACCESS_DENIED);
  uint32_t seen_by_other = 12345;
  std::string text_of_other = "unset";
  std::thread other([&] {
    seen_by_other = GetLastError();
    text_of_other = GetLastErrorText();
    SetLastError(win32::ERROR_INVALID_SID);
  });
  other.join();
  EXPECT_EQ(seen_by_other, 0u);
  EXPECT_EQ(text_of_other, "");
  EXPECT_EQ(GetLastError(), win32::ERROR_ACCESS_DENIED);
}

}  // namespace
}  // namespace txads
