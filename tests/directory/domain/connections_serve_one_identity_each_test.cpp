// Kept connections: a call made under another Kerberos identity never rides
// on a connection bound as someone else, and an identity without a ticket
// is refused.
#include <gtest/gtest.h>
#include <ldap.h>

#include <unistd.h>
#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "directory/ads.h"
#include "directory/ldap_ops.h"
#include "directory/operation_counter.h"
#include "directory/pool.h"
#include "scratch.h"

namespace txads::directory {
namespace {

// Sets KRB5CCNAME for the test's scope.
class Ccache {
 public:
  explicit Ccache(const std::string& name) {
    const char* old = std::getenv("KRB5CCNAME");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("KRB5CCNAME", name.c_str(), 1);
  }
  ~Ccache() {
    if (had_)
      setenv("KRB5CCNAME", old_.c_str(), 1);
    else
      unsetenv("KRB5CCNAME");
  }

 private:
  bool had_ = false;
  std::string old_;
};

std::string cache_of(const std::string& user) {
  const char* dir = std::getenv("TXADS_CCACHE_DIR");
  return std::string("FILE:") + (dir ? dir : "/var/tmp/txads-testdomain/ccache") + "/" + user;
}

// Who the server thinks the connection is bound as: the group SIDs of the
// bound identity, from the root DSE's tokenGroups on a kept connection.
std::vector<std::string> bound_as() {
  std::vector<Entry> entries;
  const Status status = with_connection(Endpoint(), [&](Connection& connection) {
    entries.clear();
    return search_entries(connection, {"", LDAP_SCOPE_BASE, "(objectClass=*)", {"tokenGroups"}},
                          entries);
  });
  EXPECT_EQ(status, kOk);
  if (entries.empty() || entries[0].find("tokenGroups") == nullptr) return {};
  std::vector<std::string> sids = *entries[0].find("tokenGroups");
  std::sort(sids.begin(), sids.end());
  return sids;
}

TEST(Connections, EachIdentityGetsItsOwnConnection) {
  std::vector<std::string> as_admin = bound_as(), as_ann, as_bob, as_ann_again;
  {
    Ccache ann(cache_of("ann"));
    as_ann = bound_as();
  }
  {
    Ccache bob(cache_of("bob"));
    as_bob = bound_as();
  }
  const uint64_t binds = operation_counts().binds;
  {
    Ccache ann(cache_of("ann"));
    as_ann_again = bound_as();
  }
  EXPECT_GE(as_ann.size(), 3u);  // Domain Users, Lab Members, Devs, ...
  EXPECT_NE(as_ann, as_bob);
  EXPECT_NE(as_ann, as_admin);
  EXPECT_EQ(as_ann_again, as_ann);
  EXPECT_EQ(operation_counts().binds, binds);  // ann's connection was kept
}

// Puts a ticket for `account` into the cache file at `path` with kinit.
int kinit_into(const std::string& path, const std::string& account) {
  const char* password = std::getenv("TXADS_TEST_PASSWORD");
  const std::string command = "printf '%s\\n' '" + std::string(password ? password : "") +
                              "' | kinit -c FILE:" + path + " " + account +
                              "@CORP.EXAMPLE.COM >/dev/null 2>&1";
  return std::system(command.c_str());
}

TEST(Connections, ANewPrincipalInTheSameCacheGetsANewConnection) {
  const std::string path = "/tmp/txads-directory-cache-" + std::to_string(getpid());
  ASSERT_EQ(kinit_into(path, "ann"), 0);
  std::vector<std::string> first, second;
  {
    Ccache cache("FILE:" + path);
    first = bound_as();
    ASSERT_EQ(kinit_into(path, "bob"), 0);  // same cache name, another principal
    second = bound_as();
  }
  std::remove(path.c_str());
  std::vector<std::string> as_ann, as_bob;
  {
    Ccache ann(cache_of("ann"));
    as_ann = bound_as();
  }
  {
    Ccache bob(cache_of("bob"));
    as_bob = bound_as();
  }
  EXPECT_EQ(first, as_ann);
  EXPECT_EQ(second, as_bob);
}

TEST(Connections, TrafficIsSignedAndSealed) {
  ber_len_t ssf = 0;
  const Status status = with_connection(Endpoint(), [&](Connection& connection) {
    return ldap_get_option(connection.ld(), LDAP_OPT_X_SASL_SSF, &ssf) == LDAP_OPT_SUCCESS
               ? LDAP_SUCCESS
               : LDAP_LOCAL_ERROR;
  });
  ASSERT_EQ(status, kOk);
  EXPECT_GE(ssf, 56u);  // a GSSAPI layer with confidentiality, not just integrity
}

TEST(Connections, RightsAreTheCallersOwn) {
  scratch::Ou ou("rights");
  Container container;
  {
    Ccache eve(cache_of("eve"));
    ASSERT_EQ(ads_get_object(ou.path(), container), kOk);
    Object child;
    ASSERT_EQ(container.create("organizationalUnit", "OU=Denied", child), kOk);
    EXPECT_EQ(child.set_info().bits(), 0x80072098u);  // insufficient rights
  }
  EXPECT_FALSE(scratch::exists("OU=Denied," + ou.dn()));
}

TEST(Connections, ACacheWithoutTicketIsNoLogonSession) {
  Ccache none("FILE:/nonexistent/txads-no-such-cache");
  Container container;
  EXPECT_EQ(ads_get_object(scratch::path("OU=Site," + scratch::base()), container).bits(),
            0x80070520u);
}

}  // namespace
}  // namespace txads::directory
