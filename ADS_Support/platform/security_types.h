// The security types of the platform, with its names and binary layouts.
// A SID in memory is exactly the layout of the directory's objectSid:
// revision (1 byte, always 1), sub-authority count (1 byte, at most 15),
// identifier authority (6 bytes, big-endian), then the sub-authorities as
// 32-bit little-endian integers. A PSID points at such bytes.
#pragma once

#include <cstdint>

namespace txads {

using BOOL = int;
using BYTE = uint8_t;
using DWORD = uint32_t;
using PSID = void*;
using HLOCAL = void*;

inline constexpr BOOL kBoolTrue = 1;
inline constexpr BOOL kBoolFalse = 0;

struct SID_IDENTIFIER_AUTHORITY {
  BYTE Value[6];
};
using PSID_IDENTIFIER_AUTHORITY = SID_IDENTIFIER_AUTHORITY*;

inline constexpr BYTE SID_REVISION = 1;
inline constexpr BYTE SID_MAX_SUB_AUTHORITIES = 15;

inline constexpr SID_IDENTIFIER_AUTHORITY SECURITY_NULL_SID_AUTHORITY = {{0, 0, 0, 0, 0, 0}};
inline constexpr SID_IDENTIFIER_AUTHORITY SECURITY_WORLD_SID_AUTHORITY = {{0, 0, 0, 0, 0, 1}};
inline constexpr SID_IDENTIFIER_AUTHORITY SECURITY_NT_AUTHORITY = {{0, 0, 0, 0, 0, 5}};

inline constexpr DWORD SECURITY_BUILTIN_DOMAIN_RID = 32;
inline constexpr DWORD DOMAIN_GROUP_RID_USERS = 513;
inline constexpr DWORD DOMAIN_GROUP_RID_COMPUTERS = 515;

enum SID_NAME_USE : int {
  SidTypeUser = 1,
  SidTypeGroup,
  SidTypeDomain,
  SidTypeAlias,
  SidTypeWellKnownGroup,
  SidTypeDeletedAccount,
  SidTypeInvalid,
  SidTypeUnknown,
  SidTypeComputer,
  SidTypeLabel,
};

}  // namespace txads
