// Trace capture and the txads command under another host name.
#include "scratch_directory.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "support/process.h"

namespace membership_test {
namespace {

// Trace lines go to a file of this process; named before the first line.
const std::string kTraceFile = [] {
  std::string file = "/tmp/txads-membership-trace-" + std::to_string(getpid()) + ".log";
  setenv("ZKTRACE_FILE", file.c_str(), 1);
  return file;
}();

}  // namespace

TraceCapture::TraceCapture() {
  std::ifstream file(kTraceFile, std::ios::ate);
  offset_ = file ? static_cast<long>(file.tellg()) : 0;
}

std::vector<std::string> TraceCapture::lines() const {
  std::ifstream file(kTraceFile);
  file.seekg(offset_);
  std::vector<std::string> messages;
  static const std::string kField = " | 6 | ";
  for (std::string line; std::getline(file, line);) {
    const size_t at = line.find(kField);
    if (at != std::string::npos) messages.push_back(line.substr(at + kField.size()));
  }
  return messages;
}

std::string txads_on_host(const std::string& host, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {
      "unshare", "--uts", "/bin/sh", "-c", "hostname \"$0\" && exec \"$@\"", host, TXADS_COMMAND};
  argv.insert(argv.end(), args.begin(), args.end());
  return txads_test::run_tool(argv).out;
}

int result_of(const std::string& output) {
  const size_t at = output.find("result: ");
  return at == std::string::npos ? 999 : std::atoi(output.c_str() + at + 8);
}

}  // namespace membership_test
