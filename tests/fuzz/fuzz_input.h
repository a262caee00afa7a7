// The arguments of one call cut from a fuzzer's input, one a line (so that
// they may hold any other byte): texts, "(null)" for a null pointer, and
// lengths as decimal numbers. A broken rule ends the run (ensure).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#define ensure(condition) ((condition) ? (void)0 : __builtin_trap())

namespace txads_fuzz {

struct FuzzInput {
  FuzzInput(const uint8_t* data, size_t size) : rest(reinterpret_cast<const char*>(data), size) {}
  std::string text() {
    const size_t end = std::min(rest.find('\n'), rest.size());
    std::string taken(rest.substr(0, end));
    rest.remove_prefix(std::min(end + 1, rest.size()));
    return taken;
  }
  int length() { return static_cast<int>(std::strtoll(text().c_str(), nullptr, 10)); }
  static const char* c_str(const std::string& text) {
    return text == "(null)" ? nullptr : text.c_str();
  }
  std::string_view rest;
};

}  // namespace txads_fuzz
