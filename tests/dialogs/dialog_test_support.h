// Test helpers of the dialog tests: scratch files, environment changes that
// undo themselves, fake helper programs, guarded caller buffers, the process's
// children, and the trace lines written during a test. Not thread-safe.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace txads::testing {

// A directory of its own under the test's output folder, removed at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Writes an executable /bin/sh script and returns its path.
std::string write_script(const TempDir& dir, const std::string& name, const std::string& body);

// Sets (or with nullopt unsets) an environment variable until destroyed.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> saved_;
};

// A caller's buffer of `length` bytes filled with `fill`, followed by guard
// bytes that no export may touch.
class GuardedBuffer {
 public:
  explicit GuardedBuffer(int length, char fill = '#');
  char* data() { return bytes_.data(); }
  int length() const { return length_; }
  // The buffer's bytes within its length (zero bytes included).
  std::string raw() const;
  // The text up to the first zero byte, never past the length.
  std::string text() const;
  bool guard_intact() const;

 private:
  static constexpr int kGuard = 16;
  int length_;
  std::string bytes_;
};

// The process's children, zombies included.
std::vector<pid_t> child_processes();

// The messages of the trace lines written since the last call (the trace
// file is set up before main).
std::vector<std::string> new_trace_messages();

// The folder for a test's files (screenshots, traces).
std::string output_folder();

}  // namespace txads::testing
