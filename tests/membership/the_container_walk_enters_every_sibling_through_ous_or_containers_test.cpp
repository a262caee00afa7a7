// TXADIsStationInContainerEx walks depth first through organisational units
// only, then through containers only, every sibling of each level, and
// returns the path it built for the container holding the station.
#include <gtest/gtest.h>

#include "directory/operation_counter.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace {

TEST(ContainerWalk, FindsStationsInEverySiblingWhereOneKindOfContainerLeads) {
  // Below OU=Site:  OU=A: a      OU=B: OU=B2: b2      CN=BoxA: boxa
  //                 CN=BoxB: CN=BoxB2: boxb2      OU=Mixed: CN=Inner: inner      top
  txads_test::ScratchOu ou{"walk"};
  const std::string dn = ou.add_ou("Site");
  const std::string a = ou.unique_name("a"), b2 = ou.unique_name("b2"),
                    boxa = ou.unique_name("boxa"), boxb2 = ou.unique_name("boxb2"),
                    inner = ou.unique_name("inner"), top = ou.unique_name("top");
  ou.add_computer(a, ou.add_ou("A", dn));
  ou.add_computer(b2, ou.add_ou("B2", ou.add_ou("B", dn)));
  ou.add_computer(boxa, ou.add_container("BoxA", dn));
  ou.add_computer(boxb2, ou.add_container("BoxB2", ou.add_container("BoxB", dn)));
  ou.add_computer(inner, ou.add_container("Inner", ou.add_ou("Mixed", dn)));
  ou.add_computer(top, dn);
  const std::string site = "LDAP://" + dn, server = "LDAP://dc1.corp.example.com/" + dn;
  const struct {
    std::string station, path;
    int expected;
    std::string found;  // "-" = the found buffer stays as passed
    bool error_text = false;
  } cases[] = {
      {a, site, 1, "LDAP://OU=A," + dn},
      {b2, site, 1, "LDAP://OU=B2,OU=B," + dn},
      {boxa, site, 1, "LDAP://CN=BoxA," + dn},
      {boxb2, site, 1, "LDAP://CN=BoxB2,CN=BoxB," + dn},
      {top, site, 1, site},
      {inner, site, 2, "-"},  // a container below an OU: neither walk
      {"PC042", site, 2, "-"},
      {top, server, 1, server, true},  // children's paths do not bind
      {a, server, 2, "-", true},
      {a, "LDAP://OU=Nowhere," + dn, -1, "-", true},
      {a, "LDAP://", -1, "-", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.station + " in " + c.path);
    txads_test::GuardedBuffer found(300), error(128);
    EXPECT_EQ(TXADIsStationInContainerEx(c.station.c_str(), c.path.c_str(), found.data(), 300,
                                         error.data(), 128),
              c.expected);
    EXPECT_EQ(found.untouched() ? "-" : found.text(), c.found);
    EXPECT_EQ(!error.untouched(), c.error_text);
  }
}

TEST(ContainerWalk, CostsAboutOneRequestPerContainer) {
  const std::string site = txads_test::path_of(txads_test::seeded("OU=Site"));
  txads_test::GuardedBuffer f(300), e(128);
  TXADIsStationInContainerEx("PC044", site.c_str(), f.data(), 300, e.data(), 128);
  const uint64_t before = txads::directory::operation_counts().operations;
  EXPECT_EQ(TXADIsStationInContainerEx("PC044", site.c_str(), f.data(), 300, e.data(), 128), 1);
  EXPECT_LE(txads::directory::operation_counts().operations - before, 5u);
}

}  // namespace
