// The list buffer under the listings and the group list: an entry goes in
// with its "|" and a zero byte only when all three fit behind the text
// already there; otherwise nothing is written.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "queries/list_buffer.h"
#include "support/guarded_buffer.h"

namespace txads::queries {
namespace {

struct Row {
  std::string on_entry;  // the buffer's bytes before
  int length;
  const char* entry;
  bool appended;
  std::string after;  // the buffer's bytes after
} const kRows[] = {
    {std::string(6, '\0'), 6, "Ann", true, std::string("Ann|\0\0", 6)},
    {std::string(5, '\0'), 5, "Ann", true, std::string("Ann|\0", 5)},
    {std::string(4, '\0'), 4, "Ann", false, std::string(4, '\0')},
    {std::string("old|\0\0\0\0\0", 9), 9, "Bob", true, std::string("old|Bob|\0", 9)},
    {std::string("old|\0\0\0\0", 8), 8, "Bob", false, std::string("old|\0\0\0\0", 8)},
    {"abcd", 4, "", false, "abcd"},  // no zero byte: full already
    {"", 0, "", false, ""},
    {"", -1, "", false, ""},
};

TEST(ListEntriesNeverPassTheBufferLength, EachRowAppendsOnlyWhatFits) {
  for (const Row& row : kRows) {
    txads_test::GuardedBuffer buffer(row.length);
    std::memcpy(buffer.data(), row.on_entry.data(), row.on_entry.size());
    EXPECT_EQ(ListBuffer(buffer.data(), row.length).append_entry(row.entry), row.appended)
        << row.after;
    EXPECT_EQ(buffer.raw(), row.after);
    EXPECT_TRUE(buffer.guards_intact()) << row.after;
  }
}

}  // namespace
}  // namespace txads::queries
