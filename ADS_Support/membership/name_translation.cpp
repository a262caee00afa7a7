// One name translation through the global catalog.
#include "membership/name_translation.h"

#include "frame/conversions.h"

namespace txads::membership {

Status translate_name(const char* name, directory::NameType from, directory::NameType to,
                      std::string& translated) {
  directory::NameTranslate translator;
  if (Status s = translator.init(directory::ADS_NAME_INITTYPE_GC, ""); s.failed()) return s;
  const auto text = to_directory(name);
  if (!text) return kInvalidArg;
  if (Status s = translator.set(from, *text); s.failed()) return s;
  std::string result;
  if (Status s = translator.get(to, result); s.failed()) return s;
  translated = from_directory(result);
  return kOk;
}

}  // namespace txads::membership
