// The message table: sorted for its binary search, one English sentence per
// code ending in a line break, and a text for every code the library's
// directory and identity layers can produce.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "frame/system_messages.h"

namespace txads {
namespace {

TEST(SystemMessages, AreSortedByCodeWithoutDuplicates) {
  const SystemMessage* begin = system_messages_begin();
  const SystemMessage* end = system_messages_end();
  ASSERT_LT(begin, end);
  for (const SystemMessage* m = begin + 1; m != end; ++m) {
    EXPECT_LT(m[-1].code, m->code) << "row " << (m - begin);
  }
}

TEST(SystemMessages, AreOneSentenceEndingInALineBreak) {
  for (const SystemMessage* m = system_messages_begin(); m != system_messages_end(); ++m) {
    const std::string text = m->text;
    SCOPED_TRACE(m->code);
    ASSERT_GE(text.size(), 3u);
    EXPECT_TRUE(std::isupper(static_cast<unsigned char>(text[0])));
    EXPECT_EQ(text.substr(text.size() - 2), ".\n");
    EXPECT_EQ(text.find('\n'), text.size() - 1);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.find('%'), std::string::npos) << "no insert sequences";
    // A second sentence would start after ". " with a capital letter.
    for (size_t dot = text.find(". "); dot != std::string::npos; dot = text.find(". ", dot + 1)) {
      EXPECT_FALSE(std::isupper(static_cast<unsigned char>(text[dot + 2]))) << text;
    }
  }
}

TEST(SystemMessages, CoverEveryCodeTheLibraryProduces) {
  const uint32_t codes[] = {
      // what LDAP result codes map to
      0x2020, 0x2021, 0x2022, 0x2023, 0x2024, 0x2025, 0x2026, 0x2027, 0x2028, 0x202B, 0x202C,
      0x202D, 0x200A, 0x200C, 0x202E, 0x202F, 0x200D, 0x200B, 0x2030, 0x2031, 0x2032, 0x2033,
      0x2034, 0x2035, 0x2036, 0x2037, 0x2014, 0x2015, 0x2016, 0x2017, 0x2038, 0x2039, 0x203A,
      0x203B, 0x203C, 0x203D, 0x203E, 0x203F, 0x2040, 0x2041, 0x2042, 0x2043, 0x2044, 0x2098,
      0x208D, 0x2006, 0x2007, 0x202A, 0x2029,
      // name translation
      0x2115, 0x2116, 0x2117, 0x2118, 0x2119,
      // the platform stand-ins
      5010, 5, 87, 8, 14, 122, 1332, 1337, 1355, 1311, 1312, 1326, 1460, 1225, 1223, 1168, 2, 234,
      123, 1396, 1398, 1908, 1931};
  for (uint32_t code : codes) {
    EXPECT_STRNE(system_message(code), "") << "no text for " << code;
  }
}

TEST(SystemMessages, AreFoundThroughAFacilitySevenHresultToo) {
  EXPECT_STREQ(system_message(0x80072030u), system_message(0x2030));
  EXPECT_STREQ(system_message(0x80070005u), system_message(5));
}

TEST(SystemMessages, AreEmptyForCodesWithoutText) {
  for (uint32_t code : {0u, 1u, 3u, 0x1FFFu, 0xFFFFu, 0x80004005u, 0x80005000u}) {
    EXPECT_STREQ(system_message(code), "") << code;
  }
}

}  // namespace
}  // namespace txads
