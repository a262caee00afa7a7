// TXADGetContainer: the container browser. The operator picks a container
// anywhere in the directory; its LDAP path comes back in the caller's buffer.
// The dialog never has an owner window. No COM count is taken: the dialog
// runs in a process of its own.
#include "dialogs/helper_process.h"
#include "frame/conversions.h"
#include "frame/export_frame.h"
#include "frame/output_buffer.h"
#include "txads.h"

namespace txads {
namespace {

// 0 chosen (path written), 2 cancelled, -1 the dialog could not be shown.
int GetContainer(const char* caption, const char* title, OutputBuffer path) {
  dialogs::DialogRequest request;
  request.kind = dialogs::DialogKind::container_browser;
  // A null caption or title, or one that is not valid text, keeps the
  // dialog's own.
  request.caption = to_directory(caption);
  request.title = to_directory(title);
  request.owner_window = 0;

  std::string program;
  dialogs::DialogReply reply;
  Status status = dialogs::find_helper(program);
  if (status.ok()) status = dialogs::run_dialog(program, request, reply);
  if (status == kFalse) return 2;
  if (status != kOk || reply.paths.empty()) return -1;
  path.copy(from_directory(reply.paths.front()));
  return 0;
}

}  // namespace
}  // namespace txads

using namespace txads;

extern "C" TXADS_API int TXADGetContainer(const char* caption, const char* title, char* path,
                                          int path_length) {
  return run_export(-1, [&] {
    trace_entry("TXADGetContainer");
    const OutputBuffer buffer{path, path_length};
    const int result = GetContainer(caption, title, buffer);
    trace("'TXADGetContainer' returned '%s'.\n", traced(buffer).c_str());
    return result;
  });
}
