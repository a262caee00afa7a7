// A dialog that cannot be shown or whose helper misbehaves ends the call at once: the browser
// returns -1, the picker -1 with the text of the reason; nothing else is written and no helper
// process is left. The first rows are real failures of the real helper (no display, no ticket, no
// server); the others run /bin/sh stand-ins, because the real helper cannot be made to crash,
// answer garbage or hang on purpose. The last stand-in answers with two groups, which the real
// picker (one group per use) never does, to show how the picker joins several paths.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <optional>

#include "dialog_session.h"
#include "support/guarded_buffer.h"
#include "txads.h"

namespace txads_test {
namespace {

const std::string kReadRequest = "while IFS= read -r l <&3; do [ \"$l\" = end ] && break; done\n";

std::string answering(const std::string& reply) {
  return kReadRequest + "printf 'TXADS-DIALOG " + reply + "\\nend\\n' >&3\n";
}

// A stand-in helper running `script` ("": no program at all).
std::string stand_in(const std::string& script) {
  static int count = 0;
  const std::string path = ::testing::TempDir() + "txads-helper-" + std::to_string(::getpid()) +
                           "-" + std::to_string(++count);
  if (!script.empty()) std::ofstream(path) << "#!/bin/sh\n" << script;
  ::chmod(path.c_str(), 0755);
  return path;
}

// The result of `call`, which must end within 6 s and leave no helper behind.
int at_once(const std::function<int()>& call) {
  const auto start = std::chrono::steady_clock::now();
  const int code = call();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
  EXPECT_EQ(helper_processes(), std::vector<pid_t>{});
  return code;
}

struct Row {
  const char* name;
  std::optional<std::string> script;  // nullopt: the real helper
  const char* variable;               // set to `value` for the row, or nullptr
  std::optional<std::string> value;
  std::string error;                 // TXADGetGroups's error ("": untouched)
  int container = -1, groups = -1;   // the results of TXADGetContainer and TXADGetGroups
  std::string path = "", list = "";  // the path and list they write ("": untouched)
};

TEST(DialogsThatFail, EndTheCallAtOnceAndSayWhy) {
  ASSERT_NE(x_display(), "") << "Xvfb did not start";
  const std::string no_display = "No display is available to show the window on.\n";
  const std::string aborted = "The process ended unexpectedly before it had finished.\n";
  const std::string invalid = "The data given is not valid.\n";
  const std::string server_down = "The directory server cannot be reached.\n";
  const std::string one = "LDAP://dc1/CN=G1,DC=x", two = "LDAP://dc1/CN=a;b,DC=x";
  const auto real = std::nullopt;
  // clang-format off
  const Row rows[] = {
    {"DISPLAY unset", real, "DISPLAY", std::nullopt, no_display},
    {"DISPLAY empty", real, "DISPLAY", "", no_display},
    {"no X server at DISPLAY", real, "DISPLAY", ":1987", no_display},
    {"no Kerberos ticket", real, "KRB5CCNAME", "FILE:/nonexistent", "There is no logon session for the caller: no Kerberos credential cache was found.\n"},
    {"no directory server", real, "LDAPURI", "ldap://127.0.0.1:9", server_down},
    {"no helper program", "", nullptr, {}, "The file named could not be found.\n"},
    {"crashes after the request", kReadRequest + "kill -KILL $$", nullptr, {}, aborted},
    {"dies while its child holds the socket", kReadRequest + "sleep 5 &\nkill -KILL $$", nullptr, {}, aborted},
    {"answers garbage, then hangs", kReadRequest + "printf 'HELLO\\nend\\n' >&3\nexec sleep 600", nullptr, {}, invalid},
    {"writes without end", kReadRequest + "exec yes junk >&3", nullptr, {}, invalid},
    {"speaks another protocol version", answering("2\\noutcome chosen\\npath P"), nullptr, {}, "Two parts of the program use revisions that do not match.\n"},
    {"reports its own failure", answering("1\\noutcome failed\\nstatus 0x8007203A"), nullptr, {}, server_down},
    {"cancels, then hangs", answering("1\\noutcome cancelled") + "exec sleep 600", nullptr, {}, "", 2},
    {"would hang, but there is no display", kReadRequest + "exec sleep 8", "DISPLAY", std::nullopt, no_display},
    {"answers two paths", answering("1\\noutcome chosen\\npath " + one + "\\npath " + two), nullptr, {}, "", 0, 0, one, one + ";" + two},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::optional<ScopedEnv> helper, env;
    if (row.script) helper.emplace("TXADS_DIALOG_HELPER", stand_in(*row.script));
    if (row.variable) env.emplace(row.variable, row.value);
    GuardedBuffer path(64), list(64), error(128);
    EXPECT_EQ(at_once([&] { return TXADGetContainer("c", "t", path.data(), 64); }), row.container);
    EXPECT_EQ(at_once([&] { return TXADGetGroups(list.data(), 64, error.data(), 128); }),
              row.groups);
    EXPECT_EQ(path.untouched() ? "" : path.text(), row.path);
    EXPECT_EQ(list.untouched() ? "" : list.text(), row.list);
    EXPECT_EQ(error.untouched() ? "" : error.text(), row.error);
    EXPECT_TRUE(path.guards_intact() && list.guards_intact() && error.guards_intact());
  }
}

}  // namespace
}  // namespace txads_test
