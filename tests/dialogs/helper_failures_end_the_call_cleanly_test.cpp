// Whatever goes wrong with the dialog helper, both exports come back at once
// with -1 (the group picker with the error text of the failure), write
// nothing into the caller's buffers beyond the error text, and leave no
// helper process behind. The helpers here are scripts that inject those
// failures; the real helper does none of this on purpose.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cctype>
#include <chrono>
#include <thread>

#include "dialog_test_support.h"
#include "dialogs/helper_process.h"
#include "fake_helpers.h"
#include "frame/error_text.h"
#include "frame/status.h"
#include "txads.h"

namespace txads::testing {
namespace {

using std::chrono::steady_clock;

std::string error_text_of(Status status) {
  char text[512] = {};
  GetADSErrorText(status, {text, static_cast<int>(sizeof text)});
  return text;
}

struct Failure {
  const char* name;
  std::string script;  // "" = no such file
  Status expected;
  bool executable = true;
};

std::vector<Failure> failures() {
  return {
      {"helper missing", "", kHelperMissing},
      {"helper not executable", answering(kCancelledReply), kHelperMissing, false},
      {"crash before reading", "kill -SEGV $$", kHelperAborted},
      {"crash after reading", kReadRequest + "\nkill -KILL $$", kHelperAborted},
      {"exit without a reply", kReadRequest + "\nexit 0", kHelperAborted},
      {"half a reply then exit", answering("TXADS-DIALOG 1\\noutcome chosen\\npath P\\n"),
       kHelperAborted},
      {"garbage, then hanging", answering("HELLO\\nend\\n") + "\nexec sleep 600", kBadMessage},
      {"a reply without end", kReadRequest + "\nexec yes junk >&3", kBadMessage},
      {"another protocol version", answering("TXADS-DIALOG 2\\noutcome chosen\\npath P\\nend\\n"),
       kVersionMismatch},
      {"the helper's own failure",
       answering("TXADS-DIALOG 1\\noutcome failed\\nstatus 0x8007203A\\ntext down\\nend\\n"),
       Status(0x8007203Au)},
      {"a child keeps the socket open after the helper died",
       kReadRequest + "\nsleep 5 &\nkill -KILL $$", kHelperAborted},
  };
}

void PrintTo(const Failure& failure, std::ostream* out) {
  *out << failure.name;
}

class HelperFailures : public ::testing::TestWithParam<Failure> {};

TEST_P(HelperFailures, EndTheCallWithMinusOneAndNoHelperLeft) {
  const Failure& f = GetParam();
  TempDir dir;
  std::string helper = dir.path() + "/absent-helper";
  if (!f.script.empty()) helper = write_script(dir, "helper", f.script);
  if (!f.executable) ::chmod(helper.c_str(), 0644);
  ScopedEnv use_helper(dialogs::kHelperOverride, helper);
  ScopedEnv display("DISPLAY", ":77");

  {
    GuardedBuffer path(64);
    const auto start = steady_clock::now();
    EXPECT_EQ(TXADGetContainer("Caption", "Title", path.data(), path.length()), -1);
    EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(6));
    EXPECT_EQ(path.raw(), std::string(64, '#'));
    EXPECT_TRUE(path.guard_intact());
    EXPECT_TRUE(child_processes().empty());
  }
  {
    GuardedBuffer list(64);
    GuardedBuffer error(200);
    const auto start = steady_clock::now();
    EXPECT_EQ(TXADGetGroups(list.data(), list.length(), error.data(), error.length()), -1);
    EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(6));
    EXPECT_EQ(list.raw(), std::string(64, '#'));
    EXPECT_EQ(error.text(), error_text_of(f.expected));
    EXPECT_FALSE(error.text().empty())
        << "no readable text for 0x" << std::hex << f.expected.bits();
    EXPECT_TRUE(list.guard_intact());
    EXPECT_TRUE(error.guard_intact());
    EXPECT_TRUE(child_processes().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Injected, HelperFailures, ::testing::ValuesIn(failures()),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

// The helper answered (cancel) but does not exit: the call still returns and
// the helper is ended.
TEST(HelperThatHangsAfterItsReply, IsEndedAndTheAnswerStands) {
  TempDir dir;
  ScopedEnv use_helper(
      dialogs::kHelperOverride,
      write_script(dir, "helper", answering(kCancelledReply) + "\nexec sleep 600"));
  ScopedEnv display("DISPLAY", ":77");
  GuardedBuffer path(32);
  const auto start = steady_clock::now();
  EXPECT_EQ(TXADGetContainer(nullptr, nullptr, path.data(), path.length()), 2);
  EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(6));
  EXPECT_EQ(path.raw(), std::string(32, '#'));
  EXPECT_TRUE(child_processes().empty());
}

// Several dialogs at once from several threads each get their own helper.
TEST(HelpersOfSeveralThreads, DoNotMixTheirAnswers) {
  TempDir dir;
  // Each helper answers with the caption it was given.
  const std::string echo_caption =
      "while IFS= read -r l <&3; do case \"$l\" in caption\\ *) c=${l#caption };; end) break;; "
      "esac; done\nprintf 'TXADS-DIALOG 1\\noutcome chosen\\npath LDAP://%s\\nend\\n' \"$c\" >&3";
  ScopedEnv use_helper(dialogs::kHelperOverride, write_script(dir, "helper", echo_caption));
  ScopedEnv display("DISPLAY", ":77");
  std::vector<std::thread> threads;
  std::vector<std::string> results(8);
  for (size_t i = 0; i < results.size(); ++i) {
    threads.emplace_back([i, &results] {
      char path[64] = {};
      const std::string caption = "CN=T" + std::to_string(i);
      if (TXADGetContainer(caption.c_str(), nullptr, path, sizeof path) == 0) results[i] = path;
    });
  }
  for (auto& t : threads) t.join();
  for (size_t i = 0; i < results.size(); ++i) {
    EXPECT_EQ(results[i], "LDAP://CN=T" + std::to_string(i));
  }
  EXPECT_TRUE(child_processes().empty());
}

}  // namespace
}  // namespace txads::testing
