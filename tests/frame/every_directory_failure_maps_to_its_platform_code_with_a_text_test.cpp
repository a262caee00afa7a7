// Every LDAP result, the server's and libldap's own, becomes the platform's
// code for it, and every failure among them has a text: a caller never gets
// -1 with an empty error buffer for a directory failure.
#include <gtest/gtest.h>
#include <ldap.h>

#include <string>

#include "directory/status_map.h"
#include "frame/error_text.h"
#include "frame/system_messages.h"
#include "support/guarded_buffer.h"

namespace txads {
namespace {

TEST(StatusMap, GivesThePlatformsCodes) {
  const struct {
    int ldap;
    uint32_t hresult;
  } rows[] = {
      {LDAP_SUCCESS, 0},
      {LDAP_BUSY, 0x8007200E},
      {LDAP_UNAVAILABLE, 0x8007200F},
      {LDAP_OTHER, 0x80072095},
      {0x3C, 0x80072045},  // sortControlMissing
      {0x3D, 0x80072046},  // offsetRangeError
      {LDAP_NO_SUCH_OBJECT, 0x80072030},
      {LDAP_INSUFFICIENT_ACCESS, 0x80072098},
      {LDAP_ALREADY_EXISTS, 0x80071392},
      {LDAP_SERVER_DOWN, 0x8007203A},
      {LDAP_CONNECT_ERROR, 0x8007203A},
      {LDAP_LOCAL_ERROR, 0x8007203B},
      {LDAP_TIMEOUT, 0x800705B4},
      {12345, 0x80072095},  // a code without a row: "other"
  };
  for (const auto& row : rows)
    EXPECT_EQ(directory::status_from_ldap(row.ldap).bits(), row.hresult) << row.ldap;
}

TEST(StatusMap, GivesATextForEveryFailure) {
  // Every row of the map lies in this range, and so does the default.
  for (int ldap = -128; ldap < 256; ++ldap) {
    const Status status = directory::status_from_ldap(ldap);
    if (status.ok()) continue;
    txads_test::GuardedBuffer error(300);
    GetADSErrorText(status, {error.data(), 300});
    EXPECT_NE(error.text(), "") << "LDAP result " << ldap << ": 0x" << std::hex << status.bits();
    EXPECT_EQ(error.text(), system_message(status.bits()));
  }
}

}  // namespace
}  // namespace txads
