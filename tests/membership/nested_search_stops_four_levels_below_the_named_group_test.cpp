// The nested group search: with the recursion flag set, groups down to four
// levels below the named group are walked and a cycle ends at that bound
// (seeded: Nest1 > ... > Nest6 holding dave and PC044; CycleA and CycleB hold
// each other, CycleB also bob). Not found, it answers with the last walk's
// code, and the error buffer keeps the text of the last failing walk.
#include <gtest/gtest.h>

#include <iterator>
#include <utility>

#include "directory/ldap_path.h"
#include "directory/operation_counter.h"
#include "directory/read_ahead.h"
#include "frame/error_text.h"
#include "membership/member_walk.h"
#include "membership/nested_search.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace {

using txads_test::GuardedBuffer;

class NestedSearch : public ::testing::Test {
 protected:
  void TearDown() override { TXADSetRecursFlag(0); }
};

TEST_F(NestedSearch, FindsMembersFourLevelsDownWithTheFlagAndNeverFive) {
  const struct {
    int flag;
    const char* named;
    int expected;
  } cases[] = {
      {1, "Nest6", 1}, {1, "Nest2", 1},  {1, "Nest1", 2},  {0, "Nest6", 1},
      {0, "Nest5", 2}, {-1, "Nest2", 1}, {1, "CycleA", 2},
  };
  GuardedBuffer error;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.flag) + " " + c.named);
    TXADSetRecursFlag(c.flag);
    const std::string named =
        txads_test::path_of(txads_test::seeded("CN=" + std::string(c.named) + ",OU=Groups"));
    EXPECT_EQ(TXADIsUserInGroup("CORP\\dave", named.c_str(), error.data(), 512), c.expected);
    EXPECT_EQ(TXADIsStationInGroup("PC044", named.c_str(), error.data(), 512), c.expected);
    EXPECT_TRUE(error.untouched());
  }
  TXADSetRecursFlag(1);
  const std::string cycle = txads_test::path_of(txads_test::seeded("CN=CycleA,OU=Groups"));
  EXPECT_EQ(TXADIsUserInGroup("CORP\\bob", cycle.c_str(), error.data(), 512), 1);
}

// A search that walks group by group, or translates the user at every group,
// costs several requests more per level than these bounds (warm connections);
// one that reads the forest's domains again for the group's SID, one more.
TEST_F(NestedSearch, CostsFewRequestsPerCall) {
  TXADSetRecursFlag(1);
  const std::string nest1 = txads_test::path_of(txads_test::seeded("CN=Nest1,OU=Groups"));
  GuardedBuffer error;
  const struct {
    int (*check)(const char*, const char*, char*, int);
    const char* name;
    uint64_t bound;
  } cases[] = {{TXADIsUserInGroup, "CORP\\dave", 9}, {TXADIsStationInGroup, "PC044", 8}};
  for (const auto& c : cases) {
    c.check(c.name, nest1.c_str(), error.data(), 512);  // warms the connections
    const uint64_t before = txads::directory::operation_counts().operations;
    EXPECT_EQ(c.check(c.name, nest1.c_str(), error.data(), 512), 2) << c.name;
    EXPECT_LE(txads::directory::operation_counts().operations - before, c.bound) << c.name;
  }
}

// The server lists only groups that exist, so a sub-group that cannot be
// bound only happens when it goes between the walk that listed it and its
// own walk. This walk, the real one, makes that race certain: after the walk
// of the named group it deletes one sub-group with the directory's tools.
// A search reads each object once, so the read that found the group is
// replaced by what a read after the deletion gives: the server cannot be
// made to delete between two reads of one call.
std::string doomed_path;
int walk_then_delete(const char* name, const char* group, txads::OutputBuffer error,
                     txads::StringList& sub_groups) {
  const int result = txads::IsUserInGroup(name, group, error, sub_groups);
  txads::directory::LdapPath doomed;
  if (txads::directory::parse_path(std::exchange(doomed_path, {}), doomed).ok() &&
      !doomed.dn.empty()) {
    txads_test::delete_tree(doomed.dn);
    txads::directory::keep_object(doomed.endpoint, doomed.dn, {});
  }
  return result;
}

TEST_F(NestedSearch, AnswersWithTheLastWalkAndKeepsTheLastFailuresText) {
  TXADSetRecursFlag(1);
  GuardedBuffer no_such;
  txads::GetADSErrorText(txads::kNoSuchObject, {no_such.data(), no_such.length()});
  const struct {
    bool doom_last;  // else the first sub-group the walk lists
    bool ann_in_both;
    int expected;
  } cases[] = {{true, false, -1}, {false, false, 2}, {false, true, 1}};
  for (const auto& c : cases) {
    txads_test::ScratchOu ou("lastwalk");
    const std::string top = ou.add_group("Top", {}, ou.unique_name("top")), path = "LDAP://" + top;
    for (const char* sub : {"First", "Second"}) {
      const std::string dn = ou.add_group(sub, {}, ou.unique_name(sub));
      ou.add_member(top, dn);
      if (c.ann_in_both) ou.add_member(dn, txads_test::seeded("CN=Ann Archer,OU=Dev,OU=Staff"));
    }
    txads::StringList listed;  // the two sub-groups, in the order the server lists them
    GuardedBuffer error;
    txads::IsUserInGroup("CORP\\bob", path.c_str(), {error.data(), 0}, listed);
    ASSERT_EQ(listed.size(), 2u);
    doomed_path = *std::next(listed.begin(), c.doom_last ? 1 : 0);
    EXPECT_EQ(txads::nested_group_search(walk_then_delete, "CORP\\ann", path.c_str(),
                                         {error.data(), error.length()}),
              c.expected);
    EXPECT_EQ(error.text(), no_such.text());
  }
}

}  // namespace
