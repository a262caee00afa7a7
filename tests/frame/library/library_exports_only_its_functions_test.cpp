// The built libraries, read with binutils: each exports exactly the functions
// its header declares and carries the SONAME of the project's major version.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "support/process.h"

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

}  // namespace
