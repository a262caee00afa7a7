// GetADSErrorText: the ADS error name, else the system text of a facility-7
// code (at most 299 characters, none if it holds inserts), else "%X"; the
// buffer zero-filled with at most length - 1 characters of text in it. Zero
// and negative lengths and null buffers are tried through every export (domain/).
#include <gtest/gtest.h>

#include <string>

#include "frame/error_text.h"
#include "frame/system_messages.h"
#include "support/guarded_buffer.h"

namespace txads {
namespace {

const std::string kDenied = system_message(5);  // ends in a line break, kept

// The system texts, through the lookup's test seam: one of the table's and
// three it cannot have (too long, with an insert, with a bare percent sign).
const char* injected(uint32_t code) {
  static const std::string long_text = std::string(400, 'x') + "\n";
  if (code == 5 || code == 0x1111) return code == 5 ? kDenied.c_str() : long_text.c_str();
  if (code == 0x2222) return "The object %1 cannot be found.\n";
  return code == 0x3333 ? "Done at 100% of the quota.\n" : "";
}

TEST(ErrorText, IsTheTableNameTheSystemTextOrHexadecimalCutToTheLengthLessOne) {
  const struct {
    uint32_t code;
    std::string text;  // before the zero fill
    int length = 64;
  } rows[] = {// clang-format off
      {0x80005000, "E_ADS_BAD_PATHNAME"},           {0x80005001, "E_ADS_INVALID_DOMAIN_OBJECT"},
      {0x80005002, "E_ADS_INVALID_USER_OBJECT"},    {0x80005003, "E_ADS_INVALID_COMPUTER_OBJECT"},
      {0x80005004, "E_ADS_UNKNOWN_OBJECT"},         {0x80005005, "E_ADS_PROPERTY_NOT_SET"},
      {0x80005006, "E_ADS_PROPERTY_NOT_SUPPORTED"}, {0x80005007, "E_ADS_PROPERTY_INVALID"},
      {0x80005008, "E_ADS_BAD_PARAMETER"},          {0x80005009, "E_ADS_OBJECT_UNBOUND"},
      {0x8000500A, "E_ADS_PROPERTY_NOT_MODIFIED"},  {0x8000500B, "E_ADS_PROPERTY_MODIFIED"},
      {0x8000500C, "E_ADS_CANT_CONVERT_DATATYPE"},  {0x8000500D, "E_ADS_PROPERTY_NOT_FOUND"},
      {0x8000500E, "E_ADS_OBJECT_EXISTS"},          {0x8000500F, "E_ADS_SCHEMA_VIOLATION"},
      {0x80005010, "E_ADS_COLUMN_NOT_SET"},         {0x80005014, "E_ADS_INVALID_FILTER"},
      {0x00005011, "S_ADS_ERRORSOCCURRED"},         {0x00005012, "S_ADS_NOMORE_ROWS"},
      {0x00005013, "S_ADS_NOMORE_COLUMNS"},
      // outside the table (only the success forms of 0x80005011 to 13 have rows)
      {0x80005012, "80005012"}, {0x80005015, "80005015"}, {0x00005000, "5000"},
      {0x80004005, "80004005"}, {0x00000000, "0"},        {0x80060005, "80060005"},
      {0x80070005, kDenied},    {0x00070005, kDenied},    {0x8007FFFF, ""},  // no text
      // at most 299 characters of a system text, none with an insert
      {0x80071111, std::string(299, 'x'), 512}, {0x80071111, std::string(99, 'x'), 100},
      {0x80072222, ""},                         {0x80073333, "Done at 100% of the quota.\n"},
      // cut to the length less one
      {0x80005000, "E_ADS_BAD_PATHNAME", 19}, {0x80005000, "E_ADS_BAD_PATHNAM", 18},
      {0x80005000, "E_ADS_BAD", 10},          {0x80005000, "", 1},
      {0x80004005, "8000", 5},                {0x80070005, kDenied.substr(0, 7), 8}};
  // clang-format on
  ASSERT_NE(kDenied, "");
  const auto previous = testing::replace_system_messages(&injected);
  for (const auto& row : rows) {
    txads_test::GuardedBuffer buffer(row.length);
    GetADSErrorText(Status(row.code), {buffer.data(), row.length});
    EXPECT_TRUE(buffer.guards_intact());
    EXPECT_EQ(buffer.raw(), row.text + std::string(size_t(row.length) - row.text.size(), '\0'))
        << std::hex << row.code << std::dec << " length " << row.length;
  }
  testing::replace_system_messages(previous);
}

TEST(SystemMessages, FindEveryTextOfTheirTable) {  // by binary search: the table must be sorted
  for (const SystemMessage* m = system_messages_begin(); m != system_messages_end(); ++m)
    EXPECT_STREQ(system_message(m->code), m->text) << m->code;
}

}  // namespace
}  // namespace txads
