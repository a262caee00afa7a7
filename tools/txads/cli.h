// The txads command: one subcommand per export. Each subcommand file
// registers its commands with a static Registration.
#pragma once

#include <string>
#include <vector>

namespace cli {

struct Options {
  std::vector<std::string> args;  // positional arguments
  int buffer_size = 1024;         // --buffer-size N: each output buffer's length
  int error_size = 512;           // --error-size N: the error buffer's length
  bool recurse = false;           // --recurse: TXADSetRecursFlag(1) before the call
};

struct Command {
  const char* name;                    // "is-group-exist"
  const char* export_name;             // "TXADIsGroupExist"
  const char* usage;                   // "PATH"
  const char* help;                    // one paragraph: what it asks and what the results mean
  int arg_count;                       // positional arguments required
  int (*run)(const Options& options);  // returns the export's result code
};

struct Registration {
  explicit Registration(Command command);
};

// A caller buffer of the requested size, pre-filled with zeros.
class Buffer {
 public:
  explicit Buffer(int size)
      : bytes_(size > 0 ? static_cast<size_t>(size) + 1 : 1, '\0'), size_(size) {}
  char* data() { return bytes_.data(); }
  int size() const { return size_; }
  // The text written, never read past the buffer's length.
  std::string text() const;

 private:
  std::string bytes_;  // one spare zero byte past the caller's length
  int size_;
};

// Prints "result: N" and each "name: text" line.
void print_result(int result);
void print_buffer(const char* name, const Buffer& buffer);

// A whole-number argument (decimal, or hexadecimal with 0x) within
// [min, max]; anything else ends the command with exit status 64.
long long number_argument(const std::string& text, const char* what, long long min, long long max);

}  // namespace cli
