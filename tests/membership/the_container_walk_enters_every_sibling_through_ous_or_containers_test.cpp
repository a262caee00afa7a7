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

// Each computer's name, as the station name the check is given.
struct Tree {
  txads_test::ScratchOu ou{"walk"};
  std::string site = ou.add_ou("Site");
  std::string a = ou.unique_name("a"), b2 = ou.unique_name("b2"), boxa = ou.unique_name("boxa"),
              boxb2 = ou.unique_name("boxb2"), inner = ou.unique_name("inner"),
              top = ou.unique_name("top");
  Tree() {
    ou.add_computer(a, ou.add_ou("A", site));
    ou.add_computer(b2, ou.add_ou("B2", ou.add_ou("B", site)));
    ou.add_computer(boxa, ou.add_container("BoxA", site));
    ou.add_computer(boxb2, ou.add_container("BoxB2", ou.add_container("BoxB", site)));
    ou.add_computer(inner, ou.add_container("Inner", ou.add_ou("Mixed", site)));
    ou.add_computer(top, site);
  }
};

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
      {t.a, site, 1, "LDAP://OU=A," + t.site, false},
      {t.b2, site, 1, "LDAP://OU=B2,OU=B," + t.site, false},
      {t.boxa, site, 1, "LDAP://CN=BoxA," + t.site, false},
      {t.boxb2, site, 1, "LDAP://CN=BoxB2,CN=BoxB," + t.site, false},
      {t.top, site, 1, site, false},
      {t.inner, site, 2, "", false},  // a container below an OU: neither walk
      {"PC042", site, 2, "", false},
      {t.top, server, 1, server, true},  // children's paths do not bind
      {t.a, server, 2, "", true},
      {t.a, "LDAP://OU=Nowhere," + t.site, -1, "", true},
      {t.a, "LDAP://", -1, "", true},
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
