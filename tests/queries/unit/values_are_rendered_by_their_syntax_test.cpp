// The text of attribute values by syntax, for the forms the test domain
// cannot be made to hold: fractions of seconds, two-digit years, SIDs and
// GUIDs of odd sizes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "queries/value_text.h"

namespace txads::queries {
namespace {

using Syntax = directory::Value::Syntax;

std::string bytes(std::initializer_list<int> list) {
  std::string b;
  for (int v : list) b += static_cast<char>(v);
  return b;
}

const std::string kAdministrators = bytes({1, 2, 0, 0, 0, 0, 0, 5, 0x20, 0, 0, 0, 0x20, 2, 0, 0});

struct Row {
  Syntax syntax;
  std::vector<std::string> values;
  const char* text;
} const kRows[] = {
    {Syntax::time, {"20241105093007.25Z"}, "2024-11-05T09:30:07.25Z"},
    {Syntax::time, {"240301093000Z"}, "2024-03-01T09:30:00Z"},
    {Syntax::time, {"991231235959Z"}, "1999-12-31T23:59:59Z"},
    {Syntax::time, {"20240301093000+0100"}, "20240301093000+0100"},  // no known form
    {Syntax::sid, {kAdministrators}, "S-1-5-32-544"},
    {Syntax::sid,
     {bytes({1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}), kAdministrators},
     "S-1-1-0; S-1-5-32-544"},
    {Syntax::sid, {bytes({1, 1, 1, 2, 3, 4, 5, 6, 7, 0, 0, 0})}, "S-1-0x010203040506-7"},
    {Syntax::sid, {bytes({1, 2, 0, 0, 0, 0, 0, 5, 0x20, 0, 0, 0})}, "010200000000000520000000"},
    {Syntax::guid, {bytes({0xAB, 0x01})}, "AB01"},
};

TEST(ValuesAreRenderedByTheirSyntax, EachRowGivesItsText) {
  for (const Row& row : kRows) {
    EXPECT_EQ(value_text(directory::Value(row.syntax, row.values)), row.text) << row.text;
  }
}

}  // namespace
}  // namespace txads::queries
