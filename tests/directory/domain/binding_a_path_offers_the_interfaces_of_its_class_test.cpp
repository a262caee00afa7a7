// Binding a path asks for an interface; the object's class decides whether it
// offers it. Absent objects, bad paths and unreachable servers give their
// own codes.
#include <gtest/gtest.h>

#include <string>

#include "directory/ads.h"
#include "scratch.h"

namespace txads::directory {
namespace {

std::string at(const std::string& rdns) {
  return scratch::path(rdns + "," + scratch::base());
}

struct Expected {
  std::string path;
  uint32_t as_object, as_container, as_group, as_user;
};

TEST(BindingAPath, EachClassOffersItsInterfaces) {
  const uint32_t ok = 0, no = 0x80004002, absent = 0x80072030, bad = 0x80005000;
  const Expected cases[] = {
      {at("OU=Site"), ok, ok, no, no},
      {at("CN=Equipment"), ok, ok, no, no},
      {scratch::path(scratch::base()), ok, ok, no, no},       // domainDNS
      {at("CN=Builtin"), ok, ok, no, no},                     // builtinDomain
      {at("CN=Lab Members,OU=Groups"), ok, no, ok, no},       // group
      {at("CN=Ann Archer,OU=Dev,OU=Staff"), ok, no, no, ok},  // user
      {at("CN=PC042,OU=Lab,OU=Site"), ok, no, no, ok},        // computers are users
      {at("CN=Smith\\, John,OU=Staff"), ok, no, no, ok},      // escaped comma
      {at("CN=Prüfer,OU=Groups"), ok, no, ok, no},            // non-ASCII
      {at("OU=Nowhere"), absent, absent, absent, absent},
      {at("CN=Nobody,OU=Site"), absent, absent, absent, absent},
      {"ldap://" + scratch::base(), bad, bad, bad, bad},
      {"Ldap://" + scratch::base(), bad, bad, bad, bad},
      {"", bad, bad, bad, bad},
      {"GC://" + scratch::base(), bad, bad, bad, bad},
      {"LDAP://dc1:x/" + scratch::base(), bad, bad, bad, bad},
      {"LDAP://CN=Broken\\", bad, bad, bad, bad},
  };
  for (const Expected& c : cases) {
    SCOPED_TRACE(c.path);
    Object object;
    Container container;
    Group group;
    User user;
    EXPECT_EQ(ads_get_object(c.path, object).bits(), c.as_object);
    EXPECT_EQ(ads_get_object(c.path, container).bits(), c.as_container);
    EXPECT_EQ(ads_get_object(c.path, group).bits(), c.as_group);
    EXPECT_EQ(ads_get_object(c.path, user).bits(), c.as_user);
    EXPECT_EQ(object.bound(), c.as_object == ok);
    EXPECT_EQ(group.bound(), c.as_group == ok);
  }
}

TEST(BindingAPath, AServerPartNamesTheControllerInAnyForm) {
  // The domain's DNS name, the controller's short name and its address all
  // reach the controller and bind with its own Kerberos service name.
  const std::string dn = "OU=Lab,OU=Site," + scratch::base();
  for (const std::string server : {"dc1.corp.example.com", "corp.example.com", "dc1", "127.0.0.11",
                                   "127.0.0.11:389", "dc1.corp.example.com:389"}) {
    SCOPED_TRACE(server);
    Container container;
    ASSERT_EQ(ads_get_object("LDAP://" + server + "/" + dn, container), kOk);
    std::string path;
    ASSERT_EQ(container.get_ads_path(path), kOk);
    EXPECT_EQ(path, "LDAP://" + server + "/" + dn);
  }
}

TEST(BindingAPath, AnUnreachableServerIsServerDownAtOnce) {
  const std::string dn = "OU=Site," + scratch::base();
  for (const std::string server : {"127.0.0.1:1", "no-such-host.invalid"}) {
    SCOPED_TRACE(server);
    const auto start = std::chrono::steady_clock::now();
    Container container;
    EXPECT_EQ(ads_get_object("LDAP://" + server + "/" + dn, container), kServerDown);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  }
}

TEST(BindingAPath, OverLongAndOddNamesGiveAStatus) {
  Object object;
  const std::string long_name = "LDAP://CN=" + std::string(10000, 'a') + "," + scratch::base();
  const Status status = ads_get_object(long_name, object);
  EXPECT_TRUE(status.failed());
  EXPECT_FALSE(object.bound());
  // The server refuses what the client's parser lets through.
  EXPECT_EQ(ads_get_object("LDAP://CN=x,DC=nowhere,DC=invalid", object), kNoSuchObject);
  EXPECT_EQ(ads_get_object("LDAP://" + std::string(10000, '\\'), object), kBadPathname);
}

}  // namespace
}  // namespace txads::directory
