// Win32 error codes that the library produces, by their platform names.
#pragma once

#include <cstdint>

namespace txads::win32 {

inline constexpr uint32_t ERROR_SUCCESS = 0;
inline constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr uint32_t ERROR_ACCESS_DENIED = 5;
inline constexpr uint32_t ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr uint32_t ERROR_INVALID_DATA = 13;
inline constexpr uint32_t ERROR_OUTOFMEMORY = 14;
inline constexpr uint32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr uint32_t ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr uint32_t ERROR_INVALID_NAME = 123;
inline constexpr uint32_t ERROR_MORE_DATA = 234;
inline constexpr uint32_t ERROR_CANCELLED = 1223;
inline constexpr uint32_t ERROR_CONNECTION_REFUSED = 1225;
inline constexpr uint32_t ERROR_NOT_FOUND = 1168;
inline constexpr uint32_t ERROR_LOGON_FAILURE = 1326;
inline constexpr uint32_t ERROR_NONE_MAPPED = 1332;
inline constexpr uint32_t ERROR_INVALID_SID = 1337;
inline constexpr uint32_t ERROR_NO_SUCH_DOMAIN = 1355;
inline constexpr uint32_t ERROR_NO_LOGON_SERVERS = 1311;
inline constexpr uint32_t ERROR_NO_SUCH_USER = 1317;
inline constexpr uint32_t ERROR_TIMEOUT = 1460;
inline constexpr uint32_t ERROR_OBJECT_ALREADY_EXISTS = 5010;
inline constexpr uint32_t ERROR_NO_SUCH_LOGON_SESSION = 1312;

}  // namespace txads::win32
