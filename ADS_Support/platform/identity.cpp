// The identity calls: the current user's and station's names.
#include "platform/identity.h"

#include <cstring>
#include <string>

#include "frame/conversions.h"
#include "frame/last_error.h"
#include "frame/win32_errors.h"
#include "platform/current_account.h"

namespace txads {
namespace {

// The platform's buffer protocol: the text and a zero when they fit, else
// nothing written and the size needed.
bool give(const std::string& text, char* buffer, uint32_t* size, uint32_t too_small) {
  const size_t needed = text.size() + 1;
  if (buffer == nullptr || *size < needed) {
    *size = static_cast<uint32_t>(needed);
    SetLastError(too_small);
    return false;
  }
  std::memcpy(buffer, text.c_str(), needed);
  *size = static_cast<uint32_t>(text.size());
  return true;
}

bool fail(uint32_t error) {
  SetLastError(error);
  return false;
}

bool give_dn(uint32_t found, const directory::Entry& entry, char* buffer, uint32_t* size) {
  if (found != 0) return fail(found);
  return give(from_directory(entry.dn), buffer, size, win32::ERROR_MORE_DATA);
}

}  // namespace

bool GetUserNameExA(EXTENDED_NAME_FORMAT format, char* buffer, uint32_t* size) {
  if (size == nullptr || format != NameFullyQualifiedDN)
    return fail(win32::ERROR_INVALID_PARAMETER);
  directory::Entry entry;
  const uint32_t found = find_current_user({}, entry);
  return give_dn(found, entry, buffer, size);
}

bool GetComputerNameA(char* buffer, uint32_t* size) {
  if (size == nullptr) return fail(win32::ERROR_INVALID_PARAMETER);
  const std::string name = netbios_name();
  if (name.empty()) return fail(win32::ERROR_INVALID_DATA);
  return give(name, buffer, size, win32::ERROR_BUFFER_OVERFLOW);
}

bool GetComputerObjectNameA(EXTENDED_NAME_FORMAT format, char* buffer, uint32_t* size) {
  if (size == nullptr || format != NameFullyQualifiedDN)
    return fail(win32::ERROR_INVALID_PARAMETER);
  directory::Entry entry;
  const uint32_t found = find_current_station({}, entry);
  return give_dn(found, entry, buffer, size);
}

}  // namespace txads
