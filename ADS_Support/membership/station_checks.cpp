// The station checks: TXADIsCurrentStationInContainer,
// TXADIsStationInContainer, TXADIsStationInContainerEx, TXADIsStationInGroup
// and TXADIsCurrentStationInGroup. Their workers own everything they create
// for the call.
#include <cstring>
#include <string>

#include "directory/ads.h"
#include "directory/read_ahead.h"
#include "frame/com_init.h"
#include "frame/conversions.h"
#include "frame/error_text.h"
#include "frame/export_frame.h"
#include "frame/ldap_path_text.h"
#include "membership/container_walk.h"
#include "membership/dn_containment.h"
#include "membership/group_check_ahead.h"
#include "membership/group_form.h"
#include "membership/member_walk.h"
#include "membership/name_translation.h"
#include "membership/nested_search.h"
#include "membership/results.h"
#include "membership/sid_membership.h"
#include "membership/station_names.h"
#include "platform/account_directory.h"
#include "platform/identity.h"
#include "txads.h"

namespace txads::membership {
namespace {

int current_station_in_container(const char* container_path, OutputBuffer error) {
  char dn[260] = {};
  uint32_t size = sizeof dn;
  if (!GetComputerObjectNameA(NameFullyQualifiedDN, dn, &size)) {
    error.copy(GetLastErrorText());
    return kNoAnswer;
  }
  if (dn[0] == '\0') return kNoAnswer;
  return dn_containment(dn, or_empty(container_path));
}

int station_in_container(const char* station, const char* container_path, OutputBuffer error) {
  const std::string rdn = station_rdn(or_empty(station));
  if (!longer_than_provider_prefix(container_path)) return kNoAnswer;
  ComInit com;
  int result = kNoAnswer;
  directory::Container container;
  const auto path = to_directory(container_path);
  const auto rdn_text = to_directory(rdn.c_str());
  Status status = path ? directory::ads_get_object(*path, container) : kInvalidArg;
  if (status.ok()) {
    directory::Object computer;
    status = rdn_text ? container.get_object("computer", *rdn_text, computer) : kInvalidArg;
    if (status.ok()) result = kMember;
    if (status == kNoSuchObject) result = kNotMember;
  }
  if (status.failed()) GetADSErrorText(status, error);
  return result;
}

int station_in_container_ex(const char* station, const char* container_path,
                            OutputBuffer found_path, OutputBuffer error) {
  ComInit com;
  const directory::ReadAheadScope reads;  // each container is read once, by its parent's listing
  const char* name = or_empty(station);
  const std::string path = or_empty(container_path);
  int result = container_walk("organizationalUnit", name, path, found_path, error);
  if (result != kMember) result = container_walk("container", name, path, found_path, error);
  return result;
}

int station_in_group(const char* station, const char* group, OutputBuffer error) {
  ComInit com;
  // The check by SID after the search asks again what the search read.
  const TranslationScope translations;
  const AccountScope accounts;
  const char* name = or_empty(station);
  const char* group_text = or_empty(group);
  GroupCheckAhead ahead(group_text, station_group_form(group_text) == GroupForm::ldap_path);
  int result = nested_group_search(IsStationInGroup, name, group_text, error,
                                   [&ahead] { ahead.ask_account_when_translated(); });
  if (result != kMember && IsStationInGroupBySid(name, group_text) != 0) result = kMember;
  return result;
}

int current_station_in_group(const char* group, char* error, int error_length) {
  ComInit com;
  char name[260] = {};
  uint32_t size = sizeof name;
  if (!GetComputerNameA(name, &size)) return kNoAnswer;
  return TXADIsStationInGroup(name, group, error, error_length);
}

}  // namespace
}  // namespace txads::membership

using namespace txads;

extern "C" TXADS_API int TXADIsCurrentStationInContainer(const char* container_path, char* error,
                                                         int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADIsCurrentStationInContainer");
    return membership::current_station_in_container(container_path, {error, error_length});
  });
}

extern "C" TXADS_API int TXADIsStationInContainer(const char* station, const char* container_path,
                                                  char* error, int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADIsStationInContainer");
    return membership::station_in_container(station, container_path, {error, error_length});
  });
}

extern "C" TXADS_API int TXADIsStationInContainerEx(const char* station, const char* container_path,
                                                    char* found_path, int found_path_length,
                                                    char* error, int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADIsStationInContainerEx");
    return membership::station_in_container_ex(
        station, container_path, {found_path, found_path_length}, {error, error_length});
  });
}

extern "C" TXADS_API int TXADIsStationInGroup(const char* station, const char* group, char* error,
                                              int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADIsStationInGroup");
    return membership::station_in_group(station, group, {error, error_length});
  });
}

extern "C" TXADS_API int TXADIsCurrentStationInGroup(const char* group, char* error,
                                                     int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADIsCurrentStationInGroup");
    return membership::current_station_in_group(group, error, error_length);
  });
}
