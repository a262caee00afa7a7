// LDAP result codes to Win32 codes: the table the platform's LDAP provider
// uses, extended with libldap's client-side codes. A failed connection is
// reported as "server down", as the provider reports every unreachable
// server.
#include "directory/status_map.h"

#include <ldap.h>

#include <iterator>

namespace txads::directory {
namespace {

struct Row {
  int ldap;
  uint32_t win32;
};

constexpr uint32_t ERROR_DS_GENERIC_ERROR = 8341;

constexpr Row kRows[] = {
    {LDAP_SUCCESS, 0},
    {LDAP_OPERATIONS_ERROR, 8224},                // ERROR_DS_OPERATIONS_ERROR
    {LDAP_PROTOCOL_ERROR, 8225},                  // ERROR_DS_PROTOCOL_ERROR
    {LDAP_TIMELIMIT_EXCEEDED, 8226},              // ERROR_DS_TIMELIMIT_EXCEEDED
    {LDAP_SIZELIMIT_EXCEEDED, 8227},              // ERROR_DS_SIZELIMIT_EXCEEDED
    {LDAP_COMPARE_FALSE, 8229},                   // ERROR_DS_COMPARE_FALSE
    {LDAP_COMPARE_TRUE, 8230},                    // ERROR_DS_COMPARE_TRUE
    {LDAP_AUTH_METHOD_NOT_SUPPORTED, 8231},       // ERROR_DS_AUTH_METHOD_NOT_SUPPORTED
    {LDAP_STRONG_AUTH_REQUIRED, 8232},            // ERROR_DS_STRONG_AUTH_REQUIRED
    {LDAP_PARTIAL_RESULTS, 234},                  // ERROR_MORE_DATA
    {LDAP_REFERRAL, 8235},                        // ERROR_DS_REFERRAL
    {LDAP_ADMINLIMIT_EXCEEDED, 8228},             // ERROR_DS_ADMIN_LIMIT_EXCEEDED
    {LDAP_UNAVAILABLE_CRITICAL_EXTENSION, 8236},  // ERROR_DS_UNAVAILABLE_CRIT_EXTENSION
    {LDAP_CONFIDENTIALITY_REQUIRED, 8237},        // ERROR_DS_CONFIDENTIALITY_REQUIRED
    {LDAP_NO_SUCH_ATTRIBUTE, 8202},               // ERROR_DS_NO_ATTRIBUTE_OR_VALUE
    {LDAP_UNDEFINED_TYPE, 8204},                  // ERROR_DS_ATTRIBUTE_TYPE_UNDEFINED
    {LDAP_INAPPROPRIATE_MATCHING, 8238},          // ERROR_DS_INAPPROPRIATE_MATCHING
    {LDAP_CONSTRAINT_VIOLATION, 8239},            // ERROR_DS_CONSTRAINT_VIOLATION
    {LDAP_TYPE_OR_VALUE_EXISTS, 8205},            // ERROR_DS_ATTRIBUTE_OR_VALUE_EXISTS
    {LDAP_INVALID_SYNTAX, 8203},                  // ERROR_DS_INVALID_ATTRIBUTE_SYNTAX
    {LDAP_NO_SUCH_OBJECT, 8240},                  // ERROR_DS_NO_SUCH_OBJECT
    {LDAP_ALIAS_PROBLEM, 8241},                   // ERROR_DS_ALIAS_PROBLEM
    {LDAP_INVALID_DN_SYNTAX, 8242},               // ERROR_DS_INVALID_DN_SYNTAX
    {LDAP_IS_LEAF, 8243},                         // ERROR_DS_IS_LEAF
    {LDAP_ALIAS_DEREF_PROBLEM, 8244},             // ERROR_DS_ALIAS_DEREF_PROBLEM
    {LDAP_INAPPROPRIATE_AUTH, 8233},              // ERROR_DS_INAPPROPRIATE_AUTH
    {LDAP_INVALID_CREDENTIALS, 1326},             // ERROR_LOGON_FAILURE
    {LDAP_INSUFFICIENT_ACCESS, 8344},             // ERROR_DS_INSUFF_ACCESS_RIGHTS
    {LDAP_BUSY, 8206},                            // ERROR_DS_BUSY
    {LDAP_UNAVAILABLE, 8207},                     // ERROR_DS_UNAVAILABLE
    {LDAP_UNWILLING_TO_PERFORM, 8245},            // ERROR_DS_UNWILLING_TO_PERFORM
    {LDAP_LOOP_DETECT, 8246},                     // ERROR_DS_LOOP_DETECT
    {0x3C, 8261},                          // sortControlMissing: ERROR_DS_SORT_CONTROL_MISSING
    {0x3D, 8262},                          // offsetRangeError: ERROR_DS_OFFSET_RANGE_ERROR
    {LDAP_NAMING_VIOLATION, 8247},         // ERROR_DS_NAMING_VIOLATION
    {LDAP_OBJECT_CLASS_VIOLATION, 8212},   // ERROR_DS_OBJ_CLASS_VIOLATION
    {LDAP_NOT_ALLOWED_ON_NONLEAF, 8213},   // ERROR_DS_CANT_ON_NON_LEAF
    {LDAP_NOT_ALLOWED_ON_RDN, 8214},       // ERROR_DS_CANT_ON_RDN
    {LDAP_ALREADY_EXISTS, 5010},           // ERROR_OBJECT_ALREADY_EXISTS
    {LDAP_NO_OBJECT_CLASS_MODS, 8215},     // ERROR_DS_CANT_MOD_OBJ_CLASS
    {LDAP_RESULTS_TOO_LARGE, 8248},        // ERROR_DS_OBJECT_RESULTS_TOO_LARGE
    {LDAP_AFFECTS_MULTIPLE_DSAS, 8249},    // ERROR_DS_AFFECTS_MULTIPLE_DSAS
    {LDAP_OTHER, ERROR_DS_GENERIC_ERROR},  // ERROR_DS_GENERIC_ERROR
    // libldap's client-side codes.
    {LDAP_SERVER_DOWN, 8250},              // ERROR_DS_SERVER_DOWN
    {LDAP_LOCAL_ERROR, 8251},              // ERROR_DS_LOCAL_ERROR
    {LDAP_ENCODING_ERROR, 8252},           // ERROR_DS_ENCODING_ERROR
    {LDAP_DECODING_ERROR, 8253},           // ERROR_DS_DECODING_ERROR
    {LDAP_TIMEOUT, 1460},                  // ERROR_TIMEOUT
    {LDAP_AUTH_UNKNOWN, 8234},             // ERROR_DS_AUTH_UNKNOWN
    {LDAP_FILTER_ERROR, 8254},             // ERROR_DS_FILTER_UNKNOWN
    {LDAP_USER_CANCELLED, 1223},           // ERROR_CANCELLED
    {LDAP_PARAM_ERROR, 8255},              // ERROR_DS_PARAM_ERROR
    {LDAP_NO_MEMORY, 8},                   // ERROR_NOT_ENOUGH_MEMORY
    {LDAP_CONNECT_ERROR, 8250},            // unreachable: ERROR_DS_SERVER_DOWN
    {LDAP_NOT_SUPPORTED, 8256},            // ERROR_DS_NOT_SUPPORTED
    {LDAP_CONTROL_NOT_FOUND, 8258},        // ERROR_DS_CONTROL_NOT_FOUND
    {LDAP_NO_RESULTS_RETURNED, 8257},      // ERROR_DS_NO_RESULTS_RETURNED
    {LDAP_MORE_RESULTS_TO_RETURN, 234},    // ERROR_MORE_DATA
    {LDAP_CLIENT_LOOP, 8259},              // ERROR_DS_CLIENT_LOOP
    {LDAP_REFERRAL_LIMIT_EXCEEDED, 8260},  // ERROR_DS_REFERRAL_LIMIT_EXCEEDED
};

}  // namespace

uint32_t win32_from_ldap(int ldap_result) {
  for (const Row& row : kRows) {
    if (row.ldap == ldap_result) return row.win32;
  }
  return ERROR_DS_GENERIC_ERROR;
}

Status status_from_ldap(int ldap_result) {
  return Status::from_win32(win32_from_ldap(ldap_result));
}

}  // namespace txads::directory
