// GetUserListFromContainer / GetStationListFromContainer: bind the container,
// filter its children to one class, and append each child of exactly that
// class, pausing 1 ms after each element.
#include "queries/container_listing.h"

#include <cstring>
#include <optional>

#include "directory/ads.h"
#include "directory/listing_ahead.h"
#include "frame/com_init.h"
#include "frame/conversions.h"
#include "frame/error_text.h"
#include "frame/export_frame.h"
#include "frame/ldap_path_text.h"
#include "frame/pause.h"
#include "queries/names.h"
#include "txads.h"

namespace txads::queries {
namespace {

// The element's entry when its own class is class_name; false skips it.
bool entry_of(const directory::Object& item, std::string_view class_name, std::string& entry) {
  std::string object_class;
  if (item.get_class(object_class).failed()) return false;
  if (ascii_lower(from_directory(object_class)) != class_name) return false;
  std::string name;
  if (item.get_name(name).failed()) return false;
  entry = entry_name(from_directory(name));
  return true;
}

}  // namespace

int list_container(std::string_view class_name, const char* container_path, ListBuffer list,
                   OutputBuffer error) {
  if (!longer_than_provider_prefix(container_path)) return -1;

  directory::Container container;
  const auto path = to_directory(container_path);
  // The first page of the listing goes out together with the bind.
  std::optional<directory::ListingAhead> ahead;
  if (path) ahead.emplace(*path, directory::ClassFilter{std::string(class_name)});
  Status status = path ? directory::ads_get_object(*path, container) : kBadPathname;
  int result = -1;
  if (status.ok()) {
    // A filter that cannot be set does not stop the listing: the class test
    // below still applies, and its error text is reported at the end.
    status = container.put_filter({std::string(class_name)});
    directory::Enumerator children;
    // An enumeration that cannot be started gives -1 with no error text of
    // its own: only a failed bind or filter is reported.
    if (container.new_enum(children).ok()) {
      PreciseTimers precise;
      result = -3;
      directory::Object item;
      Status fetched = children.next(item);
      while (fetched == kOk && result != -2) {
        std::string entry;
        if (entry_of(item, class_name, entry)) {
          // "fill count < length - 1", with the text on entry counted too.
          const int64_t fill = list.text_length() + static_cast<int64_t>(entry.size());
          if (fill < list.length() - 1 && list.append_entry(entry)) {
            result = 0;
          } else {
            result = -2;
          }
        }
        item = directory::Object();
        fetched = children.next(item);
        pause_one_millisecond();
      }
    }
  }
  if (status.failed()) GetADSErrorText(status, error);
  return result;
}

int GetUserListFromContainer(const char* container_path, char* list, int list_length, char* error,
                             int error_length) {
  trace_entry("GetUserListFromContainer");
  return list_container("user", container_path, {list, list_length}, {error, error_length});
}

int GetStationListFromContainer(const char* container_path, char* list, int list_length,
                                char* error, int error_length) {
  trace_entry("GetStationListFromContainer");
  return list_container("computer", container_path, {list, list_length}, {error, error_length});
}

}  // namespace txads::queries

extern "C" TXADS_API int TXADGetUserListFromContainer(const char* container_path, char* list,
                                                      int list_length, char* error,
                                                      int error_length) {
  return txads::run_export(-1, [&] {
    txads::trace_entry("TXADGetUserListFromContainer");
    txads::ComInit com;
    return txads::queries::GetUserListFromContainer(container_path, list, list_length, error,
                                                    error_length);
  });
}

extern "C" TXADS_API int TXADGetStationListFromContainer(const char* container_path, char* list,
                                                         int list_length, char* error,
                                                         int error_length) {
  return txads::run_export(-1, [&] {
    txads::trace_entry("TXADGetStationListFromContainer");
    txads::ComInit com;
    return txads::queries::GetStationListFromContainer(container_path, list, list_length, error,
                                                       error_length);
  });
}
