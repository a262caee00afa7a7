// The built libraries, read from disk: libtxads.so exports exactly the TXAD
// functions that include/txads.h declares, libzktrace.so exactly the two
// ZKTrace functions, and both carry a SONAME. The dynamic symbol table is
// read with nm -D and the SONAME with objdump -p (binutils).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string run(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char chunk[4096];
  size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
  ::pclose(pipe);
  return out;
}

struct Symbol {
  char type;
  std::string name;
  bool operator<(const Symbol& o) const { return name < o.name; }
};

// Defined dynamic symbols without version suffixes; version nodes (type A)
// are left out.
std::set<Symbol> defined_symbols(const char* library) {
  std::set<Symbol> symbols;
  std::istringstream lines(run(std::string("nm -D --defined-only '") + library + "'"));
  std::string address, type, name;
  while (lines >> address >> type >> name) {
    if (type == "A") continue;
    symbols.insert({type[0], name.substr(0, name.find('@'))});
  }
  return symbols;
}

std::set<std::string> declared_functions(const char* header, const char* api_macro) {
  std::ifstream in(header);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A declaration starts a line with the macro (its #define does not).
  const std::regex declaration("(?:^|\n)" + std::string(api_macro) +
                               R"(\s+[\w\s\*]*?\b(\w+)\s*\()");
  std::set<std::string> names;
  for (std::sregex_iterator it(text.begin(), text.end(), declaration), end; it != end; ++it) {
    names.insert((*it)[1]);
  }
  return names;
}

std::string list(const std::set<std::string>& names) {
  std::string out;
  for (const auto& n : names) out += "\n  " + n;
  return out;
}

std::set<std::string> names_of(const std::set<Symbol>& symbols) {
  std::set<std::string> names;
  for (const auto& s : symbols) names.insert(s.name);
  return names;
}

std::set<std::string> minus(const std::set<std::string>& a, const std::set<std::string>& b) {
  std::set<std::string> out;
  for (const auto& n : a)
    if (!b.count(n)) out.insert(n);
  return out;
}

TEST(TxadsLibrary, ExportsOnlyTXADFunctions) {
  const auto symbols = defined_symbols(TXADS_LIBRARY);
  ASSERT_FALSE(symbols.empty()) << "could not read " << TXADS_LIBRARY;
  std::set<std::string> stray;
  for (const auto& s : symbols) {
    if (s.name.rfind("TXAD", 0) != 0 || s.type != 'T') stray.insert(s.type + (" " + s.name));
  }
  EXPECT_TRUE(stray.empty()) << "exported but not a TXAD function:" << list(stray);
}

TEST(TxadsLibrary, HeaderDeclaresAllThirtyExports) {
  EXPECT_EQ(declared_functions(TXADS_HEADER, "TXADS_API").size(), 30u)
      << list(declared_functions(TXADS_HEADER, "TXADS_API"));
}

TEST(TxadsLibrary, DefinesEveryDeclaredExport) {
  const auto missing = minus(declared_functions(TXADS_HEADER, "TXADS_API"),
                             names_of(defined_symbols(TXADS_LIBRARY)));
  EXPECT_TRUE(missing.empty()) << "declared in txads.h but not defined in libtxads.so:"
                               << list(missing);
}

TEST(TxadsLibrary, DeclaresEveryDefinedExport) {
  const auto undeclared = minus(names_of(defined_symbols(TXADS_LIBRARY)),
                                declared_functions(TXADS_HEADER, "TXADS_API"));
  EXPECT_TRUE(undeclared.empty()) << "exported by libtxads.so but not in txads.h:"
                                  << list(undeclared);
}

TEST(TxadsLibrary, CarriesItsSoname) {
  const std::string headers = run(std::string("objdump -p '") + TXADS_LIBRARY + "'");
  EXPECT_TRUE(std::regex_search(headers, std::regex(R"(SONAME\s+libtxads\.so\.0\n)"))) << headers;
}

TEST(ZktraceLibrary, ExportsExactlyItsTwoFunctions) {
  const auto symbols = defined_symbols(ZKTRACE_LIBRARY);
  ASSERT_FALSE(symbols.empty()) << "could not read " << ZKTRACE_LIBRARY;
  const std::set<std::string> expected = {"ZKTrace", "ZKTraceSetProduct"};
  EXPECT_EQ(names_of(symbols), expected) << "exported:" << list(names_of(symbols));
  EXPECT_EQ(declared_functions(ZKTRACE_HEADER, "ZKTRACE_API"), expected);
  for (const auto& s : symbols) EXPECT_EQ(s.type, 'T') << s.name;
}

TEST(ZktraceLibrary, CarriesItsSoname) {
  const std::string headers = run(std::string("objdump -p '") + ZKTRACE_LIBRARY + "'");
  EXPECT_TRUE(std::regex_search(headers, std::regex(R"(SONAME\s+libzktrace\.so\.0\n)"))) << headers;
}

}  // namespace
