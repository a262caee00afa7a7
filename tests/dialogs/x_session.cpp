// Xvfb and the desktop tools for the dialog tests.
#include "x_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "dialog_test_support.h"

extern char** environ;

namespace txads::testing {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<char*> c_argv(const std::vector<std::string>& argv) {
  std::vector<char*> out;
  for (const auto& a : argv) out.push_back(const_cast<char*>(a.c_str()));
  out.push_back(nullptr);
  return out;
}

// Reaps pid within `limit`, else kills it; the exit code or -1.
int reap(pid_t pid, Clock::time_point deadline) {
  int status = 0;
  for (;;) {
    const pid_t r = ::waitpid(pid, &status, WNOHANG);
    if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (r < 0) return -1;
    if (Clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace

XSession::XSession() {
  if (const char* d = std::getenv("DISPLAY")) saved_display_ = d;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return;
  // Xvfb writes the display number it took to the descriptor it is given.
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_adddup2(&files, fds[1], 9);
  posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
  const std::vector<std::string> argv = {"Xvfb",        "-displayfd", "9",   "-screen", "0",
                                         "1024x768x24", "-nolisten",  "tcp", "-noreset"};
  auto args = c_argv(argv);
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, "Xvfb", &files, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  ::close(fds[1]);
  if (rc != 0) {
    ::close(fds[0]);
    return;
  }
  pid_ = pid;
  std::string number;
  const auto deadline = Clock::now() + std::chrono::seconds(15);
  while (Clock::now() < deadline && number.find('\n') == std::string::npos) {
    pollfd p{fds[0], POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    char chunk[32];
    const ssize_t n = ::read(fds[0], chunk, sizeof chunk);
    if (n <= 0) break;
    number.append(chunk, static_cast<size_t>(n));
  }
  ::close(fds[0]);
  if (number.find('\n') == std::string::npos) return;
  number.erase(number.find('\n'));
  display_ = ":" + number;
  ::setenv("DISPLAY", display_.c_str(), 1);
}

XSession::~XSession() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    reap(pid_, Clock::now() + std::chrono::seconds(5));
  }
  if (saved_display_) {
    ::setenv("DISPLAY", saved_display_->c_str(), 1);
  } else {
    ::unsetenv("DISPLAY");
  }
}

CommandResult run_command(const std::vector<std::string>& argv, std::chrono::milliseconds limit) {
  CommandResult result;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return result;
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_adddup2(&files, fds[1], 1);
  posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  auto args = c_argv(argv);
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, args[0], &files, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  ::close(fds[1]);
  if (rc != 0) {
    ::close(fds[0]);
    return result;
  }
  const auto deadline = Clock::now() + limit;
  for (;;) {
    pollfd p{fds[0], POLLIN, 0};
    const int ready = ::poll(&p, 1, 50);
    if (ready > 0) {
      char chunk[4096];
      const ssize_t n = ::read(fds[0], chunk, sizeof chunk);
      if (n <= 0) break;
      result.out.append(chunk, static_cast<size_t>(n));
    }
    if (Clock::now() > deadline) break;
  }
  ::close(fds[0]);
  result.exit_code = reap(pid, deadline + std::chrono::milliseconds(100));
  return result;
}

std::optional<std::string> wait_for_window(const std::string& title,
                                           std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    const auto found =
        run_command({"xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"},
                    std::chrono::seconds(5));
    if (found.exit_code == 0 && !found.out.empty()) {
      return found.out.substr(0, found.out.find('\n'));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return std::nullopt;
}

bool focus(const std::string& window) {
  return run_command({"xdotool", "windowfocus", "--sync", window}).exit_code == 0;
}

bool press(const std::string& keys) {
  return run_command({"xdotool", "key", "--delay", "60", keys}).exit_code == 0;
}

bool type_text(const std::string& text) {
  return run_command({"xdotool", "type", "--delay", "40", "--", text}).exit_code == 0;
}

bool double_click(const std::string& window, int x, int y) {
  return run_command({"xdotool", "mousemove", "--sync", "--window", window, std::to_string(x),
                      std::to_string(y), "click", "--repeat", "2", "--delay", "80", "1"})
             .exit_code == 0;
}

std::string transient_for(const std::string& window) {
  const auto r = run_command({"xprop", "-id", window, "WM_TRANSIENT_FOR"});
  const size_t hash = r.out.find("# ");
  if (r.exit_code != 0 || hash == std::string::npos) return "";
  std::string id = r.out.substr(hash + 2);
  id.erase(std::remove(id.begin(), id.end(), '\n'), id.end());
  return id;
}

bool screenshot(const std::string& png_path) {
  return run_command({"import", "-window", "root", png_path}).exit_code == 0;
}

std::vector<pid_t> helper_children(const XSession& session) {
  std::vector<pid_t> children = child_processes();
  children.erase(std::remove(children.begin(), children.end(), session.server_pid()),
                 children.end());
  return children;
}

}  // namespace txads::testing
