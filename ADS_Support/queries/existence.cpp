// One bind of the caller's path, asking for the container or group
// interface; only the bind's status is judged, nothing is read.
#include "queries/existence.h"

#include <cstring>
#include <optional>
#include <string>

#include "directory/ads.h"
#include "frame/com_init.h"
#include "frame/conversions.h"
#include "frame/error_text.h"
#include "frame/ldap_path_text.h"

namespace txads::queries {
namespace {

int judge(Status bind, OutputBuffer error) {
  if (bind.ok()) return 0;
  if (bind == kNoSuchObject) return -3;
  GetADSErrorText(bind, error);
  return -1;
}

// The bind of the caller's path in UTF-8; a path the thread's code set
// cannot read is refused as an invalid argument.
template <class Bind>
int bind_path(const char* path, OutputBuffer error, Bind bind) {
  const std::optional<std::string> utf8 = to_directory(path ? path : "");
  if (!utf8) return judge(kInvalidArg, error);
  return judge(bind(*utf8), error);
}

}  // namespace

int IsContainerExist(const char* container_path, OutputBuffer error) {
  const int result = -3;
  ComInit com;
  if (!longer_than_provider_prefix(container_path)) return result;
  return bind_path(container_path, error, [](const std::string& path) {
    directory::Container container;
    return directory::ads_get_object(path, container);
  });
}

int IsGroupExist(const char* group_path, OutputBuffer error) {
  ComInit com;
  return bind_path(group_path, error, [](const std::string& path) {
    directory::Group group;
    return directory::ads_get_object(path, group, /*read_members=*/false);
  });
}

}  // namespace txads::queries
