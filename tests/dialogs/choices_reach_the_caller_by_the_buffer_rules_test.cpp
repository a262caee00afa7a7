// A choice comes back by the buffer rules: the container's path strncpy-style
// (cut without terminator when longer than the buffer), the groups' paths
// joined with ";" only when they fit (else -2 and nothing written); a cancel
// leaves every buffer as it was; the exit trace line prints the caller's
// buffer as it then stands. The helper here is a script that plays the
// operator's choice; several chosen paths can only come from such a stand-in,
// since the real picker offers single selection.
#include <gtest/gtest.h>

#include <locale.h>
#include <clocale>

#include "dialog_test_support.h"
#include "dialogs/helper_process.h"
#include "fake_helpers.h"
#include "txads.h"

namespace txads::testing {
namespace {

class Choice {
 public:
  explicit Choice(const std::string& reply)
      : helper_(dialogs::kHelperOverride, write_script(dir_, "helper", answering(reply))),
        display_("DISPLAY", ":77") {
    new_trace_messages();  // skip what earlier tests wrote
  }

 private:
  TempDir dir_;
  ScopedEnv helper_;
  ScopedEnv display_;
};

const std::string kPath = "LDAP://dc1.corp.example.com/OU=Lab,OU=Site,DC=corp,DC=example,DC=com";

TEST(ContainerChoice, FitsWithZeroPaddingOrIsCutWithoutTerminator) {
  Choice choice(chosen_reply("path " + kPath + "\\n"));
  const int n = static_cast<int>(kPath.size());
  struct Case {
    int length;
    std::string raw;
  };
  const Case cases[] = {
      {n + 4, kPath + std::string(4, '\0')},
      {n, kPath},
      {n - 1, kPath.substr(0, kPath.size() - 1)},
      {10, kPath.substr(0, 10)},
      {1, "L"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    GuardedBuffer path(c.length);
    EXPECT_EQ(TXADGetContainer("c", "t", path.data(), path.length()), 0);
    EXPECT_EQ(path.raw(), c.raw);
    EXPECT_TRUE(path.guard_intact());
    const auto trace = new_trace_messages();
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[0], "run function 'TXADGetContainer'.");
    EXPECT_EQ(trace[1], "'TXADGetContainer' returned '" + c.raw.substr(0, c.raw.find('\0')) + "'.");
  }
}

TEST(ContainerChoice, ZeroNegativeOrNullBufferTakesNothingAndStillSucceeds) {
  Choice choice(chosen_reply("path " + kPath + "\\n"));
  for (int length : {0, -1, -1000}) {
    SCOPED_TRACE(length);
    GuardedBuffer path(length);
    EXPECT_EQ(TXADGetContainer("c", "t", path.data(), length), 0);
    EXPECT_TRUE(path.guard_intact());
  }
  EXPECT_EQ(TXADGetContainer("c", "t", nullptr, 100), 0);
  const auto trace = new_trace_messages();
  ASSERT_FALSE(trace.empty());
  EXPECT_EQ(trace.back(), "'TXADGetContainer' returned ''.");
}

TEST(ContainerCancel, LeavesTheBufferAndTracesItsEarlierContents) {
  Choice choice(kCancelledReply);
  char path[16] = "earlier";
  EXPECT_EQ(TXADGetContainer("c", "t", path, sizeof path), 2);
  EXPECT_STREQ(path, "earlier");
  const auto trace = new_trace_messages();
  ASSERT_EQ(trace.size(), 2u);
  EXPECT_EQ(trace[1], "'TXADGetContainer' returned 'earlier'.");

  // An unterminated buffer is printed no further than its length.
  GuardedBuffer unterminated(5, 'x');
  EXPECT_EQ(TXADGetContainer("c", "t", unterminated.data(), unterminated.length()), 2);
  EXPECT_EQ(new_trace_messages().back(), "'TXADGetContainer' returned 'xxxxx'.");
}

TEST(GroupChoice, JoinsPathsWithSemicolonsInTheirOrder) {
  struct Case {
    const char* name;
    std::string reply_paths;
    std::string joined;
  };
  const Case cases[] = {
      {"one path, no separator", "path LDAP://dc1/CN=G1,DC=x\\n", "LDAP://dc1/CN=G1,DC=x"},
      {"two paths", "path LDAP://dc1/CN=G1,DC=x\\npath LDAP://dc1/CN=G2,DC=x\\n",
       "LDAP://dc1/CN=G1,DC=x;LDAP://dc1/CN=G2,DC=x"},
      {"nothing inside a path is escaped", "path LDAP://a/CN=x;y\\npath LDAP://b/CN=z\\n",
       "LDAP://a/CN=x;y;LDAP://b/CN=z"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Choice choice(chosen_reply(c.reply_paths));
    GuardedBuffer list(200);
    GuardedBuffer error(64);
    EXPECT_EQ(TXADGetGroups(list.data(), list.length(), error.data(), error.length()), 0);
    EXPECT_EQ(list.raw(), c.joined + std::string(200 - c.joined.size(), '\0'));
    EXPECT_EQ(error.raw(), std::string(64, '#'));
    const auto trace = new_trace_messages();
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[0], "run function 'TXADGetGroups'.");
    EXPECT_EQ(trace[1], "'TXADGetGroups' returned '" + c.joined + "'.");
  }
}

TEST(GroupChoice, MustFitTheBufferElseMinusTwoAndNothingWritten) {
  const std::string joined = "LDAP://dc1/CN=G1,DC=x;LDAP://dc1/CN=G2,DC=x";
  Choice choice(chosen_reply("path LDAP://dc1/CN=G1,DC=x\\npath LDAP://dc1/CN=G2,DC=x\\n"));
  const int n = static_cast<int>(joined.size());
  struct Case {
    int length;
    int result;
  };
  const Case cases[] = {{n + 1, 0}, {n, 0}, {n - 1, -2}, {1, -2}, {0, -2}, {-1, -2}, {-50, -2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    GuardedBuffer list(c.length);
    GuardedBuffer error(64);
    EXPECT_EQ(TXADGetGroups(list.data(), c.length, error.data(), error.length()), c.result);
    if (c.result == 0) {
      EXPECT_EQ(list.raw(), joined + std::string(static_cast<size_t>(c.length - n), '\0'));
    } else {
      EXPECT_EQ(list.raw(), std::string(static_cast<size_t>(std::max(c.length, 0)), '#'));
    }
    EXPECT_EQ(error.raw(), std::string(64, '#'));
    EXPECT_TRUE(list.guard_intact());
    EXPECT_TRUE(error.guard_intact());
    const auto trace = new_trace_messages();
    ASSERT_EQ(trace.size(), 2u);
    const std::string shown = c.result == 0 ? joined : std::string(std::max(c.length, 0), '#');
    EXPECT_EQ(trace[1], "'TXADGetGroups' returned '" + shown + "'.");
  }
}

TEST(GroupCancel, IsMinusOneWithBuffersUntouched) {
  Choice choice(kCancelledReply);
  GuardedBuffer list(40);
  GuardedBuffer error(40);
  EXPECT_EQ(TXADGetGroups(list.data(), list.length(), error.data(), error.length()), -1);
  EXPECT_EQ(list.raw(), std::string(40, '#'));
  EXPECT_EQ(error.raw(), std::string(40, '#'));
  EXPECT_EQ(new_trace_messages().back(),
            "'TXADGetGroups' returned '" + std::string(40, '#') + "'.");
}

TEST(GroupChoice, ThatNamesNoPathIsAFailureToReadTheChoice) {
  Choice choice(chosen_reply(""));
  GuardedBuffer list(40);
  GuardedBuffer error(80);
  EXPECT_EQ(TXADGetGroups(list.data(), list.length(), error.data(), error.length()), -1);
  EXPECT_EQ(list.raw(), std::string(40, '#'));
  EXPECT_EQ(error.text(), "The data given is not valid.\n");
  EXPECT_EQ(error.raw().find('#'), std::string::npos);  // zero-filled after the text
}

// Paths arrive as UTF-8 and reach the caller in its thread's code set.
TEST(Choice, ArrivesInTheCallersCodeSet) {
  locale_t latin1 = newlocale(LC_ALL_MASK, "de_DE.ISO-8859-1", nullptr);
  if (latin1 == nullptr) GTEST_SKIP() << "locale de_DE.ISO-8859-1 is not installed";
  Choice choice(chosen_reply("path LDAP://dc1/OU=B\xC3\xBCro,DC=x\\n"));
  const locale_t previous = uselocale(latin1);
  char path[64] = {};
  char list[64] = {};
  char error[64] = {};
  const int container = TXADGetContainer("c", "t", path, sizeof path);
  const int groups = TXADGetGroups(list, sizeof list, error, sizeof error);
  uselocale(previous);
  freelocale(latin1);
  EXPECT_EQ(container, 0);
  EXPECT_STREQ(path, "LDAP://dc1/OU=B\xFCro,DC=x");
  EXPECT_EQ(groups, 0);
  EXPECT_STREQ(list, "LDAP://dc1/OU=B\xFCro,DC=x");
}

}  // namespace
}  // namespace txads::testing
