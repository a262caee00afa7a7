// txads: try every export of libtxads from a shell.
//
//   txads [--recurse] [--buffer-size N] [--error-size N] COMMAND ARGS...
//
// Prints "result: N" and every output buffer as "name: text". The exit status
// is the result code modulo 256 (1 is 1, -1 is 255, -3 is 253); 64 means the
// command line was wrong.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "cli.h"
#include "txads.h"

namespace cli {
namespace {

std::map<std::string, Command>& commands() {
  static std::map<std::string, Command> table;
  return table;
}

constexpr int kUsageError = 64;

void print_usage(FILE* out) {
  std::fprintf(
      out,
      "usage: txads [--recurse] [--buffer-size N] [--error-size N] COMMAND ARGS...\n"
      "       txads COMMAND --help\n\n"
      "options:\n"
      "  --recurse        call TXADSetRecursFlag(1) first: group checks follow nested groups\n"
      "  --buffer-size N  length passed with each output buffer (default 1024; zero and\n"
      "                   negative lengths are passed as they are)\n"
      "  --error-size N   length passed with the error buffer (default 512)\n\n"
      "Prints \"result: N\" and each output buffer as \"name: text\".\n"
      "Exit status: the result code modulo 256 (-1 is 255, -3 is 253); 64 for a\n"
      "wrong command line.\n\ncommands:\n");
  for (const auto& [name, command] : commands()) {
    std::fprintf(out, "  %-34s %s\n", name.c_str(), command.usage);
  }
}

void print_help(const Command& command) {
  std::printf("usage: txads [--recurse] %s %s\n\ncalls %s.\n\n%s\n", command.name, command.usage,
              command.export_name, command.help);
}

bool parse_int(const char* text, int& out) {
  char* end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < -2147483647L - 1 || v > 2147483647L) return false;
  out = static_cast<int>(v);
  return true;
}

}  // namespace

Registration::Registration(Command command) {
  commands().emplace(command.name, command);
}

std::string Buffer::text() const {
  return std::string(bytes_.data(), strnlen(bytes_.data(), size_ > 0 ? static_cast<size_t>(size_) : 0));
}

long long number_argument(const std::string& text, const char* what, long long min, long long max) {
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text.c_str(), &end, 0);
  if (text.empty() || *end != '\0' || errno == ERANGE || value < min || value > max) {
    std::fprintf(stderr, "txads: %s must be a whole number from %lld to %lld, not '%s'\n", what,
                 min, max, text.c_str());
    std::exit(kUsageError);
  }
  return value;
}

void print_result(int result) {
  std::printf("result: %d\n", result);
}

void print_buffer(const char* name, const Buffer& buffer) {
  std::string text = buffer.text();
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  std::printf("%s: %s\n", name, text.c_str());
}

}  // namespace cli

int main(int argc, char** argv) {
  using namespace cli;
  Options options;
  int i = 1;
  for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
    const char* option = argv[i];
    if (std::strcmp(option, "--recurse") == 0) {
      options.recurse = true;
    } else if (std::strcmp(option, "--buffer-size") == 0 ||
               std::strcmp(option, "--error-size") == 0) {
      int& size = option[2] == 'b' ? options.buffer_size : options.error_size;
      if (i + 1 >= argc || !parse_int(argv[i + 1], size)) {
        std::fprintf(stderr, "txads: %s needs a whole number (a length in bytes)\n", option);
        return kUsageError;
      }
      ++i;
    } else if (std::strcmp(option, "--help") == 0) {
      print_usage(stdout);
      return 0;
    } else {
      std::fprintf(stderr, "txads: unknown option %s (try txads --help)\n", option);
      return kUsageError;
    }
  }
  if (i >= argc) {
    std::fprintf(stderr, "txads: no command given\n");
    print_usage(stderr);
    return kUsageError;
  }
  auto found = commands().find(argv[i]);
  if (found == commands().end()) {
    std::fprintf(stderr, "txads: unknown command %s\n", argv[i]);
    print_usage(stderr);
    return kUsageError;
  }
  const Command& command = found->second;
  for (int j = i + 1; j < argc; ++j) {
    if (std::strcmp(argv[j], "--help") == 0) {
      print_help(command);
      return 0;
    }
    options.args.emplace_back(argv[j]);
  }
  if (static_cast<int>(options.args.size()) != command.arg_count) {
    std::fprintf(stderr, "usage: txads %s %s\n", command.name, command.usage);
    return kUsageError;
  }
  if (options.recurse) TXADSetRecursFlag(1);
  const int result = command.run(options);
  return result & 0xFF;
}
