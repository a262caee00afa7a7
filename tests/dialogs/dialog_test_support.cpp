// Test helpers of the dialog tests.
#include "dialog_test_support.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace txads::testing {
namespace {

std::string trace_file() {
  return output_folder() + "/trace-" + std::to_string(::getpid()) + ".log";
}

// The trace library reads ZKTRACE_FILE at its first line: set it before main.
const bool trace_file_set = [] {
  std::filesystem::create_directories(output_folder());
  std::filesystem::remove(trace_file());
  ::setenv("ZKTRACE_FILE", trace_file().c_str(), 1);
  return true;
}();

size_t trace_offset = 0;

}  // namespace

std::string output_folder() {
  return TXADS_DIALOG_TEST_OUTPUT;
}

TempDir::TempDir() {
  std::filesystem::create_directories(output_folder());
  std::string pattern = output_folder() + "/tmp-XXXXXX";
  if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::string write_script(const TempDir& dir, const std::string& name, const std::string& body) {
  const std::string path = dir.path() + "/" + name;
  std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
  ::chmod(path.c_str(), 0755);
  return path;
}

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
  if (const char* old = std::getenv(name)) saved_ = old;
  if (value) {
    ::setenv(name, value->c_str(), 1);
  } else {
    ::unsetenv(name);
  }
}

ScopedEnv::~ScopedEnv() {
  if (saved_) {
    ::setenv(name_.c_str(), saved_->c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

GuardedBuffer::GuardedBuffer(int length, char fill)
    : length_(length), bytes_(static_cast<size_t>(length > 0 ? length : 0), fill) {
  bytes_.append(kGuard, '\x5A');
}

std::string GuardedBuffer::raw() const {
  return bytes_.substr(0, static_cast<size_t>(length_ > 0 ? length_ : 0));
}

std::string GuardedBuffer::text() const {
  const std::string r = raw();
  return r.substr(0, std::min(r.find('\0'), r.size()));
}

bool GuardedBuffer::guard_intact() const {
  return bytes_.substr(bytes_.size() - kGuard) == std::string(kGuard, '\x5A');
}

std::vector<pid_t> child_processes() {
  std::vector<pid_t> children;
  const pid_t self = ::getpid();
  DIR* proc = ::opendir("/proc");
  if (proc == nullptr) return children;
  while (dirent* entry = ::readdir(proc)) {
    const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
    if (pid <= 0) continue;
    std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    const size_t close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 2));
    char state = 0;
    pid_t parent = 0;
    rest >> state >> parent;
    if (parent == self) children.push_back(pid);
  }
  ::closedir(proc);
  return children;
}

std::vector<std::string> new_trace_messages() {
  std::ifstream in(trace_file(), std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> messages;
  if (all.size() < trace_offset) trace_offset = 0;
  std::istringstream lines(all.substr(trace_offset));
  trace_offset = all.size();
  std::string line;
  constexpr std::string_view kLevel = " | 6 | ";
  while (std::getline(lines, line)) {
    const size_t at = line.find(kLevel);
    if (at != std::string::npos) messages.push_back(line.substr(at + kLevel.size()));
  }
  return messages;
}

}  // namespace txads::testing
