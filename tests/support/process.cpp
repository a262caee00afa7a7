// Tool runner of the test support (see process.h). Anonymous temporary files
// hold the three standard streams.
#include "support/process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

extern char** environ;

namespace txads_test {
namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

File temp_file(const std::string& text = {}) {
  File file(std::tmpfile(), std::fclose);
  if (!file || std::fwrite(text.data(), 1, text.size(), file.get()) != text.size() ||
      std::fflush(file.get()) != 0)
    throw std::runtime_error("cannot write a temporary file");
  std::rewind(file.get());
  return file;
}

// What the child wrote through its own descriptor, from the start.
std::string read_all(std::FILE* file) {
  std::string text;
  char chunk[4096];
  lseek(fileno(file), 0, SEEK_SET);
  for (ssize_t n; (n = ::read(fileno(file), chunk, sizeof chunk)) > 0;)
    text.append(chunk, static_cast<size_t>(n));
  return text;
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
  const File in = temp_file(input), out = temp_file(), err = temp_file();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  int stream = 0;
  for (const File* file : {&in, &out, &err})
    posix_spawn_file_actions_adddup2(&actions, fileno(file->get()), stream++);

  std::vector<std::string> args = argv, environment;
  for (char** e = environ; *e; ++e) {  // the test's own, less what `env` replaces
    const std::string entry(*e), name = entry.substr(0, entry.find('=') + 1);
    bool replaced = false;
    for (const auto& o : env) replaced = replaced || o.rfind(name, 0) == 0;
    if (!replaced) environment.push_back(entry);
  }
  environment.insert(environment.end(), env.begin(), env.end());
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, args[0].c_str(), &actions, nullptr, pointers(args).data(),
                              pointers(environment).data());
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
  result.out = read_all(out.get());
  result.err = read_all(err.get());
  return result;
}

std::string command_line(const std::vector<std::string>& argv) {
  std::string line;
  for (const std::string& arg : argv) {
    if (!line.empty()) line += ' ';
    if (!arg.empty() && arg.find_first_of(" '\"\\$") == std::string::npos) {
      line += arg;
      continue;
    }
    line += '\'';
    for (char c : arg) line += c == '\'' ? std::string("'\\''") : std::string(1, c);
    line += '\'';
  }
  return line;
}

}  // namespace txads_test
