// The LDAP result table: each result code gives the HRESULT that the
// platform's LDAP provider gives for it.
#include <gtest/gtest.h>
#include <ldap.h>

#include "directory/status_map.h"

namespace txads::directory {
namespace {

struct Row {
  int ldap;
  uint32_t hresult;
};

TEST(LdapResults, MapToThePlatformsHresults) {
  const Row rows[] = {
      {LDAP_SUCCESS, 0x00000000},
      {LDAP_NO_SUCH_OBJECT, 0x80072030},
      {LDAP_INVALID_DN_SYNTAX, 0x80072032},
      {LDAP_UNWILLING_TO_PERFORM, 0x80072035},
      {LDAP_NOT_ALLOWED_ON_NONLEAF, 0x80072015},
      {LDAP_INSUFFICIENT_ACCESS, 0x80072098},
      {LDAP_SERVER_DOWN, 0x8007203A},
      {LDAP_CONNECT_ERROR, 0x8007203A},
      {LDAP_ALREADY_EXISTS, 0x80071392},
      {LDAP_TYPE_OR_VALUE_EXISTS, 0x8007200D},
      {LDAP_NO_SUCH_ATTRIBUTE, 0x8007200A},
      {LDAP_CONSTRAINT_VIOLATION, 0x8007202F},
      {LDAP_OBJECT_CLASS_VIOLATION, 0x80072014},
      {LDAP_NAMING_VIOLATION, 0x80072037},
      {LDAP_NOT_ALLOWED_ON_RDN, 0x80072016},
      {LDAP_OPERATIONS_ERROR, 0x80072020},
      {LDAP_PROTOCOL_ERROR, 0x80072021},
      {LDAP_TIMELIMIT_EXCEEDED, 0x80072022},
      {LDAP_SIZELIMIT_EXCEEDED, 0x80072023},
      {LDAP_ADMINLIMIT_EXCEEDED, 0x80072024},
      {LDAP_STRONG_AUTH_REQUIRED, 0x80072028},
      {LDAP_INAPPROPRIATE_AUTH, 0x80072029},
      {LDAP_INVALID_CREDENTIALS, 0x8007052E},
      {LDAP_REFERRAL, 0x8007202B},
      {LDAP_UNAVAILABLE_CRITICAL_EXTENSION, 0x8007202C},
      {LDAP_CONFIDENTIALITY_REQUIRED, 0x8007202D},
      {LDAP_UNDEFINED_TYPE, 0x8007200C},
      {LDAP_INVALID_SYNTAX, 0x8007200B},
      {LDAP_BUSY, 0x8007200E},
      {LDAP_UNAVAILABLE, 0x8007200F},
      {LDAP_LOOP_DETECT, 0x80072036},
      {LDAP_NO_OBJECT_CLASS_MODS, 0x80072017},
      {LDAP_OTHER, 0x80072095},
      {LDAP_LOCAL_ERROR, 0x8007203B},
      {LDAP_ENCODING_ERROR, 0x8007203C},
      {LDAP_DECODING_ERROR, 0x8007203D},
      {LDAP_TIMEOUT, 0x800705B4},
      {LDAP_AUTH_UNKNOWN, 0x8007202A},
      {LDAP_FILTER_ERROR, 0x8007203E},
      {LDAP_USER_CANCELLED, 0x800704C7},
      {LDAP_PARAM_ERROR, 0x8007203F},
      {LDAP_NO_MEMORY, 0x80070008},
      {LDAP_NOT_SUPPORTED, 0x80072040},
      {LDAP_CONTROL_NOT_FOUND, 0x80072042},
      {LDAP_NO_RESULTS_RETURNED, 0x80072041},
      {LDAP_CLIENT_LOOP, 0x80072043},
      {LDAP_REFERRAL_LIMIT_EXCEEDED, 0x80072044},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.ldap);
    EXPECT_EQ(status_from_ldap(row.ldap).bits(), row.hresult);
  }
}

TEST(LdapResults, NamedCodesAgreeWithTheTable) {
  EXPECT_EQ(status_from_ldap(LDAP_NO_SUCH_OBJECT), kNoSuchObject);
  EXPECT_EQ(status_from_ldap(LDAP_SERVER_DOWN), kServerDown);
  EXPECT_EQ(status_from_ldap(LDAP_ALREADY_EXISTS), kAlreadyExists);
  EXPECT_EQ(status_from_ldap(LDAP_NOT_ALLOWED_ON_NONLEAF), kNotAllowedOnNonLeaf);
  EXPECT_EQ(status_from_ldap(LDAP_TYPE_OR_VALUE_EXISTS), kAttributeOrValueExists);
  EXPECT_EQ(status_from_ldap(LDAP_NO_SUCH_ATTRIBUTE), kNoAttributeOrValue);
}

TEST(LdapResults, AnUnknownCodeIsAGenericDirectoryError) {
  EXPECT_EQ(status_from_ldap(4711).bits(), 0x80072095u);
  EXPECT_EQ(status_from_ldap(-4711).bits(), 0x80072095u);
  EXPECT_TRUE(status_from_ldap(4711).failed());
}

}  // namespace
}  // namespace txads::directory
