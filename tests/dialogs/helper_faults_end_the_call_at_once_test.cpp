// Whatever the helper program does wrong, both dialogs come back at once with
// -1 (the picker with the text of the fault), write nothing else, and leave
// no helper process behind. The helpers here are /bin/sh stand-ins, because
// the real helper cannot be made to crash, answer garbage or hang on purpose;
// one also answers with two chosen groups, which the real picker (one group
// per use) never does, to show how the picker joins several paths.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

#include "dialog_session.h"
#include "support/guarded_buffer.h"
#include "txads.h"

namespace txads_test {
namespace {

const std::string kReadRequest = "while IFS= read -r l <&3; do [ \"$l\" = end ] && break; done\n";

std::string answering(const std::string& reply) {
  return kReadRequest + "printf '" + reply + "' >&3\n";
}

std::string write_helper(const std::string& script) {
  static int count = 0;
  const std::string path = ::testing::TempDir() + "txads-helper-" + std::to_string(::getpid()) +
                           "-" + std::to_string(++count);
  if (script.empty()) return path;  // no such program
  std::ofstream(path) << "#!/bin/sh\n" << script;
  ::chmod(path.c_str(), 0755);
  return path;
}

struct Row {
  const char* name;
  std::string script;  // "": no helper program at all
  bool display;        // DISPLAY names a display
  int container;       // TXADGetContainer's result and path ("": untouched)
  std::string path;
  int groups;  // TXADGetGroups's result, list and error ("": untouched)
  std::string list;
  std::string error;
};

TEST(HelperFaults, EndTheCallAtOnceWithNoHelperLeft) {
  const std::string aborted = "The process ended unexpectedly before it had finished.\n";
  const std::string invalid = "The data given is not valid.\n";
  const std::string first = "LDAP://dc1/CN=G1,DC=x", second = "LDAP://dc1/CN=a;b,DC=x";
  const Row rows[] = {
      {"no helper program", "", true, -1, "", -1, "", "The file named could not be found.\n"},
      {"crashes after the request", kReadRequest + "kill -KILL $$", true, -1, "", -1, "", aborted},
      {"dies while its own child holds the socket", kReadRequest + "sleep 5 &\nkill -KILL $$", true,
       -1, "", -1, "", aborted},
      {"answers garbage, then hangs", answering("HELLO\\nend\\n") + "exec sleep 600", true, -1, "",
       -1, "", invalid},
      {"writes without end", kReadRequest + "exec yes junk >&3", true, -1, "", -1, "", invalid},
      {"speaks another protocol version",
       answering("TXADS-DIALOG 2\\noutcome chosen\\npath P\\nend\\n"), true, -1, "", -1, "",
       "Two parts of the program use revisions that do not match.\n"},
      {"reports its own failure",
       answering("TXADS-DIALOG 1\\noutcome failed\\nstatus 0x8007203A\\ntext down\\nend\\n"), true,
       -1, "", -1, "", "The directory server cannot be reached.\n"},
      {"cancels, then hangs",
       answering("TXADS-DIALOG 1\\noutcome cancelled\\nend\\n") + "exec sleep 600", true, 2, "", -1,
       "", ""},
      {"would hang, but there is no display", kReadRequest + "exec sleep 8", false, -1, "", -1, "",
       "No display is available to show the window on.\n"},
      {"answers two chosen paths",
       answering("TXADS-DIALOG 1\\noutcome chosen\\npath " + first + "\\npath " + second +
                 "\\nend\\n"),
       true, 0, first, 0, first + ";" + second, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScopedEnv helper("TXADS_DIALOG_HELPER", write_helper(row.script));
    ScopedEnv display("DISPLAY", row.display ? std::optional<std::string>(":77") : std::nullopt);
    auto start = std::chrono::steady_clock::now();
    GuardedBuffer path(64);
    EXPECT_EQ(TXADGetContainer("c", "t", path.data(), path.length()), row.container);
    EXPECT_EQ(path.text(), row.path.empty() ? std::string(64, '#') : row.path);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
    EXPECT_EQ(helper_processes(), std::vector<pid_t>{});

    start = std::chrono::steady_clock::now();
    GuardedBuffer list(64);
    GuardedBuffer error(128);
    EXPECT_EQ(TXADGetGroups(list.data(), list.length(), error.data(), error.length()), row.groups);
    EXPECT_EQ(list.text(), row.list.empty() ? std::string(64, '#') : row.list);
    EXPECT_EQ(error.text(), row.error.empty() ? std::string(128, '#') : row.error);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
    EXPECT_EQ(helper_processes(), std::vector<pid_t>{});
    EXPECT_TRUE(path.guards_intact() && list.guards_intact() && error.guards_intact());
  }
}

}  // namespace
}  // namespace txads_test
