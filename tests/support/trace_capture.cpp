#include "support/trace_capture.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace txads_test {
namespace {

const std::string kTraceFile = [] {
  const char* named = std::getenv("ZKTRACE_FILE");
  if (named != nullptr && *named != '\0') return std::string(named);
  const char* dir = std::getenv("TMPDIR");
  std::string file = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/txads-trace-" +
                     std::to_string(getpid()) + ".log";
  setenv("ZKTRACE_FILE", file.c_str(), 1);
  return file;
}();

}  // namespace

TraceLine parse_trace_line(const std::string& raw) {
  TraceLine line;
  line.raw = raw;
  // The message follows the third " | "; the fields before it hold none.
  size_t fields[3];
  size_t at = 0;
  for (size_t& field : fields) {
    at = raw.find(" | ", at);
    if (at == std::string::npos) return line;
    field = at;
    at += 3;
  }
  line.component = raw.substr(fields[0] + 3, fields[1] - fields[0] - 3);
  line.level = std::atoi(raw.substr(fields[1] + 3, fields[2] - fields[1] - 3).c_str());
  line.message = raw.substr(fields[2] + 3);
  return line;
}

TraceCapture::TraceCapture() {
  std::ifstream file(kTraceFile, std::ios::ate | std::ios::binary);
  offset_ = file ? static_cast<long>(file.tellg()) : 0;
}

std::vector<TraceLine> TraceCapture::lines() const {
  std::ifstream file(kTraceFile, std::ios::binary);
  file.seekg(offset_);
  std::vector<TraceLine> lines;
  for (std::string raw; std::getline(file, raw);) lines.push_back(parse_trace_line(raw));
  return lines;
}

std::vector<std::string> TraceCapture::messages() const {
  std::vector<std::string> messages;
  for (const TraceLine& line : lines()) messages.push_back(line.message);
  return messages;
}

}  // namespace txads_test
