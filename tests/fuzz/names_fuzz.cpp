// Names a caller writes: a parsed dn holds no zero byte and a path rebuilt
// from it parses back the same; a SID read from text or bytes writes itself
// back the same and its text fills a buffer by the strncpy rule only; an
// escaped filter value holds no filter character or zero byte, each
// backslash starting two hex digits; an accepted attribute name holds none.
#include <cctype>

#include "accounts/sid_string.h"
#include "directory/ldap_path.h"
#include "directory/same_dn.h"
#include "directory/search.h"
#include "fuzz_input.h"
#include "platform/account_directory.h"
#include "platform/sid.h"
#include "queries/names.h"
#include "queries/value_text.h"
#include "support/guarded_buffer.h"

static void check_escaped(const std::string& escaped) {
  for (size_t i = 0; i < escaped.size(); ++i) {
    ensure(std::string_view("*()", 4).find(escaped[i]) == std::string_view::npos);
    if (escaped[i] == '\\')
      ensure(i + 2 < escaped.size() && isxdigit(escaped[i + 1]) && isxdigit(escaped[i + 2]));
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace d = txads::directory;
  txads_fuzz::FuzzInput in(data, size);
  const std::string path = in.text(), name = in.text(), sid_text = in.text();
  d::LdapPath parsed, again;
  if (d::parse_path(path, parsed).ok()) {
    ensure(parsed.dn.find('\0') == std::string::npos);
    ensure(d::parse_path(d::format_path(parsed.endpoint.server, parsed.dn), again).ok());
    ensure(again.dn == parsed.dn && again.endpoint.server == parsed.endpoint.server);
  }
  d::first_rdn(name), d::parent_dn(name), d::dns_name_of(name), d::is_single_rdn(name);
  d::same_dn(path, name), txads::queries::entry_name(name);
  check_escaped(d::escape_filter_value(name));
  check_escaped(txads::filter_bytes(name));
  if (txads::queries::is_attribute_description(name))
    ensure(name.find_first_of(std::string_view("*()\\=& ", 8)) == std::string::npos);

  if (const auto sid = txads::Sid::parse(sid_text))
    ensure(txads::Sid::parse(sid->to_string()) == sid &&
           txads::Sid::from_bytes(sid->to_bytes()) == sid);
  if (const auto sid = txads::Sid::from_bytes(sid_text)) {
    ensure(sid->to_bytes() == sid_text);
    txads_test::GuardedBuffer buffer(in.length() % 300);
    std::string bytes = sid_text;
    txads::GetStringFromSID(bytes.data(), buffer.data(), buffer.length());
    ensure(buffer.guards_intact());
  }
  txads::queries::sid_text(sid_text), txads::queries::guid_text(sid_text);
  txads::queries::time_text(sid_text);
  return 0;
}
