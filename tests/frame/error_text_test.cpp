#include <gtest/gtest.h>

#include <string>

#include "frame/error_text.h"

namespace txads {
namespace {

TEST(ErrorText, TableNameIsFollowedByZeroBytesOverTheWholeBuffer) {
  std::string buf(64, 'x');
  GetADSErrorText(kBadPathname, {buf.data(), 64});
  EXPECT_EQ(std::string(buf.c_str()), "E_ADS_BAD_PATHNAME");
  EXPECT_EQ(buf.find_first_not_of('\0', 18), std::string::npos);
}

}  // namespace
}  // namespace txads
