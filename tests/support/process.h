// Running the directory's own command-line tools from tests.
//
// run_tool starts a program with its arguments (no shell), feeds it `input` on
// standard input and collects its standard output and error whole. Files stand
// in for pipes, so a chatty tool can never dead-lock the test. Thread-safe: no
// shared state.
#pragma once

#include <string>
#include <vector>

namespace txads_test {

struct ToolResult {
  int status = -1;  // exit status; 128 + signal when killed; -1 when it never ran
  std::string out;
  std::string err;
  bool ok() const { return status == 0; }
};

// `env` entries ("NAME=value") replace or add to the test's own environment.
ToolResult run_tool(const std::vector<std::string>& argv, const std::string& input = {},
                    const std::vector<std::string>& env = {});

// "prog arg1 'arg 2'": a readable command line for failure messages.
std::string command_line(const std::vector<std::string>& argv);

}  // namespace txads_test
