// Decided without a server: LDAP paths (provider exactly "LDAP://", optional
// server and port, "/" in a name written "\/"), caller text escaped into
// filter values, and LDAP results the test server cannot be made to return.
#include <gtest/gtest.h>
#include <ldap.h>

#include <string>

#include "directory/ldap_path.h"
#include "directory/search.h"
#include "directory/status_map.h"

namespace txads::directory {
namespace {

struct PathRow {
  std::string path, server, host;
  int port;
  std::string dn, domain;
};

TEST(Paths, SplitIntoServerPortAndNameOrAreBadPathnames) {
  constexpr uint32_t ok = 0, bad = 0x80005000;
  const PathRow rows[] = {
      {"LDAP://OU=Lab,DC=corp", "", "", 0, "OU=Lab,DC=corp", "corp"},
      {"LDAP://dc1:3268/CN=Ann,DC=corp", "dc1:3268", "dc1", 3268, "CN=Ann,DC=corp", "corp"},
      {"LDAP://[::1]:389/DC=corp", "[::1]:389", "::1", 389, "DC=corp", "corp"},
      {"LDAP://dc1/OU=A\\/B,DC=corp", "dc1", "dc1", 0, "OU=A/B,DC=corp", "corp"},
      {"LDAP://CN=Smith\\, John,DC=Corp,dc=Example", "", "", 0,
       "CN=Smith\\, John,DC=Corp,dc=Example", "corp.example"},
      {"LDAP://corp.example.com", "corp.example.com", "corp.example.com", 0, "", ""},
      {"LDAP://<GUID=0123456789abcdef>", "", "", 0, "<GUID=0123456789abcdef>", ""},
  };
  for (const PathRow& row : rows) {
    SCOPED_TRACE(row.path);
    LdapPath parsed;
    ASSERT_EQ(parse_path(row.path, parsed).bits(), ok);
    EXPECT_EQ(parsed.endpoint.server, row.server);
    EXPECT_EQ(parsed.endpoint.host, row.host);
    EXPECT_EQ(parsed.endpoint.port, row.port);
    EXPECT_EQ(parsed.dn, row.dn);
    EXPECT_EQ(parsed.endpoint.domain, row.domain);  // where DNS finds the controllers
  }
  // The provider name is exact; then servers, ports, escapes, empty names.
  const char* refused[] = {
      "ldap://OU=Lab,DC=corp",  "Ldap://OU=Lab,DC=corp",    "LDAP:///DC=corp",
      "GC://DC=corp",           "LDAP:/OU=Lab,DC=corp",     "",
      "LDAP://dc1:abc/DC=corp", "LDAP://dc1:65536/DC=corp", "LDAP://CN=A/B,DC=corp",
      "LDAP://CN=Ann\\",        "LDAP://CN=Ann,,DC=corp"};
  for (const char* path : refused) {
    LdapPath parsed;
    EXPECT_EQ(parse_path(path, parsed).bits(), bad) << path;
  }
  LdapPath parsed;
  EXPECT_EQ(parse_path("LDAP://" + std::string(10000, '\\'), parsed).bits(), bad);
  EXPECT_EQ(format_path("dc1:389", "OU=x/y,DC=corp"), "LDAP://dc1:389/OU=x\\/y,DC=corp");
}

TEST(FilterValues, EscapeEveryFilterCharacter) {
  const std::pair<std::string, std::string> rows[] = {
      {"*)(objectClass=*", "\\2a\\29\\28objectClass=\\2a"},
      {"CN=Smith\\, John", "CN=Smith\\5c, John"},
      {std::string("a\0b", 3), "a\\00b"},
      {"J\xC3\xBCrgen", "J\xC3\xBCrgen"},
  };
  for (const auto& [value, escaped] : rows) EXPECT_EQ(escape_filter_value(value), escaped);
}

TEST(LdapResults, BecomeThePlatformsCodes) {
  const std::pair<int, uint32_t> rows[] = {
      {LDAP_CONNECT_ERROR, 0x8007203A},  // any unreachable server is "server down"
      {LDAP_TIMEOUT, 0x800705B4},
      {LDAP_INVALID_CREDENTIALS, 0x8007052E},
      {LDAP_TYPE_OR_VALUE_EXISTS, 0x8007200D},
      {LDAP_NO_SUCH_ATTRIBUTE, 0x8007200A},
      {4711, 0x80072095},  // unknown codes are a generic directory error
  };
  for (const auto& [ldap, hresult] : rows)
    EXPECT_EQ(status_from_ldap(ldap).bits(), hresult) << ldap;
}

}  // namespace
}  // namespace txads::directory
