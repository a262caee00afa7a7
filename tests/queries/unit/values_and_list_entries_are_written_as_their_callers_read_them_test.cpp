// The text of attribute values by syntax, for the forms the test domain
// cannot be made to hold (fractions of seconds, two-digit years, SIDs and
// GUIDs of odd sizes); and the list buffer under the listings and the group
// list, where an entry goes in with its "|" and a zero byte only when all
// three fit behind the text already there, else nothing is written.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "queries/list_buffer.h"
#include "queries/value_text.h"
#include "support/guarded_buffer.h"

namespace txads::queries {
namespace {

using Syntax = directory::Value::Syntax;

std::string bytes(std::initializer_list<int> list) {
  std::string b;
  for (int v : list) b += static_cast<char>(v);
  return b;
}

TEST(ValuesAreRenderedByTheirSyntax, EachRowGivesItsText) {
  const std::string administrators = bytes({1, 2, 0, 0, 0, 0, 0, 5, 0x20, 0, 0, 0, 0x20, 2, 0, 0});
  const struct {
    Syntax syntax;
    std::vector<std::string> values;
    const char* text;
  } rows[] = {
      {Syntax::time, {"20241105093007.25Z"}, "2024-11-05T09:30:07.25Z"},
      {Syntax::time, {"240301093000Z"}, "2024-03-01T09:30:00Z"},
      {Syntax::time, {"991231235959Z"}, "1999-12-31T23:59:59Z"},
      {Syntax::time, {"20240301093000+0100"}, "20240301093000+0100"},  // no known form
      {Syntax::sid,
       {bytes({1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}), administrators},
       "S-1-1-0; S-1-5-32-544"},
      {Syntax::sid, {bytes({1, 1, 1, 2, 3, 4, 5, 6, 7, 0, 0, 0})}, "S-1-0x010203040506-7"},
      {Syntax::sid, {bytes({1, 2, 0, 0, 0, 0, 0, 5, 0x20, 0, 0, 0})}, "010200000000000520000000"},
      {Syntax::guid, {bytes({0xAB, 0x01})}, "AB01"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(value_text(directory::Value(row.syntax, row.values)), row.text) << row.text;
}

TEST(ListEntriesNeverPassTheBufferLength, EachRowAppendsOnlyWhatFits) {
  const struct {
    std::string on_entry;  // the buffer's bytes before
    int length;
    const char* entry;
    bool appended;
    std::string after;  // the buffer's bytes after
  } rows[] = {
      {std::string(6, '\0'), 6, "Ann", true, std::string("Ann|\0\0", 6)},
      {std::string(5, '\0'), 5, "Ann", true, std::string("Ann|\0", 5)},
      {std::string(4, '\0'), 4, "Ann", false, std::string(4, '\0')},
      {std::string("old|\0\0\0\0\0", 9), 9, "Bob", true, std::string("old|Bob|\0", 9)},
      {std::string("old|\0\0\0\0", 8), 8, "Bob", false, std::string("old|\0\0\0\0", 8)},
      {"abcd", 4, "", false, "abcd"},  // no zero byte: full already
      {"", 0, "", false, ""},
      {"", -1, "", false, ""},
  };
  for (const auto& row : rows) {
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
