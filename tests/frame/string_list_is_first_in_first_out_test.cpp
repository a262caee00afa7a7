// The string list used for sub-group queues and picker selections: add at
// the tail, take from the head, and a walk past the end is an error that the
// export frame turns into a failure result.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "frame/export_frame.h"
#include "frame/string_list.h"

namespace txads {
namespace {

TEST(StringList, GivesEntriesBackInTheOrderAdded) {
  StringList list;
  EXPECT_TRUE(list.empty());
  for (int i = 0; i < 25; ++i) list.add_tail("group " + std::to_string(i));  // past two blocks
  EXPECT_EQ(list.size(), 25u);
  for (int i = 0; i < 25; ++i) {
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.remove_head(), "group " + std::to_string(i));
  }
  EXPECT_TRUE(list.empty());
}

TEST(StringList, MixesAddingAndTakingLikeAQueue) {
  StringList list;
  list.add_tail("a");
  list.add_tail("b");
  EXPECT_EQ(list.remove_head(), "a");
  list.add_tail("c");
  EXPECT_EQ(list.remove_head(), "b");
  EXPECT_EQ(list.remove_head(), "c");
  EXPECT_TRUE(list.empty());
}

TEST(StringList, KeepsEmptyStringsAsEntries) {
  StringList list;
  list.add_tail("");
  EXPECT_FALSE(list.empty());
  EXPECT_EQ(list.remove_head(), "");
  EXPECT_TRUE(list.empty());
}

TEST(StringList, TakingFromAnEmptyListThrowsOutOfRange) {
  StringList list;
  EXPECT_THROW((void)list.remove_head(), std::out_of_range);
}

TEST(StringList, WalkedPastItsEndInsideAnExportGivesTheFailureCode) {
  const int result = run_export(-1, [] {
    StringList list;
    (void)list.remove_head();
    return 1;
  });
  EXPECT_EQ(result, -1);
}

}  // namespace
}  // namespace txads
