// Win32 error codes that the library produces, by their platform names. Each
// has an English text in system_messages.cpp. The identity stand-ins report
// Kerberos trouble with the codes in the last block.
#pragma once

#include <cstdint>

namespace txads::win32 {

inline constexpr uint32_t ERROR_SUCCESS = 0;
inline constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr uint32_t ERROR_ACCESS_DENIED = 5;
inline constexpr uint32_t ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr uint32_t ERROR_INVALID_DATA = 13;
inline constexpr uint32_t ERROR_OUTOFMEMORY = 14;
inline constexpr uint32_t ERROR_NOT_SUPPORTED = 50;
inline constexpr uint32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr uint32_t ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr uint32_t ERROR_INVALID_NAME = 123;
inline constexpr uint32_t ERROR_MORE_DATA = 234;
inline constexpr uint32_t ERROR_PROCESS_ABORTED = 1067;
inline constexpr uint32_t ERROR_NOT_FOUND = 1168;
inline constexpr uint32_t ERROR_CANCELLED = 1223;
inline constexpr uint32_t ERROR_CONNECTION_REFUSED = 1225;
inline constexpr uint32_t ERROR_NETWORK_UNREACHABLE = 1231;
inline constexpr uint32_t ERROR_HOST_UNREACHABLE = 1232;
inline constexpr uint32_t ERROR_REVISION_MISMATCH = 1306;
inline constexpr uint32_t ERROR_NO_LOGON_SERVERS = 1311;
inline constexpr uint32_t ERROR_NO_SUCH_LOGON_SESSION = 1312;
inline constexpr uint32_t ERROR_NO_SUCH_USER = 1317;
inline constexpr uint32_t ERROR_LOGON_FAILURE = 1326;
inline constexpr uint32_t ERROR_NONE_MAPPED = 1332;
inline constexpr uint32_t ERROR_INVALID_SID = 1337;
inline constexpr uint32_t ERROR_NO_SUCH_DOMAIN = 1355;
inline constexpr uint32_t ERROR_INTERNAL_ERROR = 1359;
inline constexpr uint32_t ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr uint32_t ERROR_REQUIRES_INTERACTIVE_WINDOWSTATION = 1459;
inline constexpr uint32_t ERROR_TIMEOUT = 1460;
inline constexpr uint32_t ERROR_OBJECT_ALREADY_EXISTS = 5010;

// Directory errors: the LDAP result codes map onto these.
inline constexpr uint32_t ERROR_DS_BUSY = 0x200E;
inline constexpr uint32_t ERROR_DS_UNAVAILABLE = 0x200F;
inline constexpr uint32_t ERROR_DS_NO_ATTRIBUTE_OR_VALUE = 0x200A;
inline constexpr uint32_t ERROR_DS_INVALID_ATTRIBUTE_SYNTAX = 0x200B;
inline constexpr uint32_t ERROR_DS_ATTRIBUTE_TYPE_UNDEFINED = 0x200C;
inline constexpr uint32_t ERROR_DS_ATTRIBUTE_OR_VALUE_EXISTS = 0x200D;
inline constexpr uint32_t ERROR_DS_OBJ_CLASS_VIOLATION = 0x2014;
inline constexpr uint32_t ERROR_DS_CANT_ON_NON_LEAF = 0x2015;
inline constexpr uint32_t ERROR_DS_CANT_ON_RDN = 0x2016;
inline constexpr uint32_t ERROR_DS_CANT_MOD_OBJ_CLASS = 0x2017;
inline constexpr uint32_t ERROR_DS_OPERATIONS_ERROR = 0x2020;
inline constexpr uint32_t ERROR_DS_PROTOCOL_ERROR = 0x2021;
inline constexpr uint32_t ERROR_DS_TIMELIMIT_EXCEEDED = 0x2022;
inline constexpr uint32_t ERROR_DS_SIZELIMIT_EXCEEDED = 0x2023;
inline constexpr uint32_t ERROR_DS_ADMIN_LIMIT_EXCEEDED = 0x2024;
inline constexpr uint32_t ERROR_DS_COMPARE_FALSE = 0x2025;
inline constexpr uint32_t ERROR_DS_COMPARE_TRUE = 0x2026;
inline constexpr uint32_t ERROR_DS_AUTH_METHOD_NOT_SUPPORTED = 0x2027;
inline constexpr uint32_t ERROR_DS_STRONG_AUTH_REQUIRED = 0x2028;
inline constexpr uint32_t ERROR_DS_INAPPROPRIATE_AUTH = 0x2029;
inline constexpr uint32_t ERROR_DS_AUTH_UNKNOWN = 0x202A;
inline constexpr uint32_t ERROR_DS_REFERRAL = 0x202B;
inline constexpr uint32_t ERROR_DS_UNAVAILABLE_CRIT_EXTENSION = 0x202C;
inline constexpr uint32_t ERROR_DS_CONFIDENTIALITY_REQUIRED = 0x202D;
inline constexpr uint32_t ERROR_DS_INAPPROPRIATE_MATCHING = 0x202E;
inline constexpr uint32_t ERROR_DS_CONSTRAINT_VIOLATION = 0x202F;
inline constexpr uint32_t ERROR_DS_NO_SUCH_OBJECT = 0x2030;
inline constexpr uint32_t ERROR_DS_ALIAS_PROBLEM = 0x2031;
inline constexpr uint32_t ERROR_DS_INVALID_DN_SYNTAX = 0x2032;
inline constexpr uint32_t ERROR_DS_IS_LEAF = 0x2033;
inline constexpr uint32_t ERROR_DS_ALIAS_DEREF_PROBLEM = 0x2034;
inline constexpr uint32_t ERROR_DS_UNWILLING_TO_PERFORM = 0x2035;
inline constexpr uint32_t ERROR_DS_LOOP_DETECT = 0x2036;
inline constexpr uint32_t ERROR_DS_NAMING_VIOLATION = 0x2037;
inline constexpr uint32_t ERROR_DS_OBJECT_RESULTS_TOO_LARGE = 0x2038;
inline constexpr uint32_t ERROR_DS_AFFECTS_MULTIPLE_DSAS = 0x2039;
inline constexpr uint32_t ERROR_DS_SERVER_DOWN = 0x203A;
inline constexpr uint32_t ERROR_DS_LOCAL_ERROR = 0x203B;
inline constexpr uint32_t ERROR_DS_ENCODING_ERROR = 0x203C;
inline constexpr uint32_t ERROR_DS_DECODING_ERROR = 0x203D;
inline constexpr uint32_t ERROR_DS_FILTER_UNKNOWN = 0x203E;
inline constexpr uint32_t ERROR_DS_PARAM_ERROR = 0x203F;
inline constexpr uint32_t ERROR_DS_NOT_SUPPORTED = 0x2040;
inline constexpr uint32_t ERROR_DS_NO_RESULTS_RETURNED = 0x2041;
inline constexpr uint32_t ERROR_DS_CONTROL_NOT_FOUND = 0x2042;
inline constexpr uint32_t ERROR_DS_CLIENT_LOOP = 0x2043;
inline constexpr uint32_t ERROR_DS_REFERRAL_LIMIT_EXCEEDED = 0x2044;
inline constexpr uint32_t ERROR_DS_SORT_CONTROL_MISSING = 0x2045;
inline constexpr uint32_t ERROR_DS_OFFSET_RANGE_ERROR = 0x2046;
inline constexpr uint32_t ERROR_DS_GENERIC_ERROR = 0x2095;
inline constexpr uint32_t ERROR_DS_INSUFF_ACCESS_RIGHTS = 0x2098;

// Name translation through the global catalog.
inline constexpr uint32_t ERROR_DS_NAME_ERROR_RESOLVING = 0x2115;
inline constexpr uint32_t ERROR_DS_NAME_ERROR_NOT_FOUND = 0x2116;
inline constexpr uint32_t ERROR_DS_NAME_ERROR_NOT_UNIQUE = 0x2117;
inline constexpr uint32_t ERROR_DS_NAME_ERROR_NO_MAPPING = 0x2118;
inline constexpr uint32_t ERROR_DS_NAME_ERROR_DOMAIN_ONLY = 0x2119;

// Kerberos and identity: what the stand-ins for the caller's security
// context report.
inline constexpr uint32_t ERROR_NO_CREDENTIAL_CACHE =
    ERROR_NO_SUCH_LOGON_SESSION;                           // no ticket cache
inline constexpr uint32_t ERROR_WRONG_TARGET_NAME = 1396;  // server principal unknown to the KDC
inline constexpr uint32_t ERROR_TIME_SKEW = 1398;          // clocks too far apart
inline constexpr uint32_t ERROR_DOMAIN_CONTROLLER_NOT_FOUND = 1908;  // no KDC or server reachable
inline constexpr uint32_t ERROR_CONTEXT_EXPIRED = 1931;              // ticket expired

// Identity of the current station and token.
inline constexpr uint32_t ERROR_INVALID_HANDLE = 6;           // a token other than the caller's
inline constexpr uint32_t ERROR_BUFFER_OVERFLOW = 111;        // name longer than the buffer
inline constexpr uint32_t ERROR_NO_TRUST_SAM_ACCOUNT = 1787;  // no computer account for this host

}  // namespace txads::win32
