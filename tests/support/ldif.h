// LDIF as the directory's tools read and write it: building change records
// and reading search output.
//
// Values are written base64-encoded ("attr:: ..."), so that any name a test
// uses reaches the directory byte for byte. Pure functions, thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace txads_test {

// One "name:: base64" line, ending in a line break.
std::string ldif_line(std::string_view name, std::string_view value);

// The value of unicodePwd that sets `password`: the password in quotes,
// UTF-16LE encoded (the password is taken as UTF-8).
std::string unicode_pwd(std::string_view password);

// One entry of search output: its DN and its attributes in the order given.
struct LdifEntry {
  std::string dn;
  std::vector<std::pair<std::string, std::string>> attributes;
  // Values of `name`, compared without regard to case.
  std::vector<std::string> values(std::string_view name) const;
};

// Parses unwrapped LDIF from ldapsearch -LLL -o ldif-wrap=no; comments and search
// references are skipped. Throws std::invalid_argument on bad base64.
std::vector<LdifEntry> parse_ldif(std::string_view text);

}  // namespace txads_test
