// AddStationToContainer, DeleteStationFromContainer, MoveUserToContainer and
// MoveStationToContainer on the directory operations.
//
// A new station is written in five steps: the creating write ("name",
// "sAMAccountName"), the enabling write (userAccountControl as read back,
// less the disabled flag), then one write each for userAccountControl
// 0x1020, sAMAccountType and primaryGroupID, each carrying only its own
// attribute. Only the first two decide the result; the directory may compute
// the last values itself and refuse them.
#include "changes/station_placement.h"

#include <charconv>
#include <cstdint>
#include <string>

#include "changes/child_lookup.h"
#include "changes/outcome.h"
#include "changes/relative_name.h"
#include "directory/ads.h"
#include "frame/error_text.h"
#include "frame/export_frame.h"

namespace txads {
namespace {

using directory::Container;
using directory::Object;
using directory::Value;

constexpr const char* kStationClass = "computer";
constexpr const char* kUserClass = "user";

constexpr int32_t kAccountDisable = 0x2;             // ADS_UF_ACCOUNTDISABLE
constexpr int32_t kWorkstationAccount = 0x1020;      // workstation trust + no password required
constexpr int32_t kMachineAccountType = 0x30000001;  // SAM_MACHINE_ACCOUNT
constexpr int32_t kComputersGroupRid = 515;          // DOMAIN_GROUP_RID_COMPUTERS

// A 32-bit integer attribute as the directory returned it. Values above
// 0x7FFFFFFF keep their bits.
Status as_int32(const Value& value, int32_t& number) {
  if (value.empty()) return kPropertyNotFound;
  const std::string& text = value.first();
  int64_t wide = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), wide);
  if (ec != std::errc() || end != text.data() + text.size() || wide < INT32_MIN ||
      wide > static_cast<int64_t>(UINT32_MAX)) {
    return kCantConvertDatatype;
  }
  number = static_cast<int32_t>(static_cast<uint32_t>(wide));
  return kOk;
}

// The enabling write. A value that cannot be read is not written back: the
// read's failure is this step's failure.
Status enable(Object& station) {
  Value read;
  int32_t flags = 0;
  Status s = station.get("userAccountControl", read);
  if (s.ok()) s = as_int32(read, flags);
  if (s.failed()) return s;
  if (flags & kAccountDisable) flags -= kAccountDisable;
  static_cast<void>(station.put("userAccountControl", Value::of(flags)));
  return station.set_info();
}

// One best-effort write: a refused staging is reported, the write's own
// status is not looked at. The value is staged on a handle of its own: a
// refused write keeps its value staged, and on a shared handle that value
// would ride along with the next write and have it refused too.
void write_best_effort(const std::string& station_path, const char* attribute, int32_t number,
                       OutputBuffer error) {
  Object station;
  if (directory::ads_get_object(station_path, station).failed()) return;
  if (Status s = station.put(attribute, Value::of(number)); s.failed()) {
    GetADSErrorText(s, error);
  }
  static_cast<void>(station.set_info());
}

int move_to_container(const char* class_name, const char* name, const char* current_path,
                      const char* destination_path, OutputBuffer error) {
  std::string path;
  Status s = read_child_path(class_name, name, current_path, path);
  Container destination;
  if (s.ok()) s = directory::ads_get_object(caller_path(destination_path), destination);
  if (s.ok()) s = destination.move_here(path, nullptr);
  return outcome(s, error);
}

}  // namespace

int AddStationToContainer(const char* station, const char* container_path, OutputBuffer error) {
  trace_entry("AddStationToContainer");

  Container container;
  std::string rdn;
  std::string account;
  Status s = directory::ads_get_object(caller_path(container_path), container);
  if (s.ok()) s = build_relative_name("cn=", station, rdn);
  if (s.ok()) s = build_account_name(station, account);

  // The creating write.
  Object created;
  if (s.ok()) s = create_child(container, kStationClass, rdn, created);
  if (s.ok()) {
    // "name" is the station name itself: the account name without its "$".
    static_cast<void>(created.put("name", Value::of(account.substr(0, account.size() - 1))));
    static_cast<void>(created.put("sAMAccountName", Value::of(account)));
    s = created.set_info();
  }
  if (s.failed()) return outcome(s, error);

  int result = -1;
  if (Status enabled = enable(created); enabled.ok()) {
    result = 0;
  } else {
    GetADSErrorText(enabled, error);
  }

  std::string path;
  static_cast<void>(created.get_ads_path(path));
  write_best_effort(path, "userAccountControl", kWorkstationAccount, error);
  write_best_effort(path, "sAMAccountType", kMachineAccountType, error);
  write_best_effort(path, "primaryGroupID", kComputersGroupRid, error);
  return result;
}

int DeleteStationFromContainer(const char* station, const char* container_path,
                               OutputBuffer error) {
  trace_entry("DeleteStationFromContainer");

  Container container;
  std::string rdn;
  Status s = directory::ads_get_object(caller_path(container_path), container);
  if (s.ok()) s = build_relative_name("cn=", station, rdn);
  if (s.ok()) s = delete_child(container, kStationClass, rdn);
  return outcome(s, error);
}

int MoveUserToContainer(const char* user, const char* current_path, const char* destination_path,
                        OutputBuffer error) {
  trace_entry("MoveUserToContainer");
  return move_to_container(kUserClass, user, current_path, destination_path, error);
}

int MoveStationToContainer(const char* station, const char* current_path,
                           const char* destination_path, OutputBuffer error) {
  trace_entry("MoveStationToContainer");
  return move_to_container(kStationClass, station, current_path, destination_path, error);
}

}  // namespace txads
