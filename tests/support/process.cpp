// Tool runner of the test support (see process.h). Temporary files hold the
// three standard streams and are removed before run_tool returns.
#include "support/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace txads_test {
namespace {

// An anonymous temporary file (tmpfile: removed when closed) for one stream.
class TempFile {
 public:
  TempFile() : file_(std::tmpfile()) {
    if (file_ == nullptr) throw std::runtime_error("cannot create a temporary file");
  }
  ~TempFile() { std::fclose(file_); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fileno(file_); }
  void write_all(const std::string& text) const {
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fflush(file_) != 0)
      throw std::runtime_error("cannot write a temporary file");
    std::rewind(file_);
  }
  // The child wrote through its own descriptor; read from the start.
  std::string read_all() const {
    std::string text;
    char chunk[4096];
    lseek(fd(), 0, SEEK_SET);
    for (ssize_t n; (n = ::read(fd(), chunk, sizeof chunk)) > 0;)
      text.append(chunk, static_cast<size_t>(n));
    return text;
  }

 private:
  std::FILE* file_;
};

std::vector<std::string> merged_environment(const std::vector<std::string>& overrides) {
  std::vector<std::string> result;
  for (char** e = environ; *e; ++e) {
    std::string entry(*e);
    std::string name = entry.substr(0, entry.find('=') + 1);
    bool replaced = false;
    for (const auto& o : overrides) replaced = replaced || o.rfind(name, 0) == 0;
    if (!replaced) result.push_back(entry);
  }
  result.insert(result.end(), overrides.begin(), overrides.end());
  return result;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> result;
  for (auto& s : strings) result.push_back(s.data());
  result.push_back(nullptr);
  return result;
}

}  // namespace

ToolResult run_tool(const std::vector<std::string>& argv, const std::string& input,
                    const std::vector<std::string>& env) {
  if (argv.empty()) throw std::invalid_argument("run_tool: no program");
  TempFile in, out, err;
  in.write_all(input);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in.fd(), 0);
  posix_spawn_file_actions_adddup2(&actions, out.fd(), 1);
  posix_spawn_file_actions_adddup2(&actions, err.fd(), 2);

  std::vector<std::string> args = argv;
  std::vector<std::string> environment = merged_environment(env);
  auto arg_ptrs = pointers(args);
  auto env_ptrs = pointers(environment);
  pid_t pid = -1;
  int rc = posix_spawnp(&pid, args[0].c_str(), &actions, nullptr, arg_ptrs.data(), env_ptrs.data());
  posix_spawn_file_actions_destroy(&actions);

  ToolResult result;
  if (rc != 0) {
    result.err = "cannot start " + args[0] + ": " + std::strerror(rc);
    return result;
  }
  int wstatus = 0;
  while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
  }
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  result.out = out.read_all();
  result.err = err.read_all();
  return result;
}

std::string command_line(const std::vector<std::string>& argv) {
  std::ostringstream line;
  for (size_t i = 0; i < argv.size(); ++i) {
    if (i) line << ' ';
    bool plain = !argv[i].empty() && argv[i].find_first_of(" '\"\\$") == std::string::npos;
    if (plain) {
      line << argv[i];
    } else {
      line << '\'';
      for (char c : argv[i]) c == '\'' ? line << "'\\''" : line << c;
      line << '\'';
    }
  }
  return line.str();
}

}  // namespace txads_test
