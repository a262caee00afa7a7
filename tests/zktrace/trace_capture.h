// Test helper: runs a piece of code in a child process whose ZKTRACE_FILE
// names a fresh file, and returns the lines the child wrote there, parsed.
// The destination is read once per process, so a child is the only way to
// give each test a file of its own. The work runs between fork and _exit:
// it must not use gtest assertions (report through the exit status instead).
#pragma once

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <vector>

namespace trace_capture {

struct Line {
  std::string raw;
  std::string stamp;
  long thread_id = 0;
  std::string product;
  std::string component;
  int level = 0;
  std::string message;
  bool parsed = false;
};

// "YYYY-MM-DD HH:MM:SS.mmm +hhmm [tid] product | component | level | message".
// The regular expression sees only the fields in front of the message (it
// would overflow the stack on a long message).
inline Line parse(const std::string& raw) {
  static const std::regex kHead(
      R"(^(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} [+-]\d{4}) \[(\d+)\] ([^|]*) \| ([^|]*) \| (-?\d+) \| $)");
  Line line;
  line.raw = raw;
  size_t end = 0;
  for (int separators = 0; separators < 3; ++separators) {
    end = raw.find(" | ", end);
    if (end == std::string::npos) return line;
    end += 3;
  }
  const std::string head = raw.substr(0, end);
  std::smatch m;
  if (!std::regex_match(head, m, kHead)) return line;
  line.stamp = m[1];
  line.thread_id = std::stol(m[2]);
  line.product = m[3];
  line.component = m[4];
  line.level = std::stoi(m[5]);
  line.message = raw.substr(end);
  line.parsed = true;
  return line;
}

// A path no other test uses: tag, process id and a counter.
inline std::string temp_path(const char* tag) {
  static int counter = 0;
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/" + tag + "." + std::to_string(::getpid()) +
         "." + std::to_string(++counter) + ".log";
}

struct Result {
  int exit_status = -1;  // the child's exit status, -1 if it did not exit
  std::string bytes;     // everything in the file
  std::vector<Line> lines;
};

// Runs `work` in a child with ZKTRACE_FILE=path (unset when path is empty);
// `work` returns the child's exit status.
inline Result run_with_trace_file(const std::string& path, const std::function<int()>& work) {
  Result result;
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (path.empty()) {
      ::unsetenv("ZKTRACE_FILE");
    } else {
      ::setenv("ZKTRACE_FILE", path.c_str(), 1);
    }
    ::_exit(work());
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return result;
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return result;  // never a FIFO
  std::ifstream in(path, std::ios::binary);
  result.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  size_t start = 0;
  for (size_t nl = result.bytes.find('\n'); nl != std::string::npos;
       nl = result.bytes.find('\n', start)) {
    result.lines.push_back(parse(result.bytes.substr(start, nl - start)));
    start = nl + 1;
  }
  return result;
}

// The same with a fresh file that is removed afterwards.
inline Result run_traced(const std::function<int()>& work) {
  const std::string path = temp_path("trace");
  Result result = run_with_trace_file(path, work);
  ::unlink(path.c_str());
  return result;
}

}  // namespace trace_capture
