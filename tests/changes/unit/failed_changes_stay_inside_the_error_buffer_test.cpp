// An error text is written zero-filled over the buffer's length and cut to
// length - 1 bytes; nothing is written past the length, and a zero or
// negative length writes nothing. Paths that are not LDAP paths fail before
// any directory is asked, so no directory is needed here.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "txads.h"

namespace {

constexpr char kFill = '#';
constexpr int kGuard = 32;
const std::string kBadPath = "E_ADS_BAD_PATHNAME";  // the text of an unparsable path

using Call = std::function<int(char*, int)>;

struct Export {
  const char* name;
  Call call;
};

const Export kExports[] = {
    {"TXADDeleteOU", [](char* e, int n) { return TXADDeleteOU("ldap://x", "u", e, n); }},
    {"TXADCreateOU", [](char* e, int n) { return TXADCreateOU("ldap://x", "u", e, n); }},
    {"TXADMoveOUToContainer",
     [](char* e, int n) { return TXADMoveOUToContainer("LDAP://OU=u", "", e, n); }},
    {"TXADAddStationToContainer",
     [](char* e, int n) { return TXADAddStationToContainer("PC", "x", e, n); }},
    {"TXADDeleteStationFromContainer",
     [](char* e, int n) { return TXADDeleteStationFromContainer("PC", nullptr, e, n); }},
    {"TXADMoveUserToContainer",
     [](char* e, int n) { return TXADMoveUserToContainer("Ann", "x", "y", e, n); }},
    {"TXADMoveStationToContainer",
     [](char* e, int n) { return TXADMoveStationToContainer(nullptr, nullptr, nullptr, e, n); }},
    {"TXADAddStationToGroup",
     [](char* e, int n) { return TXADAddStationToGroup("PC", "", "LDAP://CN=g", e, n); }},
    {"TXADDeleteStationFromGroup",
     [](char* e, int n) { return TXADDeleteStationFromGroup(nullptr, "", nullptr, e, n); }},
};

TEST(FailedChangesStayInsideTheErrorBuffer, TheTextIsCutAndZeroFilledToTheLength) {
  for (const auto& e : kExports) {
    for (int length : {1, 2, 10, 18, 19, 64}) {
      std::string buffer(static_cast<size_t>(length + kGuard), kFill);
      EXPECT_EQ(e.call(buffer.data(), length), -1) << e.name;
      const size_t kept = std::min<size_t>(kBadPath.size(), static_cast<size_t>(length - 1));
      std::string expected = kBadPath.substr(0, kept);
      expected.resize(static_cast<size_t>(length), '\0');
      EXPECT_EQ(buffer.substr(0, static_cast<size_t>(length)), expected)
          << e.name << " length " << length;
      EXPECT_EQ(buffer.substr(static_cast<size_t>(length)), std::string(kGuard, kFill))
          << e.name << " length " << length;
    }
  }
}

TEST(FailedChangesStayInsideTheErrorBuffer, NoLengthOrNoBufferWritesNothing) {
  for (const auto& e : kExports) {
    for (int length : {0, -1, -1000}) {
      std::string buffer(kGuard, kFill);
      EXPECT_EQ(e.call(buffer.data(), length), -1) << e.name;
      EXPECT_EQ(buffer, std::string(kGuard, kFill)) << e.name << " length " << length;
    }
    EXPECT_EQ(e.call(nullptr, 64), -1) << e.name;
  }
}

TEST(FailedChangesStayInsideTheErrorBuffer, ThePathIsJudgedBeforeTheName) {
  const std::string too_long(297, 'n');
  char error[64];
  std::fill(std::begin(error), std::end(error), kFill);
  // The path is checked first and fails before the name is looked at.
  EXPECT_EQ(TXADCreateOU("ldap://x", too_long.c_str(), error, sizeof error), -1);
  EXPECT_EQ(std::string(error), kBadPath);
}

}  // namespace
