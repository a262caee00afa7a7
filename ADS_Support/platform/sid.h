// Sid: a security identifier as a plain value, convertible to and from its
// binary layout (see security_types.h) and its text form "S-1-5-21-...".
// Thread-safe as a value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/security_types.h"

namespace txads {

class Sid {
 public:
  Sid() = default;
  // At most SID_MAX_SUB_AUTHORITIES sub-authorities; the authority is 48-bit.
  static std::optional<Sid> make(uint64_t authority, std::vector<uint32_t> sub_authorities);

  // The binary layout; nullopt when the bytes are not exactly one valid SID.
  static std::optional<Sid> from_bytes(std::string_view bytes);
  // A valid SID read from memory whose size is not known: the header is read
  // first, then only as many bytes as it announces. nullptr gives nullopt.
  static std::optional<Sid> from_memory(const void* sid);
  // The text form: "S-1-" authority ("0x" and 12 hexadecimal digits allowed)
  // and up to 15 "-" sub-authorities in decimal. Anything else gives nullopt.
  static std::optional<Sid> parse(std::string_view text);

  uint64_t authority() const { return authority_; }
  const std::vector<uint32_t>& sub_authorities() const { return sub_authorities_; }
  uint32_t rid() const { return sub_authorities_.empty() ? 0 : sub_authorities_.back(); }

  // The SID without its last sub-authority (the domain of an account).
  std::optional<Sid> parent() const;
  bool is_prefix_of(const Sid& other) const;

  std::string to_bytes() const;
  // An authority of 2^32 or more is written "0x" + 12 upper-case hex digits.
  std::string to_string() const;
  size_t length() const { return 8 + 4 * sub_authorities_.size(); }

  friend bool operator==(const Sid&, const Sid&) = default;

 private:
  uint64_t authority_ = 0;
  std::vector<uint32_t> sub_authorities_;
};

}  // namespace txads
