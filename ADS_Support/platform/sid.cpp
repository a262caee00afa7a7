// Sid: binary layout and text form of security identifiers.
#include "platform/sid.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace txads {
namespace {

constexpr uint64_t kMaxAuthority = (uint64_t{1} << 48) - 1;
constexpr uint64_t kMaxDecimalAuthority = (uint64_t{1} << 32) - 1;

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decimal digits only, no sign, no blanks, value at most `max`.
std::optional<uint64_t> parse_decimal(std::string_view text, uint64_t max) {
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (!is_digit(c)) return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > max) return std::nullopt;
  }
  return value;
}

// "0x" followed by 1 to 12 hexadecimal digits.
std::optional<uint64_t> parse_hex_authority(std::string_view text) {
  if (text.size() < 3 || text.size() > 14 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
    return std::nullopt;
  uint64_t value = 0;
  for (char c : text.substr(2)) {
    const int digit = hex_value(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<uint64_t>(digit);
  }
  return value;
}

std::optional<uint64_t> parse_authority(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return parse_hex_authority(text);
  return parse_decimal(text, kMaxDecimalAuthority);
}

}  // namespace

std::optional<Sid> Sid::make(uint64_t authority, std::vector<uint32_t> sub_authorities) {
  if (authority > kMaxAuthority || sub_authorities.size() > SID_MAX_SUB_AUTHORITIES)
    return std::nullopt;
  Sid sid;
  sid.authority_ = authority;
  sid.sub_authorities_ = std::move(sub_authorities);
  return sid;
}

std::optional<Sid> Sid::from_bytes(std::string_view bytes) {
  if (bytes.size() < 8) return std::nullopt;
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t count = b[1];
  if (b[0] != SID_REVISION || count > SID_MAX_SUB_AUTHORITIES || bytes.size() != 8 + 4 * count)
    return std::nullopt;
  uint64_t authority = 0;
  for (int i = 2; i < 8; ++i) authority = (authority << 8) | b[i];
  std::vector<uint32_t> subs(count);
  for (size_t i = 0; i < count; ++i) {
    const unsigned char* p = b + 8 + 4 * i;
    subs[i] = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  }
  return make(authority, std::move(subs));
}

std::optional<Sid> Sid::from_memory(const void* sid) {
  if (sid == nullptr) return std::nullopt;
  const auto* b = static_cast<const unsigned char*>(sid);
  if (b[0] != SID_REVISION || b[1] > SID_MAX_SUB_AUTHORITIES) return std::nullopt;
  return from_bytes(std::string_view(static_cast<const char*>(sid), 8 + 4 * size_t{b[1]}));
}

std::optional<Sid> Sid::parse(std::string_view text) {
  if (text.size() < 2 || (text[0] != 'S' && text[0] != 's') || text[1] != '-') return std::nullopt;
  text.remove_prefix(2);

  std::vector<std::string_view> parts;
  for (;;) {
    const size_t dash = text.find('-');
    parts.push_back(text.substr(0, dash));
    if (dash == std::string_view::npos) break;
    text.remove_prefix(dash + 1);
  }
  // Revision and authority, then the sub-authorities.
  if (parts.size() < 2 || parts.size() - 2 > SID_MAX_SUB_AUTHORITIES) return std::nullopt;
  if (parts[0] != "1") return std::nullopt;
  const auto authority = parse_authority(parts[1]);
  if (!authority) return std::nullopt;
  std::vector<uint32_t> subs;
  for (size_t i = 2; i < parts.size(); ++i) {
    const auto value = parse_decimal(parts[i], UINT32_MAX);
    if (!value) return std::nullopt;
    subs.push_back(static_cast<uint32_t>(*value));
  }
  return make(*authority, std::move(subs));
}

std::optional<Sid> Sid::parent() const {
  if (sub_authorities_.empty()) return std::nullopt;
  std::vector<uint32_t> subs(sub_authorities_.begin(), sub_authorities_.end() - 1);
  return make(authority_, std::move(subs));
}

bool Sid::is_prefix_of(const Sid& other) const {
  if (authority_ != other.authority_ || sub_authorities_.size() > other.sub_authorities_.size())
    return false;
  return std::equal(sub_authorities_.begin(), sub_authorities_.end(),
                    other.sub_authorities_.begin());
}

std::string Sid::to_bytes() const {
  std::string bytes(length(), '\0');
  auto* b = reinterpret_cast<unsigned char*>(bytes.data());
  b[0] = SID_REVISION;
  b[1] = static_cast<unsigned char>(sub_authorities_.size());
  for (int i = 0; i < 6; ++i) b[2 + i] = static_cast<unsigned char>(authority_ >> (8 * (5 - i)));
  for (size_t i = 0; i < sub_authorities_.size(); ++i) {
    for (size_t k = 0; k < 4; ++k)
      b[8 + 4 * i + k] = static_cast<unsigned char>(sub_authorities_[i] >> (8 * k));
  }
  return bytes;
}

std::string Sid::to_string() const {
  char number[32];
  std::string text = "S-1-";
  if (authority_ > kMaxDecimalAuthority) {
    std::snprintf(number, sizeof number, "0x%012llX", static_cast<unsigned long long>(authority_));
  } else {
    std::snprintf(number, sizeof number, "%llu", static_cast<unsigned long long>(authority_));
  }
  text += number;
  for (uint32_t sub : sub_authorities_) {
    std::snprintf(number, sizeof number, "-%u", sub);
    text += number;
  }
  return text;
}

}  // namespace txads
