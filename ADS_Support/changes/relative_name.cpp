// Relative and account names from the caller's text (see relative_name.h).
#include "changes/relative_name.h"

#include <cstring>

#include "frame/conversions.h"

namespace txads {
namespace {

// The caller's name converted, after checking its byte length against the
// room the working buffer leaves for it.
Status caller_name(const char* name, size_t room, std::string& utf8) {
  if (name == nullptr || strnlen(name, room + 1) > room) return kInvalidArg;
  auto converted = to_directory(name);
  if (!converted) return kInvalidArg;
  utf8 = std::move(*converted);
  return kOk;
}

}  // namespace

std::string caller_path(const char* path) {
  return to_directory(path).value_or(std::string());
}

Status build_relative_name(std::string_view prefix, const char* name, std::string& rdn) {
  rdn.clear();
  if (prefix.size() >= kRelativeNameBuffer) return kInvalidArg;
  std::string value;
  Status s = caller_name(name, kRelativeNameBuffer - 1 - prefix.size(), value);
  if (s.failed()) return s;
  rdn.reserve(prefix.size() + value.size());
  rdn.append(prefix).append(value);
  return kOk;
}

Status build_account_name(const char* station, std::string& account) {
  account.clear();
  Status s = caller_name(station, kAccountNameBuffer - 2, account);
  if (s.failed()) return s;
  account.push_back('$');
  return kOk;
}

}  // namespace txads
