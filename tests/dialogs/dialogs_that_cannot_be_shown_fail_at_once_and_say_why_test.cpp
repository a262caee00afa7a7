// With the real helper: a dialog that cannot be shown (no X display, or a
// directory the helper cannot read) is not waited for: the browser returns
// -1, the picker -1 with the text of the reason, and no helper is left. The
// failures are real ones: no display, no Kerberos ticket, nothing listening.
#include <gtest/gtest.h>

#include <chrono>

#include "dialog_session.h"
#include "support/guarded_buffer.h"
#include "txads.h"

namespace txads_test {
namespace {

TEST(DialogsThatCannotBeShown, FailAtOnceAndSayWhy) {
  ASSERT_NE(x_display(), "") << "Xvfb did not start";
  struct Row {
    const char* name;
    const char* variable;
    std::optional<std::string> value;
    const char* text;
  };
  const char* const no_display = "No display is available to show the window on.\n";
  const Row rows[] = {
      {"DISPLAY unset", "DISPLAY", std::nullopt, no_display},
      {"DISPLAY empty", "DISPLAY", "", no_display},
      {"no X server at DISPLAY", "DISPLAY", ":1987", no_display},
      {"no Kerberos ticket", "KRB5CCNAME", "FILE:/nonexistent/ccache",
       "There is no logon session for the caller: no Kerberos credential cache was found.\n"},
      {"no directory server listening", "LDAPURI", "ldap://127.0.0.1:9",
       "The directory server cannot be reached.\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScopedEnv broken(row.variable, row.value);
    const auto start = std::chrono::steady_clock::now();
    GuardedBuffer path(64);
    EXPECT_EQ(TXADGetContainer("c", "t", path.data(), path.length()), -1);
    EXPECT_TRUE(path.untouched());

    GuardedBuffer list(64);
    GuardedBuffer error(256);
    EXPECT_EQ(TXADGetGroups(list.data(), list.length(), error.data(), error.length()), -1);
    EXPECT_TRUE(list.untouched());
    EXPECT_EQ(error.text(), row.text);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(helper_processes(), std::vector<pid_t>{});
  }
}

}  // namespace
}  // namespace txads_test
