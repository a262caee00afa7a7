// Output buffers are filled exactly as strncpy fills them, checked against
// strncpy itself at every length around the text's; zero, negative and null
// buffers are left alone, and nothing is ever written past the length.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "frame/output_buffer.h"

namespace txads {
namespace {

constexpr char kGuard = '\x7E';

TEST(OutputBuffer, MatchesStrncpyAtEveryLengthAroundTheText) {
  for (const std::string text : {"", "a", "CN=Ann,OU=Staff,DC=corp", "M\xFCller"}) {
    for (int length = 1; length <= static_cast<int>(text.size()) + 3; ++length) {
      std::string ours(static_cast<size_t>(length) + 8, kGuard);
      std::string reference = ours;
      OutputBuffer{ours.data(), length}.copy(text);
      std::strncpy(reference.data(), text.c_str(), static_cast<size_t>(length));
      EXPECT_EQ(ours, reference) << "text '" << text << "' length " << length;
    }
  }
}

TEST(OutputBuffer, OfExactlyTheTextLengthHasNoTerminator) {
  char buffer[6] = {kGuard, kGuard, kGuard, kGuard, kGuard, kGuard};
  OutputBuffer{buffer, 5}.copy("abcde");
  EXPECT_EQ(std::string(buffer, 6), std::string("abcde") + kGuard);
}

TEST(OutputBuffer, OfTextLengthPlusOneIsTerminated) {
  char buffer[7] = {kGuard, kGuard, kGuard, kGuard, kGuard, kGuard, kGuard};
  OutputBuffer{buffer, 6}.copy("abcde");
  EXPECT_EQ(std::string(buffer, 7), std::string("abcde\0", 6) + kGuard);
}

TEST(OutputBuffer, OfZeroNegativeOrNullIsNotWritten) {
  for (int length : {0, -1, -100, INT_MIN}) {
    std::string buffer(16, kGuard);
    OutputBuffer{buffer.data(), length}.copy("text");
    EXPECT_EQ(buffer, std::string(16, kGuard)) << length;
    EXPECT_FALSE((OutputBuffer{buffer.data(), length}.usable()));
  }
  OutputBuffer{nullptr, 16}.copy("text");  // must not crash
  EXPECT_FALSE((OutputBuffer{nullptr, 16}.usable()));
}

TEST(OutputBuffer, IsReadBackNoFurtherThanItsLength) {
  char unterminated[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ((OutputBuffer{unterminated, 4}.current()), "abcd");
  EXPECT_EQ((OutputBuffer{unterminated, 2}.current()), "ab");
  char terminated[4] = {'a', '\0', 'c', 'd'};
  EXPECT_EQ((OutputBuffer{terminated, 4}.current()), "a");
  EXPECT_EQ((OutputBuffer{terminated, 0}.current()), "");
  EXPECT_EQ((OutputBuffer{nullptr, 4}.current()), "");
}

}  // namespace
}  // namespace txads
