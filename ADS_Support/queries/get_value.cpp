// TXADGetValue: translate the account through the global catalog, bind it as
// a user, read one attribute, render it by its syntax.
#include "queries/get_value.h"

#include "directory/ads.h"
#include "directory/ldap_path.h"
#include "frame/com_init.h"
#include "frame/conversions.h"
#include "frame/error_text.h"
#include "frame/export_frame.h"
#include "queries/account_dn.h"
#include "queries/names.h"
#include "queries/value_text.h"
#include "txads.h"

namespace txads::queries {

Status read_value(const char* account, const char* attribute, std::string& text) {
  directory::NameTranslate translator;
  Status status = translator.init(directory::ADS_NAME_INITTYPE_GC, "");
  if (status.failed()) return status;

  std::string dn;
  status = account_dn(translator, account, dn);
  if (status.failed()) return status;
  if (from_directory(dn).size() > kMaxDnBytes) return kTextTooLong;

  directory::User user;
  status = directory::ads_get_object(directory::format_path("", dn), user);
  if (status.failed()) return status;

  if (attribute == nullptr) return kInvalidArg;
  const auto name = to_directory(attribute);
  if (!name || !is_attribute_description(*name)) return kPropertyNotFound;
  directory::Value value;
  status = user.get(*name, value);
  if (status.failed()) return status;
  if (value.empty()) return kPropertyNotFound;

  text = from_directory(value_text(value));
  if (text.size() > kMaxValueBytes) return kTextTooLong;
  return kOk;
}

int get_value(const char* account, const char* attribute, OutputBuffer value, OutputBuffer error) {
  ComInit com;
  std::string text;
  const Status status = read_value(account, attribute, text);
  if (status.failed()) {
    GetADSErrorText(status, error);
    return -1;
  }
  value.copy(text);
  return 0;
}

}  // namespace txads::queries

extern "C" TXADS_API int TXADGetValue(const char* account, const char* attribute, char* value,
                                      int value_length, char* error, int error_length) {
  return txads::run_export(-1, [&] {
    txads::trace_entry("TXADGetValue");
    return txads::queries::get_value(account, attribute, {value, value_length},
                                     {error, error_length});
  });
}
