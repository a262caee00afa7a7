// GetStringFromSID over ConvertSidToStringSidA.
#include "accounts/sid_string.h"

#include <memory>

#include "frame/output_buffer.h"
#include "platform/sid_api.h"

namespace txads {
namespace {

struct LocalMemoryFree {
  void operator()(char* memory) const noexcept { LocalFree(memory); }
};

}  // namespace

int GetStringFromSID(PSID sid, char* text, int length) {
  if (length < 0 || (text == nullptr && length > 0)) return 0;
  char* raw = nullptr;
  if (!ConvertSidToStringSidA(sid, &raw)) return 0;
  const std::unique_ptr<char, LocalMemoryFree> converted(raw);
  OutputBuffer{text, length}.copy(converted.get());
  return 1;
}

}  // namespace txads
