// Each built library exports exactly the functions its header declares, under the SONAME
// of the project's major version (read with binutils). The txads command prints the
// result and each buffer, exits with the result modulo 256 (64 for a wrong command line),
// passes the buffer lengths given; --recurse sets the flag first. No directory calls.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/trace_capture.h"

namespace {

TEST(Libraries, ExportTheFunctionsTheirHeadersDeclareUnderTheirSoname) {
  const struct {
    std::string library, header, soname;
  } rows[] = {{TXADS_LIBRARY, TXADS_HEADER, "libtxads.so." SOVERSION},
              {ZKTRACE_LIBRARY, ZKTRACE_HEADER, "libzktrace.so." SOVERSION}};
  for (const auto& row : rows) {
    std::ifstream header(row.header);
    const std::string text{std::istreambuf_iterator<char>(header), {}};
    const std::regex declaration(R"(\n\w+_API\s+[\w\s\*]*?\b(\w+)\s*\()");  // not the #define
    std::set<std::string> declared, exported;
    for (std::sregex_iterator it(text.begin(), text.end(), declaration), end; it != end; ++it)
      declared.insert((*it)[1]);
    std::istringstream nm(txads_test::run_tool({"nm", "-D", "--defined-only", row.library}).out);
    for (std::string address, type, name; nm >> address >> type >> name;)  // no version nodes
      if (type != "A")
        exported.insert((type == "T" ? "" : type + " ") + name.substr(0, name.find('@')));
    EXPECT_EQ(exported, declared) << row.library;
    const std::string dynamic = txads_test::run_tool({"objdump", "-p", row.library}).out;
    EXPECT_TRUE(std::regex_search(dynamic, std::regex(R"(SONAME\s+)" + row.soname + "\n")))
        << row.soname + " in:\n" + dynamic;
  }
}

TEST(TxadsCommand, PrintsTheResultAndExitsWithItOr64ForAWrongCommandLine) {
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string out = {};                 // checked unless empty
    std::vector<std::string> trace = {};  // the messages traced, checked unless empty
  } rows[] = {                            // clang-format off
      {{"init", "0"}, 1, "result: 1\n"},
      {{"set-recurs-flag", "5"}, 0, "result: 0\n"},
      {{"--recurse", "init", "0"}, 1, "result: 1\n", {"run function 'TXADSetRecursFlag'."}},
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
    txads_test::TraceCapture capture;  // the command traces to this process's file
    const auto result = txads_test::run_tool(argv);
    EXPECT_EQ(result.status, row.status) << txads_test::command_line(argv) << "\n" << result.err;
    EXPECT_TRUE(row.out.empty() || result.out == row.out) << result.out;
    EXPECT_TRUE(row.trace.empty() || capture.messages() == row.trace);
    EXPECT_TRUE(row.status != 64 || result.err.find("txads") != std::string::npos) << "says why";
  }
}

}  // namespace
