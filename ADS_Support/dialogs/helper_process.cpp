// The dialog helper's life: locate, spawn (no shell), one request, one reply,
// reap. The helper's end of the socket becomes its fd 3; its stdin and stdout
// are /dev/null and its stderr is the caller's, for the toolkit's warnings.
#include "dialogs/helper_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "frame/fd.h"

extern char** environ;

namespace txads::dialogs {
namespace {

constexpr const char* kHelperName = "txads-dialog";
constexpr int kHelperFd = 3;
constexpr int kPollMilliseconds = 200;
// After the helper has exited, how long its last bytes may take to arrive.
constexpr auto kDrainTime = std::chrono::milliseconds(500);
// After a complete reply, how long the helper may take to exit.
constexpr auto kExitTime = std::chrono::seconds(3);

Status from_errno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return kHelperMissing;
    case EACCES:
    case EPERM:
      return kAccessDenied;
    case ENOMEM:
      return kOutOfMemory;
    default:
      return kFail;
  }
}

// The running helper. Whoever holds it last kills and reaps the process if
// the conversation did not end with its exit.
class Child {
 public:
  explicit Child(pid_t pid) : pid_(pid) {}
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() {
    if (!reaped_) {
      ::kill(pid_, SIGKILL);
      wait(0);
    }
  }

  bool reaped() const { return reaped_; }
  int wait_status() const { return wait_status_; }

  // Reaps the child if it has exited (WNOHANG), or waits until it has (0).
  bool wait(int flags) {
    if (reaped_) return true;
    for (;;) {
      const pid_t r = ::waitpid(pid_, &wait_status_, flags);
      if (r == pid_) return reaped_ = true;
      if (r == 0) return false;
      if (errno == EINTR) continue;
      // ECHILD: the host reaps children itself (SIGCHLD ignored or handled).
      wait_status_ = 0;
      return reaped_ = true;
    }
  }

  // Gives an exiting child a little time, then ends it.
  void finish(std::chrono::milliseconds grace) {
    const auto deadline = std::chrono::steady_clock::now() + grace;
    while (!wait(WNOHANG) && std::chrono::steady_clock::now() < deadline) {
      ::poll(nullptr, 0, 20);
    }
    if (!reaped_) {
      ::kill(pid_, SIGKILL);
      wait(0);
    }
  }

 private:
  pid_t pid_;
  bool reaped_ = false;
  int wait_status_ = 0;
};

struct FileActions {
  posix_spawn_file_actions_t actions;
  FileActions() { posix_spawn_file_actions_init(&actions); }
  ~FileActions() { posix_spawn_file_actions_destroy(&actions); }
};

struct SpawnAttributes {
  posix_spawnattr_t attributes;
  SpawnAttributes() { posix_spawnattr_init(&attributes); }
  ~SpawnAttributes() { posix_spawnattr_destroy(&attributes); }
};

// Starts the helper with `socket_end` as its fd 3 and nothing else of ours.
Status spawn_helper(const std::string& program, int socket_end, pid_t& pid) {
  FileActions files;
  posix_spawn_file_actions_addopen(&files.actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files.actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&files.actions, socket_end, kHelperFd);
  posix_spawn_file_actions_addclosefrom_np(&files.actions, kHelperFd + 1);

  // The host's signal mask and handlers are not the helper's business.
  SpawnAttributes attributes;
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes.attributes, &none);
  posix_spawnattr_setsigdefault(&attributes.attributes, &all);
  posix_spawnattr_setflags(&attributes.attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  std::string fd_text = std::to_string(kHelperFd);
  char* argv[] = {const_cast<char*>(kHelperName), const_cast<char*>("--protocol-fd"),
                  fd_text.data(), nullptr};
  const int rc =
      posix_spawn(&pid, program.c_str(), &files.actions, &attributes.attributes, argv, environ);
  return rc == 0 ? kOk : from_errno(rc);
}

Status send_all(int fd, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return kHelperAborted;  // the helper closed its end: it has gone
    sent += static_cast<size_t>(n);
  }
  return kOk;
}

// Reads until the reply is complete, the helper has gone, or the reply is
// too large. Watches the child meanwhile: a process it started may keep the
// socket open after the helper itself has died.
Status receive_reply(int fd, Child& child, MessageReader& reader) {
  std::chrono::steady_clock::time_point drain_deadline{};
  char chunk[4096];
  while (!reader.complete()) {
    pollfd p{fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, kPollMilliseconds);
    if (ready < 0 && errno != EINTR) return kFail;
    if (ready > 0) {
      const ssize_t n = ::recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
      if (n == 0) return kHelperAborted;
      if (n > 0 && !reader.feed({chunk, static_cast<size_t>(n)})) return kBadMessage;
      if (n < 0 && errno != EINTR && errno != EAGAIN) return kHelperAborted;
      continue;
    }
    if (!child.reaped()) {
      if (child.wait(WNOHANG)) drain_deadline = std::chrono::steady_clock::now() + kDrainTime;
    } else if (std::chrono::steady_clock::now() > drain_deadline) {
      return kHelperAborted;
    }
  }
  return kOk;
}

}  // namespace

Status find_helper(std::string& program) {
  const char* override_path = std::getenv(kHelperOverride);
  if (override_path != nullptr && *override_path != '\0') {
    program = override_path;
  } else {
    program = std::string(TXADS_HELPER_DIR) + "/" + kHelperName;
  }
  return ::access(program.c_str(), X_OK) == 0 ? kOk : kHelperMissing;
}

Status run_dialog(const std::string& program, const DialogRequest& request, DialogReply& reply) {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return kNoDisplay;

  int ends[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return from_errno(errno);
  Fd ours(ends[0]);
  Fd theirs(ends[1]);
  // dup2 onto the same number would keep close-on-exec set: move it away.
  if (theirs.get() <= kHelperFd) {
    const int moved = ::fcntl(theirs.get(), F_DUPFD_CLOEXEC, kHelperFd + 1);
    if (moved < 0) return from_errno(errno);
    theirs.reset(moved);
  }

  pid_t pid = 0;
  if (const Status s = spawn_helper(program, theirs.get(), pid); s.failed()) return s;
  Child child(pid);
  theirs.reset();

  // A helper that stopped reading may still have answered: read on regardless.
  (void)send_all(ours.get(), encode(request));
  ::shutdown(ours.get(), SHUT_WR);

  MessageReader reader;
  if (const Status s = receive_reply(ours.get(), child, reader); s.failed()) return s;
  child.finish(kExitTime);

  DialogReply answer;
  if (const Status s = decode(reader.message(), answer); s.failed()) return s;
  reply = std::move(answer);
  switch (reply.outcome) {
    case Outcome::chosen:
      return kOk;
    case Outcome::cancelled:
      return kFalse;
    case Outcome::failed:
      break;
  }
  return reply.status;
}

}  // namespace txads::dialogs
