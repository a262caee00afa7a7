// objectSid comes back from the directory in its binary layout; tests compare
// SIDs as text, so the decoding must follow the layout exactly: revision,
// count, a 48-bit big-endian authority, little-endian sub-authorities.
#include <gtest/gtest.h>

#include "support/domain.h"

namespace {

using txads_test::sid_text;

std::string bytes(std::initializer_list<int> values) {
  std::string b;
  for (int v : values) b += static_cast<char>(v);
  return b;
}

TEST(SidText, DecodesWellKnownAndDomainSids) {
  struct Case {
    std::string binary;
    const char* text;
  };
  const Case cases[] = {
      {bytes({1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}), "S-1-1-0"},                     // Everyone
      {bytes({1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 33, 2, 0, 0}), "S-1-5-32-545"},  // Users
      {bytes({1,    5,    0,    0,    0,    0,    0,    5,    21,   0,    0,    0,    0xbf, 0x4a,
              0x4a, 0x78, 0x00, 0x40, 0x06, 0x31, 0xb8, 0xf0, 0x2f, 0xf8, 0x01, 0x02, 0x00, 0x00}),
       "S-1-5-21-2018134719-822493184-4163891384-513"},
      {bytes({1, 0, 0, 0, 0, 0, 1, 0}), "S-1-256"},  // authority beyond one byte
  };
  for (const auto& c : cases) EXPECT_EQ(sid_text(c.binary), c.text);
}

TEST(SidText, RefusesALengthThatDisagreesWithTheCount) {
  EXPECT_THROW(sid_text(bytes({1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0})), std::invalid_argument);
  EXPECT_THROW(sid_text(bytes({1, 0, 0})), std::invalid_argument);
}

}  // namespace
