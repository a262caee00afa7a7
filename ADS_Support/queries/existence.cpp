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

// The caller's path in UTF-8; a path the thread's code set cannot read is
// refused as an invalid argument.
template <class Interface>
int bind_path(const char* path, OutputBuffer error) {
  const std::optional<std::string> utf8 = to_directory(path ? path : "");
  if (!utf8) return judge(kInvalidArg, error);
  Interface object;
  return judge(directory::ads_get_object(*utf8, object), error);
}

}  // namespace

int IsContainerExist(const char* container_path, OutputBuffer error) {
  const int result = -3;
  ComInit com;
  if (!longer_than_provider_prefix(container_path)) return result;
  return bind_path<directory::Container>(container_path, error);
}

int IsGroupExist(const char* group_path, OutputBuffer error) {
  ComInit com;
  return bind_path<directory::Group>(group_path, error);
}

}  // namespace txads::queries
