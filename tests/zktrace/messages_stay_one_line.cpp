// Whatever a message holds (line breaks, control bytes, a caller's huge
// buffer), one call gives exactly one line in the file.
#include <gtest/gtest.h>

#include <string>

#include "trace_capture.h"
#include "zktrace.h"

namespace {

struct Case {
  const char* name;
  std::string argument;  // fed to "<%s>\n"
  std::string message;   // expected message field
};

TEST(Messages, StayOneLineWithTheirBytesEscaped) {
  const Case cases[] = {
      {"plain", "abc", "<abc>"},
      {"inner line break", "a\nb", "<a\\nb>"},
      {"carriage return", "a\r\nb", "<a\\r\\nb>"},
      {"control byte",
       std::string("a\x01"
                   "b\x7f"),
       "<a\\x01b\\x7F>"},
      {"eight-bit text passes", "M\xfcller", "<M\xfcller>"},
      {"separator inside the message", "a | b", "<a | b>"},
      {"empty", "", "<>"},
  };
  for (const Case& c : cases) {
    const auto result = trace_capture::run_traced([&] {
      ZKTrace(6, "c", "<%s>\n", c.argument.c_str());
      return 0;
    });
    ASSERT_EQ(result.lines.size(), 1u) << c.name;
    EXPECT_EQ(result.lines[0].message, c.message) << c.name;
  }
}

TEST(Messages, LoseOnlyTheirOwnTrailingLineBreaks) {
  const auto result = trace_capture::run_traced([] {
    ZKTrace(6, "c", "two breaks\n\n");
    ZKTrace(6, "c", "no break");
    return 0;
  });
  ASSERT_EQ(result.lines.size(), 2u);
  EXPECT_EQ(result.lines[0].message, "two breaks");
  EXPECT_EQ(result.lines[1].message, "no break");
}

TEST(Messages, LongerThanTheStackBufferAreKeptWhole) {
  const std::string big(20000, 'x');
  const auto result = trace_capture::run_traced([&] {
    ZKTrace(6, "c", "'%s'\n", big.c_str());
    return 0;
  });
  ASSERT_EQ(result.lines.size(), 1u);
  EXPECT_EQ(result.lines[0].message, "'" + big + "'");
}

TEST(Messages, BeyondTheLimitAreCutAndSaySo) {
  const std::string huge(200000, 'y');
  const auto result = trace_capture::run_traced([&] {
    ZKTrace(6, "c", "%s\n", huge.c_str());
    ZKTrace(6, "c", "next\n");
    return 0;
  });
  ASSERT_EQ(result.lines.size(), 2u);
  const std::string& cut = result.lines[0].message;
  ASSERT_GT(cut.size(), 3u);
  EXPECT_EQ(cut.substr(cut.size() - 3), "...");
  EXPECT_LT(cut.size(), 70000u);
  EXPECT_GT(cut.size(), 60000u);
  EXPECT_EQ(cut.find_first_not_of('y'), cut.size() - 3);
  EXPECT_EQ(result.lines[1].message, "next");
}

}  // namespace
