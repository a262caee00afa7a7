// Callers' buffers and code sets: text is copied and listed by the caller's
// length, never past it, whatever the length, the text a list buffer holds
// or the thread's code set; conversions and value texts take any bytes.
#include <clocale>
#include <cstring>

#include "directory/value.h"
#include "frame/conversions.h"
#include "frame/output_buffer.h"
#include "fuzz_input.h"
#include "queries/list_buffer.h"
#include "queries/value_text.h"
#include "support/guarded_buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const locale_t locales[] = {newlocale(LC_ALL_MASK, "C", nullptr),
                                     newlocale(LC_ALL_MASK, "en_US.UTF-8", nullptr),
                                     newlocale(LC_ALL_MASK, "de_DE.ISO-8859-1", nullptr)};
  txads_fuzz::FuzzInput in(data, size);
  const std::string code_set = in.text(), text = in.text(), before = in.text();
  const int length = in.length() % 4096;
  if (locale_t locale = locales[code_set.size() % 3]) uselocale(locale);

  txads_test::GuardedBuffer copied(length), list(length);
  txads::OutputBuffer{copied.data(), length}.copy(text);
  std::memcpy(list.data(), before.data(), std::min(before.size(), static_cast<size_t>(std::max(length, 0))));
  txads::queries::ListBuffer entries(list.data(), length);
  while (entries.append_entry(text) && !text.empty()) {
  }
  ensure(copied.guards_intact() && list.guards_intact());

  if (const auto utf8 = txads::to_directory(text.c_str())) txads::from_directory(*utf8);
  using Syntax = txads::directory::Value::Syntax;
  for (int syntax = 0; syntax <= static_cast<int>(Syntax::octets); ++syntax)
    txads::queries::value_text({static_cast<Syntax>(syntax), {text, before}});
  uselocale(LC_GLOBAL_LOCALE);
  return 0;
}
