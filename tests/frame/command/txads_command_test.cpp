// The txads command prints the result and each buffer, exits with the result
// modulo 256 (64 for a wrong command line), passes the buffer lengths it is
// given, and --recurse sets the flag before the call. Only calls that need no
// directory run here.
#include <gtest/gtest.h>

#include <string>

#include "support/process.h"
#include "support/trace_capture.h"

namespace {

txads_test::ToolResult txads(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), TXADS_COMMAND);
  return txads_test::run_tool(arguments);
}

TEST(TxadsCommand, PrintsTheResultAndExitsWithIt) {
  const struct {
    std::vector<std::string> arguments;
    std::string out;
    int status;
  } rows[] = {{{"init", "0"}, "result: 1\n", 1},
              {{"set-recurs-flag", "5"}, "result: 0\n", 0},
              {{"is-container-exist", "LDAP://"}, "result: -3\nerror: \n", 253},
              {{"--error-size", "-1", "is-user-in-container", "CORP\\x", "LDAP://"},
               "result: -1\nerror: \n",
               255},
              {{"--buffer-size", "0", "get-sid-from-name", ""}, "result: 0\nsid: \n", 0}};
  for (const auto& row : rows) {
    const auto result = txads(row.arguments);
    EXPECT_EQ(result.out, row.out) << txads_test::command_line(row.arguments) << result.err;
    EXPECT_EQ(result.status, row.status) << txads_test::command_line(row.arguments);
  }
}

TEST(TxadsCommand, RefusesAWrongCommandLineWithExit64) {
  // clang-format off
  const std::vector<std::string> wrong[] = {
      {}, {"no-such-command"}, {"init"}, {"init", "0", "1"}, {"--bogus", "init", "0"},
      {"--buffer-size"}, {"--buffer-size", "x", "init", "0"}, {"init", "window"},
      {"--error-size", "99999999999", "init", "0"}, {"set-recurs-flag", "1x"},
      {"set-recurs-flag", "99999999999"}};
  // clang-format on
  for (const auto& arguments : wrong) {
    const auto result = txads(arguments);
    EXPECT_EQ(result.status, 64) << txads_test::command_line(arguments);
    EXPECT_NE((result.out + result.err).find("txads"), std::string::npos)
        << "says what was wrong: " << txads_test::command_line(arguments);
  }
}

TEST(TxadsCommand, RecurseSetsTheFlagBeforeTheCall) {
  txads_test::TraceCapture capture;  // the command traces to this process's file
  EXPECT_EQ(txads({"--recurse", "init", "0"}).status, 1);
  const auto messages = capture.messages();
  EXPECT_EQ(messages, std::vector<std::string>{"run function 'TXADSetRecursFlag'."});
}

}  // namespace
