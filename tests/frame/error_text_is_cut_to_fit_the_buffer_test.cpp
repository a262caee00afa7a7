// GetADSErrorText writes at most length - 1 characters and a zero, fills the
// rest of the buffer with zeros, and writes nothing at all for a zero or
// negative length. Every buffer here has guard bytes after it that must stay.
#include <gtest/gtest.h>

#include <string>

#include "frame/error_text.h"
#include "frame/system_messages.h"

namespace txads {
namespace {

constexpr char kGuard = '\x7E';
constexpr size_t kGuardBytes = 16;

// The buffer's bytes, after checking that the guard bytes after it survived.
std::string write_error_text(uint32_t code, int length, char fill = 'x') {
  const size_t size = length > 0 ? static_cast<size_t>(length) : 0;
  std::string storage(size + kGuardBytes, kGuard);
  std::fill_n(storage.begin(), size, fill);
  GetADSErrorText(Status(code), {storage.data(), length});
  EXPECT_EQ(storage.substr(size), std::string(kGuardBytes, kGuard)) << "written past the buffer";
  return storage.substr(0, size);
}

std::string padded(const std::string& text, size_t length) {
  return text + std::string(length - text.size(), '\0');
}

TEST(ErrorTextCut, KeepsLengthMinusOneCharactersAndAZero) {
  EXPECT_EQ(write_error_text(0x80005000, 10), padded("E_ADS_BAD", 10));
  EXPECT_EQ(write_error_text(0x80005000, 64), padded("E_ADS_BAD_PATHNAME", 64));
  EXPECT_EQ(write_error_text(0x80005000, 19), padded("E_ADS_BAD_PATHNAME", 19));  // just fits
  EXPECT_EQ(write_error_text(0x80005000, 18), padded("E_ADS_BAD_PATHNAM", 18));
  EXPECT_EQ(write_error_text(0x80004005, 5), padded("8000", 5));
  EXPECT_EQ(write_error_text(0x80004005, 2), padded("8", 2));
}

TEST(ErrorTextCut, OfLengthOneIsJustTheZero) {
  EXPECT_EQ(write_error_text(0x80005000, 1), std::string(1, '\0'));
}

TEST(ErrorTextCut, LeavesABufferOfZeroOrNegativeLengthUntouched) {
  for (int length : {0, -1, -64, INT32_MIN}) {
    std::string storage(32, kGuard);
    GetADSErrorText(Status(0x80005000u), {storage.data(), length});
    EXPECT_EQ(storage, std::string(32, kGuard)) << length;
  }
}

TEST(ErrorTextCut, IgnoresANullBuffer) {
  GetADSErrorText(Status(0x80005000u), {nullptr, 64});  // must not crash
  SUCCEED();
}

// Test seam: texts that our message table does not hold.
class InjectedMessages : public ::testing::Test {
 protected:
  static const char* lookup(uint32_t code) {
    if (code == 0x1111) return long_text().c_str();
    if (code == 0x2222) return "The object %1 cannot be found.\n";
    if (code == 0x3333) return "Done at 100% of the quota.\n";
    return "";
  }
  static const std::string& long_text() {
    static const std::string text = [] {
      std::string t;
      for (int i = 0; t.size() < 400; ++i) t += static_cast<char>('a' + i % 26);
      return t + "\n";
    }();
    return text;
  }
  void SetUp() override { previous_ = testing::replace_system_messages(&lookup); }
  void TearDown() override { testing::replace_system_messages(previous_); }

 private:
  testing::MessageLookup previous_ = nullptr;
};

TEST_F(InjectedMessages, ASystemTextIsCutTo299CharactersFirst) {
  const std::string buffer = write_error_text(0x80071111, 512);
  EXPECT_EQ(buffer, padded(long_text().substr(0, 299), 512));
}

TEST_F(InjectedMessages, ThenTheBufferLengthCutsAgain) {
  EXPECT_EQ(write_error_text(0x80071111, 100), padded(long_text().substr(0, 99), 100));
  EXPECT_EQ(write_error_text(0x80071111, 300), padded(long_text().substr(0, 299), 300));
  EXPECT_EQ(write_error_text(0x80071111, 301), padded(long_text().substr(0, 299), 301));
}

TEST_F(InjectedMessages, ASystemTextWithInsertSequencesGivesTheEmptyText) {
  EXPECT_EQ(write_error_text(0x80072222, 64), std::string(64, '\0'));
}

TEST_F(InjectedMessages, APercentSignThatIsNoInsertIsKept) {
  EXPECT_EQ(write_error_text(0x80073333, 64), padded("Done at 100% of the quota.\n", 64));
}

}  // namespace
}  // namespace txads
