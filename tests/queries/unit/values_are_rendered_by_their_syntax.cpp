// The text of attribute values that are not single strings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "queries/value_text.h"

namespace txads::queries {
namespace {

using directory::Value;
using Syntax = Value::Syntax;

std::string bytes(std::initializer_list<int> list) {
  std::string b;
  for (int v : list) b += static_cast<char>(v);
  return b;
}

struct Case {
  const char* what;
  Syntax syntax;
  std::vector<std::string> values;
  const char* text;
};

const std::string kDomainAdminsSid =
    bytes({0x01, 0x05, 0,    0,    0,    0,    0,    0x05, 0x15, 0,    0,    0,    0xDC, 0xF4,
           0xDC, 0x3B, 0x83, 0x3D, 0x2B, 0x46, 0x82, 0x8B, 0xA6, 0x28, 0x00, 0x02, 0,    0});
const std::string kAdministratorsSid =
    bytes({0x01, 0x02, 0, 0, 0, 0, 0, 0x05, 0x20, 0, 0, 0, 0x20, 0x02, 0, 0});
const std::string kGuid = bytes({0xFF, 0x19, 0x96, 0x6F, 0x86, 0x8B, 0x11, 0xD0, 0xB4, 0x2D, 0x00,
                                 0xC0, 0x4F, 0xC9, 0x64, 0xFF});

const Case kCases[] = {
    {"one string as it stands", Syntax::string, {"Ann Smith; Sales"}, "Ann Smith; Sales"},
    {"several strings joined", Syntax::string, {"a", "b", "c"}, "a; b; c"},
    {"distinguished name",
     Syntax::distinguished_name,
     {"CN=Ann,OU=X,DC=corp"},
     "CN=Ann,OU=X,DC=corp"},
    {"negative integer", Syntax::integer, {"-5"}, "-5"},
    {"large integer", Syntax::large_integer, {"133497345678901234"}, "133497345678901234"},
    {"boolean", Syntax::boolean, {"TRUE"}, "TRUE"},
    {"domain SID", Syntax::sid, {kDomainAdminsSid}, "S-1-5-21-1004336348-1177238915-682003330-512"},
    {"builtin SID", Syntax::sid, {kAdministratorsSid}, "S-1-5-32-544"},
    {"world SID", Syntax::sid, {bytes({1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0})}, "S-1-1-0"},
    {"SID history of two",
     Syntax::sid,
     {kAdministratorsSid, kDomainAdminsSid},
     "S-1-5-32-544; S-1-5-21-1004336348-1177238915-682003330-512"},
    {"SID cut short is shown in hex",
     Syntax::sid,
     {bytes({1, 2, 0, 0, 0, 0, 0, 5, 0x20, 0, 0, 0})},
     "010200000000000520000000"},
    {"GUID in registry form", Syntax::guid, {kGuid}, "{6F9619FF-8B86-D011-B42D-00C04FC964FF}"},
    {"GUID of wrong size in hex", Syntax::guid, {bytes({0xAB, 0x01})}, "AB01"},
    {"binary in hex", Syntax::octets, {bytes({0x00, 0x0A, 0xFF, 0x7F})}, "000AFF7F"},
    {"empty binary", Syntax::octets, {""}, ""},
    {"generalized time", Syntax::time, {"20240301093000.0Z"}, "2024-03-01T09:30:00Z"},
    {"generalized time with fraction",
     Syntax::time,
     {"20240301093000.25Z"},
     "2024-03-01T09:30:00.25Z"},
    {"UTC time this century", Syntax::time, {"240301093000Z"}, "2024-03-01T09:30:00Z"},
    {"UTC time last century", Syntax::time, {"991231235959Z"}, "1999-12-31T23:59:59Z"},
    {"time of unknown form as it stands",
     Syntax::time,
     {"20240301093000+0100"},
     "20240301093000+0100"},
    {"no values", Syntax::string, {}, ""},
};

TEST(ValuesAreRenderedByTheirSyntax, EachKindGivesItsText) {
  for (const Case& c : kCases) {
    EXPECT_EQ(value_text(Value(c.syntax, c.values)), c.text) << c.what;
  }
}

TEST(ValuesAreRenderedByTheirSyntax, BinaryBytesAreNeverTakenAsText) {
  // A SID holds zero bytes early on; read as a string it would stop there.
  const std::string text = value_text(Value(Syntax::sid, {kAdministratorsSid}));
  EXPECT_EQ(text.find('\0'), std::string::npos);
  EXPECT_EQ(hex_text(std::string("\0\0", 2)), "0000");
}

TEST(ValuesAreRenderedByTheirSyntax, AuthorityOfSixBytesIsHexadecimal) {
  const std::string sid = bytes({1, 1, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 7, 0, 0, 0});
  EXPECT_EQ(sid_text(sid), "S-1-0x010203040506-7");
}

}  // namespace
}  // namespace txads::queries
