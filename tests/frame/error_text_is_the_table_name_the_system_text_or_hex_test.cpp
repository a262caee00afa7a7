// GetADSErrorText picks its text in a fixed order: the ADS error name table,
// else the system's text for a facility-7 code, else "%X".
#include <gtest/gtest.h>

#include <string>

#include "frame/error_text.h"
#include "frame/system_messages.h"

namespace txads {
namespace {

std::string error_text(uint32_t code, int length = 128) {
  std::string buffer(static_cast<size_t>(length), 'x');
  GetADSErrorText(Status(code), {buffer.data(), length});
  return buffer;
}

// The text up to the first zero, checking that every byte after it is zero.
std::string terminated_text(const std::string& buffer) {
  const size_t end = buffer.find('\0');
  EXPECT_NE(end, std::string::npos) << "error text not terminated";
  EXPECT_EQ(buffer.find_first_not_of('\0', end), std::string::npos) << "not zero-filled";
  return buffer.substr(0, end);
}

struct Row {
  uint32_t code;
  const char* text;
};

TEST(ErrorText, NamesEveryRowOfTheTable) {
  const Row rows[] = {
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
  };
  for (const Row& row : rows) {
    EXPECT_EQ(terminated_text(error_text(row.code)), row.text) << std::hex << row.code;
    EXPECT_STREQ(GetADSErrorName(Status(row.code)), row.text) << std::hex << row.code;
  }
}

TEST(ErrorText, IsHexadecimalForCodesOutsideTheTableAndFacilitySeven) {
  const Row rows[] = {
      {0x80005012, "80005012"},  // only its success form is in the table
      {0x80005011, "80005011"}, {0x80005013, "80005013"},
      {0x80005015, "80005015"},  // past the last row
      {0x00005000, "5000"},      // success form of a failure row
      {0x80004005, "80004005"}, {0x80004002, "80004002"},
      {0x8000FFFF, "8000FFFF"}, {0x00000000, "0"},
      {0x00000001, "1"},        {0xC00D0001, "C00D0001"},
      {0x80060005, "80060005"},  // facility 6, next to the Win32 one
      {0x80080005, "80080005"},  // facility 8
  };
  for (const Row& row : rows) {
    EXPECT_EQ(terminated_text(error_text(row.code)), row.text) << std::hex << row.code;
    EXPECT_STREQ(GetADSErrorName(Status(row.code)), "") << std::hex << row.code;
  }
}

TEST(ErrorText, IsTheSystemTextForAFacilitySevenCode) {
  const uint32_t codes[] = {0x80070005, 0x80072030, 0x8007203A,
                            0x80071392, 0x8007000E, 0x00070005};  // the severity bit plays no part
  for (uint32_t code : codes) {
    const std::string expected = system_message(code & 0xFFFF);
    ASSERT_FALSE(expected.empty()) << std::hex << code;
    EXPECT_EQ(terminated_text(error_text(code, 300)), expected) << std::hex << code;
  }
  EXPECT_EQ(terminated_text(error_text(0x80070005)).back(), '\n') << "the text is kept as it is";
}

TEST(ErrorText, IsEmptyForAFacilitySevenCodeWithoutSystemText) {
  for (uint32_t code : {0x8007FFFFu, 0x80070001u, 0x80072FFFu}) {
    const std::string buffer = error_text(code, 64);
    EXPECT_EQ(buffer, std::string(64, '\0')) << std::hex << code;
  }
}

}  // namespace
}  // namespace txads
