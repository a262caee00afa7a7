// GetStringFromSID writes the SID text strncpy-style: zero padding after a
// shorter text, no terminator when it fills the buffer, never a byte past
// the given length, and nothing at all for a SID that is not valid.
#include <gtest/gtest.h>

#include <string>

#include "accounts/sid_string.h"
#include "platform/sid_api.h"

namespace txads {
namespace {

constexpr char kGuard = '\x5a';

// A buffer of `length` bytes filled with '#', then eight guard bytes.
struct Guarded {
  explicit Guarded(int length) : bytes(static_cast<size_t>(length) + 8, '#'), length(length) {
    for (size_t i = static_cast<size_t>(length); i < bytes.size(); ++i) bytes[i] = kGuard;
  }
  bool guards_intact() const {
    for (size_t i = static_cast<size_t>(length); i < bytes.size(); ++i)
      if (bytes[i] != kGuard) return false;
    return true;
  }
  std::string written() const { return bytes.substr(0, static_cast<size_t>(length)); }
  std::string bytes;
  int length;
};

struct SidFixture : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(ConvertStringSidToSidA("S-1-5-21-7-8-9-1105", &sid)); }
  void TearDown() override { LocalFree(sid); }
  PSID sid = nullptr;
};

using SidTextBuffer = SidFixture;

TEST_F(SidTextBuffer, ShorterTextIsFollowedByZeros) {
  Guarded out(30);
  EXPECT_EQ(GetStringFromSID(sid, out.bytes.data(), out.length), 1);
  EXPECT_EQ(out.written(), std::string("S-1-5-21-7-8-9-1105") + std::string(11, '\0'));
  EXPECT_TRUE(out.guards_intact());
}

TEST_F(SidTextBuffer, ExactFitHasNoTerminator) {
  Guarded out(19);
  EXPECT_EQ(GetStringFromSID(sid, out.bytes.data(), out.length), 1);
  EXPECT_EQ(out.written(), "S-1-5-21-7-8-9-1105");
  EXPECT_TRUE(out.guards_intact());
}

TEST_F(SidTextBuffer, ShortBufferGetsTheFirstCharacters) {
  Guarded out(6);
  EXPECT_EQ(GetStringFromSID(sid, out.bytes.data(), out.length), 1);
  EXPECT_EQ(out.written(), "S-1-5-");
  EXPECT_TRUE(out.guards_intact());
}

TEST_F(SidTextBuffer, ZeroLengthWritesNothing) {
  Guarded out(0);
  EXPECT_EQ(GetStringFromSID(sid, out.bytes.data(), 0), 1);
  EXPECT_TRUE(out.guards_intact());
}

TEST_F(SidTextBuffer, NegativeLengthOrNullBufferWritesNothingAndFails) {
  Guarded out(0);
  EXPECT_EQ(GetStringFromSID(sid, out.bytes.data(), -5), 0);
  EXPECT_TRUE(out.guards_intact());
  EXPECT_EQ(GetStringFromSID(sid, nullptr, 40), 0);
}

TEST(SidTextOfNoSid, LeavesTheBufferUntouched) {
  unsigned char not_a_sid[16] = {7, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 33, 2, 0, 0};
  Guarded out(40);
  EXPECT_EQ(GetStringFromSID(not_a_sid, out.bytes.data(), out.length), 0);
  EXPECT_EQ(out.written(), std::string(40, '#'));
  EXPECT_EQ(GetStringFromSID(nullptr, out.bytes.data(), out.length), 0);
  EXPECT_EQ(out.written(), std::string(40, '#'));
}

}  // namespace
}  // namespace txads
