// ListBuffer: appending entries to a caller's buffer that may be short,
// unterminated, null or of negative length. Guard bytes after the caller's
// length must never change.
#include <gtest/gtest.h>

#include <string>

#include "queries/list_buffer.h"

namespace txads::queries {
namespace {

constexpr char kGuard = '#';

// A caller buffer of `length` bytes holding `text`, then 16 guard bytes.
struct Guarded {
  Guarded(int length, const std::string& text) : bytes(static_cast<size_t>(length) + 16, kGuard) {
    std::fill(bytes.begin(), bytes.begin() + length, '\0');
    bytes.replace(0, text.size(), text);
  }
  bool guards_intact(int length) const {
    return bytes.find_first_not_of(kGuard, static_cast<size_t>(length)) == std::string::npos;
  }
  std::string bytes;
};

TEST(ListEntriesNeverPassTheBufferLength, EntryFillingTheBufferExactlyIsAppended) {
  Guarded b(6, "");
  ListBuffer list(b.bytes.data(), 6);
  EXPECT_TRUE(list.append_entry("Ann"));
  EXPECT_TRUE(list.append_entry(""));
  EXPECT_EQ(b.bytes.substr(0, 6), std::string("Ann||\0", 6));
  EXPECT_EQ(list.text_length(), 5);
  EXPECT_TRUE(b.guards_intact(6));
}

TEST(ListEntriesNeverPassTheBufferLength, EntryOneByteTooLongIsRefusedUnwritten) {
  Guarded b(5, "");
  ListBuffer list(b.bytes.data(), 5);
  EXPECT_FALSE(list.append_entry("Ann1"));
  EXPECT_EQ(b.bytes.substr(0, 5), std::string(5, '\0'));
  EXPECT_TRUE(b.guards_intact(5));
}

TEST(ListEntriesNeverPassTheBufferLength, TextOnEntryIsKeptAndCounted) {
  Guarded b(12, "old|");
  ListBuffer list(b.bytes.data(), 12);
  EXPECT_EQ(list.text_length(), 4);
  EXPECT_TRUE(list.append_entry("Bob"));
  EXPECT_FALSE(list.append_entry("Eve"));
  EXPECT_EQ(std::string(b.bytes.c_str()), "old|Bob|");
  EXPECT_TRUE(b.guards_intact(12));
}

TEST(ListEntriesNeverPassTheBufferLength, UnterminatedBufferIsFullAndNeverReadPast) {
  Guarded b(4, "abcd");
  ListBuffer list(b.bytes.data(), 4);
  EXPECT_EQ(list.text_length(), 4);
  EXPECT_FALSE(list.append_entry(""));
  EXPECT_EQ(b.bytes.substr(0, 4), "abcd");
  EXPECT_TRUE(b.guards_intact(4));
}

TEST(ListEntriesNeverPassTheBufferLength, ZeroOneNegativeAndNullTakeNothing) {
  for (int length : {0, 1, -1, -2147483647 - 1}) {
    Guarded b(1, "");
    b.bytes[0] = kGuard;
    ListBuffer list(b.bytes.data(), length);
    EXPECT_FALSE(list.append_entry("")) << length;
    EXPECT_TRUE(b.guards_intact(0)) << length;
  }
  ListBuffer null_list(nullptr, 100);
  EXPECT_EQ(null_list.length(), 0);
  EXPECT_FALSE(null_list.append_entry("x"));
}

}  // namespace
}  // namespace txads::queries
