// Group members that live in another domain of the forest: the group's own
// server refers a search for them elsewhere (or, the test server, does not
// hold their domain at all); they are resolved through the global catalog,
// and one the catalog does not hold is skipped with a trace line, while the
// walk still finds the group's local members. The other domain is a test
// double (support/foreign_domain.h): the test domain has only one.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/foreign_domain.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "support/trace_capture.h"
#include "txads.h"

namespace {

using txads_test::ForeignDomain;
using txads_test::GuardedBuffer;

class ForeignMembers : public ::testing::Test {
 protected:
  void TearDown() override { TXADSetRecursFlag(0); }
};

TEST_F(ForeignMembers, AreSkippedOrResolvedAndTheLocalMembersStillFound) {
  txads_test::ScratchOu ou("foreign");
  const std::string far_user = std::string("CN=Far User,CN=Users,") + ForeignDomain::kDn;
  const std::string far_group = std::string("CN=Far Group,CN=Users,") + ForeignDomain::kDn;
  const std::string group = ou.add_group("Mixed", {}, ou.unique_name("mixed"));
  const std::string account = ou.unique_name("una");
  const std::string una = ou.add_user("Una", account);
  const std::string station = ou.unique_name("PC");
  ou.add_member(group, una);
  ou.add_member(group, ou.add_computer(station));
  const std::string inner = ou.add_group("Inner", {}, ou.unique_name("inner"));
  const std::string ivo = ou.unique_name("ivo");
  ou.add_member(inner, ou.add_user("Ivo", ivo));
  ou.add_member(group, inner);
  const std::string user = txads_test::netbios_domain() + "\\" + account;
  const std::string path = txads_test::path_of(group);

  const struct {
    bool refer_other;  // a referral for the other domain, else "no such object"
    bool refer_local;  // the group's local members referred too: found in the catalog
  } cases[] = {{false, false}, {true, false}, {true, true}};
  TXADSetRecursFlag(1);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.refer_other) + std::to_string(c.refer_local));
    ForeignDomain other(c.refer_other);
    other.add_value(group, "member", far_user);
    other.add_value(group, "member", far_group);
    if (c.refer_local) other.refer(una);
    txads_test::TraceCapture trace;
    GuardedBuffer error;
    EXPECT_EQ(TXADIsUserInGroup(user.c_str(), path.c_str(), error.data(), error.length()), 1);
    EXPECT_EQ(TXADIsStationInGroup(station.c_str(), path.c_str(), error.data(), error.length()), 1);
    const std::string nested = txads_test::netbios_domain() + "\\" + ivo;
    EXPECT_EQ(TXADIsUserInGroup(nested.c_str(), path.c_str(), error.data(), error.length()), 1);
    EXPECT_EQ(TXADIsUserInGroup("CORP\\eve", path.c_str(), error.data(), error.length()), 2);
    EXPECT_TRUE(error.untouched());
    const auto messages = trace.messages();
    EXPECT_TRUE(std::any_of(messages.begin(), messages.end(), [&](const std::string& m) {
      return m.find(far_user) != std::string::npos && m.find("kipped") != std::string::npos;
    }));
  }
}

}  // namespace
