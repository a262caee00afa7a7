// The listings write an error text for a failed bind only: when the
// container was bound but its enumeration cannot be started, the call fails
// with -1 and leaves the list and the error buffer as they were.
//
// The real server cannot be made to refuse a one-level search of a container
// it has just let the caller read, so this test double stands in for that
// refusal: it replaces libldap's ldap_search_ext in this test binary and,
// while armed, refuses one-level searches based at one DN. Every other
// request goes to the real server.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <ldap.h>

#include <mutex>
#include <optional>
#include <string>

#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace {

std::mutex refused_mutex;
std::string refused_base;  // "" while disarmed

bool refused(const char* base, int scope) {
  std::lock_guard lock(refused_mutex);
  return scope == LDAP_SCOPE_ONELEVEL && base != nullptr && !refused_base.empty() &&
         refused_base == base;
}

class RefuseListing {
 public:
  explicit RefuseListing(std::string dn) {
    std::lock_guard lock(refused_mutex);
    refused_base = std::move(dn);
  }
  ~RefuseListing() {
    std::lock_guard lock(refused_mutex);
    refused_base.clear();
  }
};

}  // namespace

extern "C" int ldap_search_ext(LDAP* ld, const char* base, int scope, const char* filter,
                               char** attrs, int attrsonly, LDAPControl** sctrls,
                               LDAPControl** cctrls, struct timeval* timeout, int sizelimit,
                               int* msgidp) {
  using Search = int (*)(LDAP*, const char*, int, const char*, char**, int, LDAPControl**,
                         LDAPControl**, struct timeval*, int, int*);
  static const auto real = reinterpret_cast<Search>(dlsym(RTLD_NEXT, "ldap_search_ext"));
  if (refused(base, scope)) return LDAP_UNWILLING_TO_PERFORM;
  return real(ld, base, scope, filter, attrs, attrsonly, sctrls, cctrls, timeout, sizelimit,
              msgidp);
}

namespace {

TEST(Listings, ThatCannotStartTheirEnumerationFailWithoutAnErrorText) {
  txads_test::ScratchOu ou("liststart");
  const std::string dn = ou.add_ou("Refused");
  ou.add_user("Ann", ou.unique_name("ann"), dn);
  ou.add_computer(ou.unique_name("PC"), dn);
  const std::string path = txads_test::path_of(dn);
  const struct {
    int (*list)(const char*, char*, int, char*, int);
    bool refuse;
    int code;
    bool error_written;
  } rows[] = {
      {TXADGetUserListFromContainer, true, -1, false},
      {TXADGetStationListFromContainer, true, -1, false},
      {TXADGetUserListFromContainer, false, 0, false},  // the same container, not refused
  };
  for (const auto& row : rows) {
    txads_test::GuardedBuffer list(100, '\0'), error(100);
    std::optional<RefuseListing> refusal;
    if (row.refuse) refusal.emplace(dn);
    EXPECT_EQ(row.list(path.c_str(), list.data(), 100, error.data(), 100), row.code);
    EXPECT_EQ(!error.untouched(), row.error_written) << error.text();
    if (row.code == -1) {
      EXPECT_TRUE(list.untouched());
    }
    EXPECT_TRUE(list.guards_intact() && error.guards_intact());
  }
}

}  // namespace
