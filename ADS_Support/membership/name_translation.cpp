// One name translation through the global catalog, kept for the life of the
// thread's translation scope.
#include "membership/name_translation.h"

#include "frame/conversions.h"

namespace txads::membership {
namespace {

thread_local TranslationScope* current_scope = nullptr;

Status translate_anew(const char* name, directory::NameType from, directory::NameType to,
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

}  // namespace

TranslationScope::TranslationScope() {
  if (current_scope) return;
  current_scope = this;
  active_ = true;
}

TranslationScope::~TranslationScope() {
  if (active_) current_scope = nullptr;
}

Status translate_name(const char* name, directory::NameType from, directory::NameType to,
                      std::string& translated) {
  if (!current_scope || !name) return translate_anew(name, from, to, translated);
  TranslationScope::Key key{name, from, to};
  auto it = current_scope->answers_.find(key);
  if (it == current_scope->answers_.end()) {
    TranslationScope::Answer answer;
    answer.status = translate_anew(name, from, to, answer.translated);
    it = current_scope->answers_.emplace(std::move(key), std::move(answer)).first;
  }
  if (it->second.status.ok()) translated = it->second.translated;
  return it->second.status;
}

}  // namespace txads::membership
