// Decided without a server: LDAP paths (provider exactly "LDAP://", optional server and
// port, "/" in a name written "\/"), caller text escaped into filter values, LDAP results
// the test server cannot return, the order of controllers from SRV records (lowest priority
// first, weighted draws within one, weight 0 first), lost servers last, longest lost first.
#include <gtest/gtest.h>
#include <ldap.h>

#include <string>
#include <tuple>
#include <vector>

#include "directory/avoided_servers.h"
#include "directory/ldap_path.h"
#include "directory/locator.h"
#include "directory/search.h"
#include "directory/status_map.h"

namespace txads::directory {
namespace {

TEST(Paths, SplitIntoServerPortAndNameOrAreBadPathnames) {
  const std::tuple<std::string, std::string, std::string, int, std::string, std::string> rows[] = {
      {"LDAP://OU=Lab,DC=corp", "", "", 0, "OU=Lab,DC=corp", "corp"},
      {"LDAP://dc1:3268/CN=Ann,DC=corp", "dc1:3268", "dc1", 3268, "CN=Ann,DC=corp", "corp"},
      {"LDAP://[::1]:389/DC=corp", "[::1]:389", "::1", 389, "DC=corp", "corp"},
      {"LDAP://dc1/OU=A\\/B,DC=corp", "dc1", "dc1", 0, "OU=A/B,DC=corp", "corp"},
      {"LDAP://CN=S\\,J,DC=Corp,dc=Ex", "", "", 0, "CN=S\\,J,DC=Corp,dc=Ex", "corp.ex"},
      {"LDAP://corp.example.com", "corp.example.com", "corp.example.com", 0, "", ""},
      {"LDAP://<GUID=0123456789abcdef>", "", "", 0, "<GUID=0123456789abcdef>", ""},
  };
  for (const auto& [path, server, host, port, dn, domain] : rows) {
    SCOPED_TRACE(path);
    LdapPath parsed;
    ASSERT_EQ(parse_path(path, parsed), kOk);
    EXPECT_EQ(parsed.endpoint.server, server);
    EXPECT_EQ(parsed.endpoint.host, host);
    EXPECT_EQ(parsed.endpoint.port, port);
    EXPECT_EQ(parsed.dn, dn);
    EXPECT_EQ(parsed.endpoint.domain, domain);  // where DNS finds the controllers
  }
  // The provider name is exact; then servers, ports, escapes, empty names.
  const std::string refused[] = {
      "ldap://OU=Lab,DC=corp",  "Ldap://OU=Lab,DC=corp",    "LDAP:///DC=corp",
      "GC://DC=corp",           "LDAP:/OU=Lab,DC=corp",     "",
      "LDAP://dc1:abc/DC=corp", "LDAP://dc1:65536/DC=corp", "LDAP://CN=A/B,DC=corp",
      "LDAP://CN=Ann\\",        "LDAP://CN=Ann,,DC=corp",   "LDAP://" + std::string(10000, '\\')};
  for (const std::string& path : refused) {
    LdapPath parsed;
    EXPECT_EQ(parse_path(path, parsed).bits(), 0x80005000u) << path.substr(0, 40);
  }
  EXPECT_EQ(format_path("dc1:389", "OU=x/y,DC=corp"), "LDAP://dc1:389/OU=x\\/y,DC=corp");
  LdapPath escaped_nul;  // a raw zero byte after a backslash is a zero byte too
  EXPECT_EQ(parse_path(std::string("LDAP://<GUID=\\\0x>", 17), escaped_nul).bits(), 0x80072032u);
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
      {LDAP_OTHER, 0x80072095},
      {LDAP_BUSY, 0x8007200E},
      {LDAP_UNAVAILABLE, 0x8007200F},
      {0x3C, 0x80072045},  // sortControlMissing
      {0x3D, 0x80072046},  // offsetRangeError
  };
  for (const auto& [ldap, hresult] : rows)
    EXPECT_EQ(status_from_ldap(ldap).bits(), hresult) << ldap;
}

TEST(ServiceRecords, AreOrderedByPriorityThenWeightedDraws) {
  const std::vector<ServiceRecord> mixed = {
      {10, 0, 389, "a"}, {0, 5, 389, "b"}, {0, 0, 389, "c"}, {0, 10, 389, "d"}};
  const std::vector<ServiceRecord> light_heavy = {{0, 1, 389, "light"}, {0, 99, 389, "heavy"}};
  using Draw = uint32_t (*)(uint32_t total);
  const std::tuple<std::vector<ServiceRecord>, Draw, std::vector<std::string>> rows[] = {
      {mixed, [](uint32_t) { return 0u; }, {"c", "b", "d", "a"}},
      {mixed, [](uint32_t total) { return total; }, {"d", "b", "c", "a"}},
      {light_heavy, [](uint32_t total) { return total / 2; }, {"heavy", "light"}},
      {light_heavy, [](uint32_t) { return 1u; }, {"light", "heavy"}},  // within the light one
      {std::vector<ServiceRecord>(), [](uint32_t) { return 0u; }, {}},
  };
  for (const auto& [records, draw, expected] : rows) {
    std::vector<std::string> targets;
    for (const ServiceRecord& record : order_service_records(records, draw))
      targets.push_back(record.target);
    EXPECT_EQ(targets, expected);
  }
}

TEST(AvoidedServers, GoLastTheOneLostLongestAgoFirstUntilTheyAnswer) {
  const std::vector<std::string> servers = {"ldap://a:1", "ldap://b:1", "ldap://c:1"};
  avoid_server(servers[1]);
  avoid_server(servers[0]);
  EXPECT_TRUE(server_avoided(servers[0]));
  EXPECT_FALSE(server_avoided(servers[2]));
  EXPECT_EQ(order_avoided_last(servers),
            (std::vector<std::string>{servers[2], servers[1], servers[0]}));
  forget_avoided_server(servers[1]);
  EXPECT_EQ(order_avoided_last(servers),
            (std::vector<std::string>{servers[1], servers[2], servers[0]}));
  forget_avoided_server(servers[0]);
  EXPECT_EQ(order_avoided_last(servers), servers);
}

}  // namespace
}  // namespace txads::directory
