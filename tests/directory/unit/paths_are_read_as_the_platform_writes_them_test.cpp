// LDAP paths: which are accepted, how they split into server, port and
// distinguished name, and how paths are written back.
#include <gtest/gtest.h>

#include <string>

#include "directory/ldap_path.h"

namespace txads::directory {
namespace {

struct Accepted {
  const char* path;
  const char* server;
  const char* host;
  int port;
  const char* dn;
};

TEST(PathsAreRead, AcceptedPathsSplitIntoServerPortAndName) {
  const Accepted cases[] = {
      {"LDAP://OU=Lab,DC=corp,DC=example,DC=com", "", "", 0, "OU=Lab,DC=corp,DC=example,DC=com"},
      {"LDAP://dc1.corp.example.com/CN=Ann,DC=corp", "dc1.corp.example.com", "dc1.corp.example.com",
       0, "CN=Ann,DC=corp"},
      {"LDAP://dc1:3268/CN=Ann,DC=corp", "dc1:3268", "dc1", 3268, "CN=Ann,DC=corp"},
      {"LDAP://[::1]:389/CN=Ann,DC=corp", "[::1]:389", "::1", 389, "CN=Ann,DC=corp"},
      {"LDAP://127.0.0.1/DC=corp", "127.0.0.1", "127.0.0.1", 0, "DC=corp"},
      {"LDAP://OU=A\\/B,DC=corp", "", "", 0, "OU=A/B,DC=corp"},
      {"LDAP://dc1/OU=A\\/B,DC=corp", "dc1", "dc1", 0, "OU=A/B,DC=corp"},
      {"LDAP://CN=Smith\\, John,DC=corp", "", "", 0, "CN=Smith\\, John,DC=corp"},
      {"LDAP://corp.example.com", "corp.example.com", "corp.example.com", 0, ""},
      {"LDAP://dc1/", "dc1", "dc1", 0, ""},
      {"LDAP://", "", "", 0, ""},
      {"LDAP://<GUID=0123456789abcdef>", "", "", 0, "<GUID=0123456789abcdef>"},
  };
  for (const Accepted& c : cases) {
    SCOPED_TRACE(c.path);
    LdapPath parsed;
    ASSERT_EQ(parse_path(c.path, parsed), kOk);
    EXPECT_EQ(parsed.server, c.server);
    EXPECT_EQ(parsed.host, c.host);
    EXPECT_EQ(parsed.port, c.port);
    EXPECT_EQ(parsed.dn, c.dn);
  }
}

TEST(PathsAreRead, AnythingButTheLdapProviderIsABadPathname) {
  const std::string refused[] = {
      "",
      "ldap://OU=Lab,DC=corp",
      "Ldap://OU=Lab,DC=corp",
      "LDAPS://OU=Lab,DC=corp",
      "GC://OU=Lab,DC=corp",
      "WinNT://CORP/ann",
      "LDAP:OU=Lab,DC=corp",
      "LDAP:/OU=Lab,DC=corp",
      " LDAP://OU=Lab,DC=corp",
      "OU=Lab,DC=corp",
  };
  for (const std::string& path : refused) {
    SCOPED_TRACE(path);
    LdapPath parsed;
    EXPECT_EQ(parse_path(path, parsed), kBadPathname);
  }
}

TEST(PathsAreRead, MalformedServersAndNamesAreBadPathnames) {
  const std::string refused[] = {
      "LDAP://dc1:abc/DC=corp",        // port not a number
      "LDAP://dc1:/DC=corp",           // empty port
      "LDAP://dc1:0/DC=corp",          // port out of range
      "LDAP://dc1:65536/DC=corp",      // port out of range
      "LDAP://dc1:123456789/DC=corp",  // port out of range
      "LDAP:///DC=corp",               // empty server
      "LDAP://dc 1/DC=corp",           // space in the host name
      "LDAP://[::1/DC=corp",           // unclosed bracket
      "LDAP://CN=A/B,DC=corp",         // unescaped slash inside the name
      "LDAP://CN=Ann\\",               // dangling escape
      "LDAP://CN=Ann\\4,DC=corp",      // half a hex escape
      "LDAP://CN=Ann,,DC=corp",        // empty RDN
      "LDAP://=Ann,DC=corp",           // no attribute type
  };
  for (const std::string& path : refused) {
    SCOPED_TRACE(path);
    LdapPath parsed;
    EXPECT_EQ(parse_path(path, parsed), kBadPathname);
  }
}

TEST(PathsAreRead, AVeryLongPathIsAnsweredNotHung) {
  const std::string long_dn = "LDAP://CN=" + std::string(10000, 'a') + ",DC=corp";
  LdapPath parsed;
  EXPECT_EQ(parse_path(long_dn, parsed), kOk);
  EXPECT_EQ(parsed.dn.size(), 10000u + 11u);

  const std::string long_garbage = "LDAP://" + std::string(10000, '\\');
  EXPECT_EQ(parse_path(long_garbage, parsed), kBadPathname);
  const std::string long_server = "LDAP://" + std::string(10000, 'h') + ":x/DC=corp";
  EXPECT_EQ(parse_path(long_server, parsed), kBadPathname);
}

TEST(PathsAreWritten, SlashesInNamesAreEscapedAndTheServerKept) {
  EXPECT_EQ(format_path("", "OU=A/B,DC=corp"), "LDAP://OU=A\\/B,DC=corp");
  EXPECT_EQ(format_path("dc1:389", "CN=Ann,DC=corp"), "LDAP://dc1:389/CN=Ann,DC=corp");
  LdapPath parsed;
  ASSERT_EQ(parse_path(format_path("dc1", "OU=x/y/z,DC=corp"), parsed), kOk);
  EXPECT_EQ(parsed.dn, "OU=x/y/z,DC=corp");
}

TEST(NamesAreSplit, FirstRdnParentAndDnsName) {
  EXPECT_EQ(first_rdn("CN=Smith\\, John,OU=Staff,DC=corp"), "CN=Smith\\, John");
  EXPECT_EQ(parent_dn("CN=Smith\\, John,OU=Staff,DC=corp"), "OU=Staff,DC=corp");
  EXPECT_EQ(first_rdn("DC=com"), "DC=com");
  EXPECT_EQ(parent_dn("DC=com"), "");
  EXPECT_EQ(dns_name_of("CN=Ann,OU=Lab,DC=corp,DC=example,DC=com"), "corp.example.com");
  EXPECT_EQ(dns_name_of("CN=Ann,OU=Lab"), "");
}

}  // namespace
}  // namespace txads::directory
