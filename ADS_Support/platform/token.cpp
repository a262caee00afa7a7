// The calling user's token, read from the directory at each check.
#include "platform/token.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "directory/search.h"
#include "frame/last_error.h"
#include "frame/win32_errors.h"
#include "platform/current_account.h"

namespace txads {
namespace {

constexpr size_t kSidHeader = 8;
constexpr unsigned kMaxSubAuthorities = 15;

// A binary SID: revision 1, the count, the 48-bit authority big-endian, the
// sub-authorities little-endian.
std::string binary_sid(uint8_t authority, std::initializer_list<uint32_t> sub_authorities) {
  std::string sid(kSidHeader, '\0');
  sid[0] = 1;
  sid[1] = static_cast<char>(sub_authorities.size());
  sid[7] = static_cast<char>(authority);
  for (uint32_t sub : sub_authorities)
    for (int shift = 0; shift < 32; shift += 8) sid.push_back(static_cast<char>(sub >> shift));
  return sid;
}

const std::vector<std::string>& logon_sids() {
  static const std::vector<std::string> sids = {
      binary_sid(1, {0}),  binary_sid(2, {0}),  binary_sid(5, {4}),
      binary_sid(5, {11}), binary_sid(5, {15}),
  };
  return sids;
}

// The bytes of the SID at `memory`, read no further than its header says;
// empty when it is no SID.
std::string sid_bytes(const void* memory) {
  const auto* bytes = static_cast<const unsigned char*>(memory);
  if (bytes[0] != 1 || bytes[1] > kMaxSubAuthorities) return {};
  return std::string(reinterpret_cast<const char*>(bytes), kSidHeader + 4u * bytes[1]);
}

bool fail(uint32_t error) {
  SetLastError(error);
  return false;
}

}  // namespace

uint32_t current_token_sids(std::vector<std::string>& sids) {
  directory::Entry user;
  if (uint32_t error = find_current_user({"objectSid"}, user); error != 0) return error;

  directory::SearchRequest request;
  request.base = user.dn;
  request.scope = directory::Scope::base;
  request.attributes = {"tokenGroups"};
  std::vector<directory::Entry> entries;
  if (directory::search(request, entries).failed() || entries.empty())
    return win32::ERROR_NO_SUCH_DOMAIN;

  sids = logon_sids();
  if (const auto* own = user.find("objectSid")) sids.insert(sids.end(), own->begin(), own->end());
  if (const auto* groups = entries.front().find("tokenGroups"))
    sids.insert(sids.end(), groups->begin(), groups->end());
  return 0;
}

bool CheckTokenMembership(void* token, const void* sid, int* is_member) {
  if (token != nullptr) return fail(win32::ERROR_INVALID_HANDLE);
  if (sid == nullptr || is_member == nullptr) return fail(win32::ERROR_INVALID_PARAMETER);
  const std::string wanted = sid_bytes(sid);
  if (wanted.empty()) return fail(win32::ERROR_INVALID_SID);
  std::vector<std::string> sids;
  if (uint32_t error = current_token_sids(sids); error != 0) return fail(error);
  *is_member = std::find(sids.begin(), sids.end(), wanted) != sids.end() ? 1 : 0;
  return true;
}

}  // namespace txads
