// TXADIsStationInContainerEx walks depth first through organisational units
// only, then through containers only, every sibling of each level, and
// returns the path it built for the container holding the station.
//
// Scratch tree below Site (OU):   OU=A: a      OU=B: OU=B2: b2
//                                 CN=BoxA: boxa    CN=BoxB: CN=BoxB2: boxb2
//                                 OU=Mixed: CN=Inner: inner      top
#include <gtest/gtest.h>

#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace {

struct Tree {
  txads_test::ScratchOu ou{"walk"};
  std::string site = ou.add_ou("Site");
  std::string a = ou.add_computer(ou.unique_name("a"), ou.add_ou("A", site));
  std::string b2 = ou.add_computer(ou.unique_name("b2"), ou.add_ou("B2", ou.add_ou("B", site)));
  std::string boxa = ou.add_computer(ou.unique_name("boxa"), ou.add_container("BoxA", site));
  std::string boxb2 = ou.add_computer(ou.unique_name("boxb2"),
                                      ou.add_container("BoxB2", ou.add_container("BoxB", site)));
  std::string inner =
      ou.add_computer(ou.unique_name("inner"), ou.add_container("Inner", ou.add_ou("Mixed", site)));
  std::string top = ou.add_computer(ou.unique_name("top"), site);
};

// The station's name: the CN of its DN.
std::string cn_of(const std::string& dn) {
  return dn.substr(3, dn.find(',') - 3);
}

struct Case {
  std::string station;
  std::string path;
  int expected;
  std::string found;  // "" = the found buffer stays as passed
  bool error_text;
};

TEST(ContainerWalk, FindsStationsInEverySiblingWhereOneKindOfContainerLeads) {
  const Tree t;
  const std::string site = "LDAP://" + t.site;
  const std::string server = "LDAP://dc1.corp.example.com/" + t.site;
  const Case cases[] = {
      {cn_of(t.a), site, 1, "LDAP://OU=A," + t.site, false},
      {cn_of(t.b2), site, 1, "LDAP://OU=B2,OU=B," + t.site, false},
      {cn_of(t.boxa), site, 1, "LDAP://CN=BoxA," + t.site, false},
      {cn_of(t.boxb2), site, 1, "LDAP://CN=BoxB2,CN=BoxB," + t.site, false},
      {cn_of(t.top), site, 1, site, false},
      {cn_of(t.inner), site, 2, "", false},  // a container below an OU: neither walk
      {"PC042", site, 2, "", false},
      {cn_of(t.top), server, 1, server, true},  // children's paths do not bind
      {cn_of(t.a), server, 2, "", true},
      {cn_of(t.a), "LDAP://OU=Nowhere," + t.site, -1, "", true},
      {cn_of(t.a), "LDAP://", -1, "", true},
  };
  for (const Case& c : cases) {
    txads_test::GuardedBuffer found(300), error(128);
    EXPECT_EQ(TXADIsStationInContainerEx(c.station.c_str(), c.path.c_str(), found.data(),
                                         found.length(), error.data(), error.length()),
              c.expected)
        << c.station << " in " << c.path;
    if (c.found.empty())
      EXPECT_TRUE(found.untouched()) << c.station;
    else
      EXPECT_EQ(found.text(), c.found) << c.station;
    EXPECT_EQ(!error.untouched(), c.error_text) << c.station << " in " << c.path;
  }
}

}  // namespace
