// txads-dialog: shows one directory dialog for libtxads and answers with the
// choice. The library starts it with one end of a socket as fd 3 (named by
// --protocol-fd), sends one request and reads one reply; see
// dialogs/dialog_protocol.h. The process ends after the reply.
//
//   txads-dialog --protocol-fd 3
#include <fcntl.h>
#include <gtk/gtk.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "container_browser.h"
#include "dialog_window.h"
#include "dialogs/dialog_protocol.h"
#include "directory_reader.h"
#include "frame/status.h"
#include "group_picker.h"
#include "translation.h"

namespace {

using namespace txads;
using namespace txads::dialog;

// Exit codes, for someone who starts the helper by hand.
constexpr int kExitUsage = 64;
constexpr int kExitNoRequest = 65;
constexpr int kExitNoReply = 74;

Status read_request(int fd, dialogs::DialogRequest& request) {
  dialogs::MessageReader reader;
  char chunk[4096];
  while (!reader.complete()) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return kBadMessage;
    if (!reader.feed({chunk, static_cast<size_t>(n)})) return kBadMessage;
  }
  return dialogs::decode(reader.message(), request);
}

bool write_reply(int fd, const dialogs::DialogReply& reply) {
  const std::string bytes = dialogs::encode(reply);
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + sent, bytes.size() - sent);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

dialogs::DialogReply failure(Status status, std::string text) {
  dialogs::DialogReply reply;
  reply.outcome = dialogs::Outcome::failed;
  reply.status = status;
  reply.text = std::move(text);
  return reply;
}

dialogs::DialogReply show(const dialogs::DialogRequest& request, int& argc, char**& argv) {
  // The owner is an X11 window id, so the dialogs live on X11 (or XWayland).
  gdk_set_allowed_backends("x11");
  // The dialogs draw no OpenGL; without this, GDK loads the GL stack (a software
  // renderer on most hosts) to choose a visual, which doubles the time to the window.
  setenv("GDK_GL", "disable", 0);
  quiet_toolkit_notices();
  init_translation();
  if (!gtk_init_check(&argc, &argv)) {
    const char* display = std::getenv("DISPLAY");
    return failure(kNoDisplay,
                   std::string("cannot open the X display '") + (display ? display : "") + "'");
  }
  // The dialogs read it in the background once their window is up; reader
  // threads may outlive the dialog, so the reader lives as long as the process.
  auto* reader = new DirectoryReader;
  return request.kind == dialogs::DialogKind::group_picker
             ? run_group_picker(request, *reader)
             : run_container_browser(request, *reader);
}

}  // namespace

int main(int argc, char** argv) {
  int fd = -1;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--protocol-fd") == 0) fd = std::atoi(argv[i + 1]);
  }
  if (fd < 0 || ::fcntl(fd, F_GETFD) < 0) {
    std::fprintf(stderr, "usage: %s --protocol-fd FD\n(started by libtxads)\n", argv[0]);
    return kExitUsage;
  }
  // Nothing this process starts may hold the library's socket open.
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  ::signal(SIGPIPE, SIG_IGN);

  dialogs::DialogRequest request;
  const Status read = read_request(fd, request);
  const dialogs::DialogReply reply =
      read.failed() ? failure(read, "the request could not be read") : show(request, argc, argv);
  const bool written = write_reply(fd, reply);
  ::close(fd);
  // No teardown: a reader thread may still be busy with the directory.
  std::fflush(stderr);
  ::_exit(written ? 0 : (read.failed() ? kExitNoRequest : kExitNoReply));
}
