// One name translation on the global catalog, as the membership checks run
// it: a fresh translation object, init, set in one form, get in the other.
// Thread-safe (nothing shared between threads).
#pragma once

#include <map>
#include <string>
#include <tuple>

#include "directory/ads.h"
#include "frame/status.h"

namespace txads::membership {

// Translates the caller's text `name` from one form to the other. The first
// failing step's status comes back (kInvalidArg for a null name or text the
// thread's code set cannot hold); `translated` (caller text) is written only
// on success. While a TranslationScope lives on this thread, each distinct
// question goes to the directory once and its answer is given again.
Status translate_name(const char* name, directory::NameType from, directory::NameType to,
                      std::string& translated);

// Keeps this thread's translations for as long as it lives (one search of
// one export call), so that a walk repeated group after group translates its
// name once. A scope made while another lives on the thread adds nothing.
class TranslationScope {
 public:
  TranslationScope();
  ~TranslationScope();
  TranslationScope(const TranslationScope&) = delete;
  TranslationScope& operator=(const TranslationScope&) = delete;

  using Key = std::tuple<std::string, directory::NameType, directory::NameType>;
  struct Answer {
    Status status;
    std::string translated;
  };

 private:
  std::map<Key, Answer> answers_;
  bool active_ = false;
  friend Status translate_name(const char*, directory::NameType, directory::NameType, std::string&);
};

}  // namespace txads::membership
