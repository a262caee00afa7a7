// TXADGetGroupList: account to DN, bind as user, enumerate its groups and
// translate each group back to domain\group on the same translator.
#include "queries/group_list.h"

#include "directory/ads.h"
#include "directory/ldap_path.h"
#include "frame/com_init.h"
#include "frame/conversions.h"
#include "frame/error_text.h"
#include "frame/export_frame.h"
#include "frame/ldap_path_text.h"
#include "queries/account_dn.h"
#include "queries/names.h"
#include "txads.h"

namespace txads::queries {
namespace {

// Everything up to the enumeration: translate, bind, groups, enumerator.
Status start_groups(directory::NameTranslate& translator, const char* account,
                    directory::Enumerator& groups) {
  Status status = translator.init(directory::ADS_NAME_INITTYPE_GC, "");
  if (status.failed()) return status;
  std::string dn;
  status = account_dn(translator, account, dn);
  if (status.failed()) return status;
  directory::User user;
  status = directory::ads_get_object(directory::format_path("", dn), user);
  if (status.failed()) return status;
  directory::Members members;
  status = user.groups(members);
  if (status.failed()) return status;
  return members.new_enum(groups);
}

// The group's domain\group name in the caller's code set; false skips it.
bool group_name(directory::NameTranslate& translator, const directory::Object& group,
                std::string& name) {
  std::string path;
  if (group.get_ads_path(path).failed()) return false;
  if (translator.set(directory::NameType::rfc1779, upper_dn_from_first_cn(path)).failed())
    return false;
  std::string nt4;
  if (translator.get(directory::NameType::nt4, nt4).failed()) return false;
  name = from_directory(nt4);
  return true;
}

}  // namespace

int get_group_list(const char* account, ListBuffer list, OutputBuffer error) {
  ComInit com;
  directory::NameTranslate translator;
  directory::Enumerator groups;
  const Status status = start_groups(translator, account, groups);
  if (status.failed()) {
    GetADSErrorText(status, error);
    return -1;
  }

  int result = -1;
  directory::Object group;
  while (groups.next(group) == kOk) {
    std::string name;
    if (group_name(translator, group, name)) {
      const int64_t needed = list.text_length() + static_cast<int64_t>(name.size()) + 10;
      if (needed < list.length() && list.append_entry(name)) result = 0;
    }
    group = directory::Object();
  }
  return result;
}

}  // namespace txads::queries

extern "C" TXADS_API int TXADGetGroupList(const char* account, char* list, int list_length,
                                          char* error, int error_length) {
  return txads::run_export(-1, [&] {
    txads::trace_entry("TXADGetGroupList");
    return txads::queries::get_group_list(account, {list, list_length}, {error, error_length});
  });
}
