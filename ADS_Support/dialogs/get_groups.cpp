// TXADGetGroups: the group picker. The operator picks a security group of the
// forest; the LDAP paths of the choice come back joined with ";". The picker
// stays above the window given to TXADInit.
//
// The picker's steps keep their platform shape: locating the helper program
// stands for creating the picker, InitObjectPicker describes what it offers,
// running the helper is showing it, GetSelectedPaths reads the choice.
#include <cstdint>

#include "dialogs/helper_process.h"
#include "dialogs/object_picker.h"
#include "frame/com_init.h"
#include "frame/conversions.h"
#include "frame/error_text.h"
#include "frame/export_frame.h"
#include "frame/library_values.h"
#include "txads.h"

namespace txads {

Status InitObjectPicker(dialogs::DialogRequest* picker) {
  if (picker == nullptr) return kInvalidArg;
  picker->kind = dialogs::DialogKind::group_picker;
  picker->caption.reset();
  picker->title.reset();
  picker->owner_window = reinterpret_cast<uintptr_t>(parent_window.load(std::memory_order_relaxed));
  return kOk;
}

Status GetSelectedPaths(const dialogs::DialogReply* selection, StringList& paths) {
  if (selection == nullptr) return kInvalidArg;
  if (selection->outcome != dialogs::Outcome::chosen || selection->paths.empty()) {
    return kBadMessage;
  }
  for (const auto& path : selection->paths) paths.add_tail(from_directory(path));
  return kOk;
}

namespace {

std::string join(const StringList& paths) {
  std::string text;
  for (const auto& path : paths) {
    if (!text.empty()) text += ';';
    text += path;
  }
  return text;
}

// 0 chosen and written, -2 chosen but longer than the list buffer, -1
// cancelled (error untouched) or failed (error text written).
int GetGroups(OutputBuffer list, OutputBuffer error) {
  int result = -1;
  ComInit com;
  Status last = com.status();
  std::string program;
  dialogs::DialogRequest picker;
  dialogs::DialogReply selection;
  if (last.ok()) last = dialogs::find_helper(program);
  if (last.ok()) last = InitObjectPicker(&picker);
  if (last.ok()) last = dialogs::run_dialog(program, picker, selection);
  if (last == kOk) {
    StringList paths;
    last = GetSelectedPaths(&selection, paths);
    if (last.ok()) {
      const std::string joined = join(paths);
      if (static_cast<int64_t>(list.length) >= static_cast<int64_t>(joined.size())) {
        list.copy(joined);
        result = 0;
      } else {
        result = -2;
      }
    }
  }
  if (last.failed()) GetADSErrorText(last, error);
  return result;
}

}  // namespace
}  // namespace txads

using namespace txads;

extern "C" TXADS_API int TXADGetGroups(char* list, int list_length, char* error, int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADGetGroups");
    const OutputBuffer buffer{list, list_length};
    const int result = GetGroups(buffer, {error, error_length});
    trace("'TXADGetGroups' returned '%s'.\n", traced(buffer).c_str());
    return result;
  });
}
