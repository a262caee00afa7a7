// The container walk and the direct computer search.
#include "membership/container_walk.h"

#include "directory/ads.h"
#include "directory/read_ahead.h"
#include "frame/conversions.h"
#include "frame/error_text.h"
#include "frame/ldap_path_text.h"
#include "frame/pause.h"
#include "membership/results.h"
#include "membership/station_names.h"

namespace txads::membership {
namespace {

Status bind_container(const std::string& path, directory::Container& container) {
  const auto text = to_directory(path.c_str());
  return text ? directory::ads_get_object(*text, container) : kInvalidArg;
}

// Walks the children of one bound container; a match ends the loop.
int walk_children(directory::Container& container, const char* walk_class, const char* station,
                  const std::string& path, OutputBuffer found_path, OutputBuffer error) {
  int result = kNoAnswer;
  directory::Enumerator children;
  if (container.new_enum(children).failed()) return result;
  directory::Object child;
  while (result != kMember && children.next(child) == kOk) {
    std::string name;
    if (child.get_name(name).ok() && !name.empty()) {
      const std::string next = child_path(from_directory(name), path);
      if (!next.empty()) result = container_walk(walk_class, station, next, found_path, error);
    }
    child = directory::Object();
  }
  return result;
}

}  // namespace

int container_walk(const char* walk_class, const char* station, const std::string& path,
                   OutputBuffer found_path, OutputBuffer error) {
  int result = kNoAnswer;
  directory::Container container;
  Status status = bind_container(path, container);
  if (status.ok()) {
    status = container.put_filter({walk_class});
    // The container's sub-containers and its computers come in one search,
    // and then those of all its sub-containers at once.
    if (const auto text = to_directory(path.c_str())) {
      directory::read_ahead_listings(*text, {{walk_class}, {"computer"}});
      directory::read_ahead_child_listings(*text, {walk_class}, {{walk_class}, {"computer"}});
    }
    result = walk_children(container, walk_class, station, path, found_path, error);
  }
  if (result != kMember) {
    result = direct_computer_search(station, path, error);
    if (result == kMember) found_path.copy(path);
  }
  if (status.failed()) GetADSErrorText(status, error);
  return result;
}

int direct_computer_search(const char* station, const std::string& path, OutputBuffer error) {
  const std::string rdn = station_rdn(station);
  if (!longer_than_provider_prefix(path)) return kNoAnswer;
  directory::Container container;
  if (Status bound = bind_container(path, container); bound.failed()) {
    GetADSErrorText(bound, error);
    return kNoAnswer;
  }
  const Status filtered = container.put_filter({"computer"});
  int result = kNoAnswer;
  directory::Enumerator computers;
  if (container.new_enum(computers).ok()) {
    result = kNotMember;
    PreciseTimers precise;
    directory::Object item;
    Status fetched = computers.next(item);
    while (fetched == kOk && result != kMember) {
      std::string class_name, name;
      if (item.get_class(class_name).ok() && item.get_name(name).ok() &&
          ascii_upper(from_directory(name)) == rdn)
        result = kMember;
      item = directory::Object();
      fetched = computers.next(item);
      pause_one_millisecond();
    }
  }
  if (filtered.failed()) GetADSErrorText(filtered, error);
  return result;
}

}  // namespace txads::membership
