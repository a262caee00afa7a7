// The txads command: help texts, usage errors (exit 64), the result code as
// the exit status, and the options that shape the call (--recurse,
// --buffer-size, --error-size). The command runs as a child process.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct Outcome {
  int exit_status = -1;
  std::string output;  // stdout and stderr together
};

Outcome txads(const std::string& arguments, const std::string& environment = "") {
  const std::string command =
      environment + " '" TXADS_COMMAND "' " + arguments + " 2>&1 </dev/null";
  Outcome outcome;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return outcome;
  char chunk[4096];
  size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) outcome.output.append(chunk, n);
  const int status = ::pclose(pipe);
  if (WIFEXITED(status)) outcome.exit_status = WEXITSTATUS(status);
  return outcome;
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(TxadsCommand, PrintsTheResultAndExitsWithIt) {
  const Outcome init = txads("init 0");
  EXPECT_EQ(init.output, "result: 1\n");
  EXPECT_EQ(init.exit_status, 1);

  const Outcome flag = txads("set-recurs-flag 5");
  EXPECT_EQ(flag.output, "result: 0\n");
  EXPECT_EQ(flag.exit_status, 0);
}

TEST(TxadsCommand, RefusesAWrongCommandLineWithExit64) {
  const char* wrong[] = {
      "",                                 // no command
      "no-such-command",                  // unknown command
      "init",                             // too few arguments
      "init 0 1",                         // too many
      "--bogus init 0",                   // unknown option
      "--buffer-size",                    // option without its value
      "--buffer-size x init 0",           // value that is no number
      "--error-size 99999999999 init 0",  // value out of range
      "init window",                      // WINDOW is no number
      "set-recurs-flag 1x",               // FLAG is no number
      "set-recurs-flag 99999999999",      // FLAG beyond an int
  };
  for (const char* arguments : wrong) {
    const Outcome outcome = txads(arguments);
    EXPECT_EQ(outcome.exit_status, 64) << "txads " << arguments << "\n" << outcome.output;
    EXPECT_TRUE(contains(outcome.output, "txads")) << "says what was wrong: " << arguments;
  }
}

TEST(TxadsCommand, HelpListsEveryCommandAndTheExitStatusRule) {
  const Outcome help = txads("--help");
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_TRUE(contains(help.output, "usage: txads"));
  EXPECT_TRUE(contains(help.output, "init"));
  EXPECT_TRUE(contains(help.output, "set-recurs-flag"));
  EXPECT_TRUE(contains(help.output, "64"));
}

TEST(TxadsCommand, CommandHelpNamesTheExportAndItsResults) {
  const Outcome help = txads("init --help");
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_TRUE(contains(help.output, "TXADInit"));
  EXPECT_TRUE(contains(help.output, "always 1"));
  const Outcome flag_help = txads("set-recurs-flag --help");
  EXPECT_EQ(flag_help.exit_status, 0);
  EXPECT_TRUE(contains(flag_help.output, "TXADSetRecursFlag"));
}

TEST(TxadsCommand, AcceptsBufferAndErrorSizesIncludingZeroAndNegative) {
  for (const char* options : {"--buffer-size 0", "--buffer-size -5", "--error-size 1",
                              "--error-size -1 --buffer-size 4096"}) {
    const Outcome outcome = txads(std::string(options) + " init 0");
    EXPECT_EQ(outcome.exit_status, 1) << options << "\n" << outcome.output;
  }
}

TEST(TxadsCommand, RecurseSetsTheFlagBeforeTheCall) {
  const std::string trace = "/tmp/txads_command_test." + std::to_string(::getpid()) + ".log";
  const Outcome outcome = txads("--recurse init 0", "ZKTRACE_FILE='" + trace + "'");
  std::ifstream in(trace);
  const std::string lines((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ::unlink(trace.c_str());
  EXPECT_EQ(outcome.exit_status, 1);
  EXPECT_TRUE(contains(lines, "| run function 'TXADSetRecursFlag'.\n")) << lines;
}

}  // namespace
