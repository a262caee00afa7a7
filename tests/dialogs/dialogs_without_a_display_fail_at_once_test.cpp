// Without a reachable X display no dialog can be shown: the browser returns
// -1, the picker -1 with the error text of "no display"; neither waits. This
// runs the real helper program.
#include <gtest/gtest.h>

#include <chrono>

#include "dialog_test_support.h"
#include "dialogs/helper_process.h"
#include "frame/error_text.h"
#include "frame/status.h"
#include "txads.h"

namespace txads::testing {
namespace {

using std::chrono::steady_clock;

TEST(NoDisplay, BothDialogsFailAtOnce) {
  char expected[200] = {};
  GetADSErrorText(kNoDisplay, {expected, static_cast<int>(sizeof expected)});
  ASSERT_NE(expected[0], '\0') << "no readable text for the missing display";

  // The helper is the one the test environment names (this build's).
  // Unset, empty, and a display number no server listens on.
  for (const std::optional<std::string>& display :
       {std::optional<std::string>(), std::optional<std::string>(""),
        std::optional<std::string>(":1987")}) {
    SCOPED_TRACE(display.value_or("(unset)"));
    ScopedEnv env("DISPLAY", display);
    const auto start = steady_clock::now();
    GuardedBuffer path(40);
    EXPECT_EQ(TXADGetContainer("c", "t", path.data(), path.length()), -1);
    EXPECT_EQ(path.raw(), std::string(40, '#'));

    GuardedBuffer list(40);
    GuardedBuffer error(200);
    EXPECT_EQ(TXADGetGroups(list.data(), list.length(), error.data(), error.length()), -1);
    EXPECT_EQ(list.raw(), std::string(40, '#'));
    EXPECT_STREQ(error.text().c_str(), expected);
    EXPECT_TRUE(error.guard_intact());
    EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_TRUE(child_processes().empty());
  }
}

TEST(HelperProgram, WithoutTheSettingIsTheInstalledOne) {
  ScopedEnv real_helper(dialogs::kHelperOverride, std::nullopt);
  std::string program;
  (void)dialogs::find_helper(program);
  EXPECT_EQ(program, std::string(TXADS_HELPER_DIR) + "/txads-dialog");
}

}  // namespace
}  // namespace txads::testing
