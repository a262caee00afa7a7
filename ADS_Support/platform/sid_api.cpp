// The platform's SID functions over the Sid value type. Memory handed out is
// taken with malloc, so FreeSid and LocalFree may release either kind.
#include "platform/sid_api.h"

#include <cstdlib>
#include <cstring>

#include "frame/last_error.h"
#include "frame/win32_errors.h"
#include "platform/sid.h"

namespace txads {
namespace {

BOOL fail(uint32_t error) {
  SetLastError(error);
  return kBoolFalse;
}

// Copies `bytes` into fresh memory, terminated by one zero byte.
void* duplicate(const std::string& bytes) {
  void* memory = std::malloc(bytes.size() + 1);
  if (memory == nullptr) return nullptr;
  std::memcpy(memory, bytes.data(), bytes.size());
  static_cast<char*>(memory)[bytes.size()] = '\0';
  return memory;
}

}  // namespace

BOOL AllocateAndInitializeSid(const SID_IDENTIFIER_AUTHORITY* authority, BYTE count, DWORD sub0,
                              DWORD sub1, DWORD sub2, DWORD sub3, DWORD sub4, DWORD sub5,
                              DWORD sub6, DWORD sub7, PSID* sid) {
  if (authority == nullptr || sid == nullptr || count > 8)
    return fail(win32::ERROR_INVALID_PARAMETER);
  uint64_t value = 0;
  for (BYTE b : authority->Value) value = (value << 8) | b;
  const DWORD all[8] = {sub0, sub1, sub2, sub3, sub4, sub5, sub6, sub7};
  const auto made = Sid::make(value, std::vector<uint32_t>(all, all + count));
  void* memory = duplicate(made->to_bytes());
  if (memory == nullptr) return fail(win32::ERROR_NOT_ENOUGH_MEMORY);
  *sid = memory;
  return kBoolTrue;
}

void* FreeSid(PSID sid) {
  std::free(sid);
  return nullptr;
}

DWORD GetSidLengthRequired(BYTE count) {
  return 8 + 4 * DWORD{count};
}

BOOL IsValidSid(PSID sid) {
  return Sid::from_memory(sid).has_value() ? kBoolTrue : kBoolFalse;
}

DWORD GetLengthSid(PSID sid) {
  const auto parsed = Sid::from_memory(sid);
  return parsed ? static_cast<DWORD>(parsed->length()) : 0;
}

BOOL ConvertSidToStringSidA(PSID sid, char** text) {
  if (sid == nullptr || text == nullptr) return fail(win32::ERROR_INVALID_PARAMETER);
  const auto parsed = Sid::from_memory(sid);
  if (!parsed) return fail(win32::ERROR_INVALID_SID);
  void* memory = duplicate(parsed->to_string());
  if (memory == nullptr) return fail(win32::ERROR_NOT_ENOUGH_MEMORY);
  *text = static_cast<char*>(memory);
  return kBoolTrue;
}

BOOL ConvertStringSidToSidA(const char* text, PSID* sid) {
  if (text == nullptr || sid == nullptr) return fail(win32::ERROR_INVALID_PARAMETER);
  const auto parsed = Sid::parse(text);
  if (!parsed) return fail(win32::ERROR_INVALID_SID);
  void* memory = duplicate(parsed->to_bytes());
  if (memory == nullptr) return fail(win32::ERROR_NOT_ENOUGH_MEMORY);
  *sid = memory;
  return kBoolTrue;
}

HLOCAL LocalFree(HLOCAL memory) {
  std::free(memory);
  return nullptr;
}

}  // namespace txads
