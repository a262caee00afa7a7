#include "frame/system_messages.h"

#include <algorithm>
#include <iterator>

namespace txads {
namespace {

struct Message {
  uint32_t code;
  const char* text;
};

// Sorted by code.
constexpr Message kMessages[] = {
    {5, "Access is denied.\n"},
    {8, "Not enough memory is available to process this command.\n"},
    {87, "The parameter is incorrect.\n"},
    {122, "The data area passed to a system call is too small.\n"},
    {1332, "No mapping between account names and security IDs was done.\n"},
    {8240, "There is no such object on the server.\n"},
    {8250, "The server is not operational.\n"},
};

}  // namespace

const char* system_message(uint32_t code) {
  if (((code >> 16) & 0x1FFFu) == 7) code &= 0xFFFFu;
  auto it = std::lower_bound(std::begin(kMessages), std::end(kMessages), code,
                             [](const Message& m, uint32_t c) { return m.code < c; });
  return it != std::end(kMessages) && it->code == code ? it->text : "";
}

}  // namespace txads
