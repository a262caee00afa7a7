// The txads command prints the result and each buffer, exits with the result
// modulo 256 (64 for a wrong command line) and passes the buffer lengths it
// is given; --recurse sets the flag first. Calls that need no directory only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/process.h"
#include "support/trace_capture.h"

namespace {

TEST(TxadsCommand, PrintsTheResultAndExitsWithItOr64ForAWrongCommandLine) {
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string out = {};  // checked unless empty
  } rows[] = {             // clang-format off
      {{"init", "0"}, 1, "result: 1\n"},
      {{"set-recurs-flag", "5"}, 0, "result: 0\n"},
      {{"is-container-exist", "LDAP://"}, 253, "result: -3\nerror: \n"},
      {{"--error-size", "-1", "is-user-in-container", "CORP\\x", "LDAP://"}, 255,
       "result: -1\nerror: \n"},
      {{"--buffer-size", "0", "get-sid-from-name", ""}, 0, "result: 0\nsid: \n"},
      {{}, 64}, {{"no-such-command"}, 64}, {{"init"}, 64}, {{"init", "0", "1"}, 64},
      {{"--bogus", "init", "0"}, 64}, {{"--buffer-size"}, 64}, {{"init", "window"}, 64},
      {{"--buffer-size", "x", "init", "0"}, 64}, {{"--error-size", "99999999999", "init", "0"}, 64},
      {{"set-recurs-flag", "1x"}, 64}, {{"set-recurs-flag", "99999999999"}, 64}};
  // clang-format on
  for (const auto& row : rows) {
    std::vector<std::string> argv = row.arguments;
    argv.insert(argv.begin(), TXADS_COMMAND);
    const auto result = txads_test::run_tool(argv);
    EXPECT_EQ(result.status, row.status) << txads_test::command_line(argv) << "\n" << result.err;
    EXPECT_TRUE(row.out.empty() || result.out == row.out) << result.out;
    EXPECT_TRUE(row.status != 64 || result.err.find("txads") != std::string::npos) << "says why";
  }
}

TEST(TxadsCommand, RecurseSetsTheFlagBeforeTheCall) {
  txads_test::TraceCapture capture;  // the command traces to this process's file
  EXPECT_EQ(txads_test::run_tool({TXADS_COMMAND, "--recurse", "init", "0"}).status, 1);
  EXPECT_EQ(capture.messages(), std::vector<std::string>{"run function 'TXADSetRecursFlag'."});
}

}  // namespace
