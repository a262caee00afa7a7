// Subcommands for the selection dialogs: the container browser and the group
// picker. Both need an X display (DISPLAY) and block until the dialog closes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cli.h"
#include "txads.h"

namespace {

// "-" passes a null string, so that the dialog keeps its own text.
const char* text_or_null(const std::string& arg) {
  return arg == "-" ? nullptr : arg.c_str();
}

int run_get_container(const cli::Options& o) {
  cli::Buffer path(o.buffer_size);
  const int result =
      TXADGetContainer(text_or_null(o.args[0]), text_or_null(o.args[1]), path.data(), path.size());
  cli::print_result(result);
  cli::print_buffer("path", path);
  return result;
}

int run_get_groups(const cli::Options& o) {
  const auto window = static_cast<uintptr_t>(std::strtoull(o.args[0].c_str(), nullptr, 0));
  if (window != 0) TXADInit(reinterpret_cast<HWND>(window));
  cli::Buffer list(o.buffer_size);
  cli::Buffer error(o.error_size);
  const int result = TXADGetGroups(list.data(), list.size(), error.data(), error.size());
  cli::print_result(result);
  cli::print_buffer("list", list);
  cli::print_buffer("error", error);
  return result;
}

const cli::Registration get_container{
    {"get-container", "TXADGetContainer", "CAPTION TITLE",
     "Opens the container browser with CAPTION as its window title and TITLE above\n"
     "the tree (\"-\" keeps the dialog's own text) and waits until it closes.\n"
     "Result 0: a container was chosen; its LDAP path (with its server) is printed,\n"
     "cut to --buffer-size bytes. Result 2: cancelled. Result -1: the dialog could\n"
     "not be shown (no X display, helper program missing or failed).",
     2, run_get_container}};

const cli::Registration get_groups{
    {"get-groups", "TXADGetGroups", "WINDOW",
     "Opens the group picker over the forest's security groups, owned by the X11\n"
     "window WINDOW (0 for none; else given to TXADInit first), and waits until it\n"
     "closes. Result 0: the chosen group's LDAP path is printed (several would be\n"
     "joined with \";\"). Result -2: the choice is longer than --buffer-size; nothing\n"
     "printed. Result -1: cancelled (no error text) or failed (the error names why:\n"
     "no X display, no such owner window, helper missing, directory unreachable).",
     1, run_get_groups}};

}  // namespace
