// Subcommands for the frame's exports.
#include <cstdint>

#include "cli.h"
#include "txads.h"

namespace {

int run_init(const cli::Options& o) {
  const auto window =
      static_cast<uintptr_t>(cli::number_argument(o.args[0], "WINDOW", 0, INT64_MAX));
  const int result = TXADInit(reinterpret_cast<HWND>(window));
  cli::print_result(result);
  return result;
}

int run_set_recurs_flag(const cli::Options& o) {
  TXADSetRecursFlag(
      static_cast<int>(cli::number_argument(o.args[0], "FLAG", INT32_MIN, INT32_MAX)));
  cli::print_result(0);
  return 0;
}

const cli::Registration init{
    {"init", "TXADInit", "WINDOW",
     "Stores WINDOW (an X11 window id, 0 for none) as the window that owns\n"
     "the group picker and names the trace product. Result: always 1.",
     1, run_init}};
const cli::Registration set_recurs_flag{
    {"set-recurs-flag", "TXADSetRecursFlag", "FLAG",
     "Sets the recursion flag for this process: non-zero makes the group checks\n"
     "follow nested groups. Prints result 0 (the export returns nothing).",
     1, run_set_recurs_flag}};

}  // namespace
