// Every failure an LDAP result (the server's or libldap's own) maps to has a
// text: a caller never gets -1 with an empty error buffer for a directory
// failure. (The codes themselves: tests/directory/unit.)
#include <gtest/gtest.h>

#include <string>

#include "directory/status_map.h"
#include "frame/error_text.h"
#include "support/guarded_buffer.h"

namespace txads {
namespace {

TEST(StatusMap, GivesATextForEveryFailure) {
  // Every row of the map lies in this range, and so does the default.
  for (int ldap = -128; ldap < 256; ++ldap) {
    const Status status = directory::status_from_ldap(ldap);
    if (status.ok()) continue;
    txads_test::GuardedBuffer error(300);
    GetADSErrorText(status, {error.data(), 300});
    EXPECT_NE(error.text(), "") << "LDAP result " << ldap << ": 0x" << std::hex << status.bits();
  }
}

}  // namespace
}  // namespace txads
