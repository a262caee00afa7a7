// Rendering of attribute values by syntax; see value_text.h for the forms.
#include "queries/value_text.h"

#include "platform/sid.h"

#include <cstdint>
#include <cstdio>

namespace txads::queries {
namespace {

using Syntax = directory::Value::Syntax;

uint8_t byte_at(std::string_view bytes, size_t i) {
  return static_cast<uint8_t>(bytes[i]);
}

uint32_t little_endian(std::string_view bytes, size_t at, size_t size) {
  uint32_t v = 0;
  for (size_t i = 0; i < size; ++i) v |= static_cast<uint32_t>(byte_at(bytes, at + i)) << (8 * i);
  return v;
}

bool all_digits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

std::string one_value(Syntax syntax, const std::string& v) {
  switch (syntax) {
    case Syntax::sid:
      return sid_text(v);
    case Syntax::guid:
      return guid_text(v);
    case Syntax::octets:
      return hex_text(v);
    case Syntax::time:
      return time_text(v);
    case Syntax::string:
    case Syntax::distinguished_name:
    case Syntax::integer:        // the directory's decimal text
    case Syntax::large_integer:  // the directory's decimal text
    case Syntax::boolean:        // "TRUE" or "FALSE" as the directory writes it
      break;
  }
  return v;
}

}  // namespace

std::string value_text(const directory::Value& value) {
  std::string text;
  bool first = true;
  for (const std::string& v : value.values()) {
    if (!first) text += "; ";
    first = false;
    text += one_value(value.syntax(), v);
  }
  return text;
}

std::string hex_text(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (size_t i = 0; i < bytes.size(); ++i) {
    text += kDigits[byte_at(bytes, i) >> 4];
    text += kDigits[byte_at(bytes, i) & 0x0F];
  }
  return text;
}

std::string sid_text(std::string_view sid) {
  const auto parsed = Sid::from_bytes(sid);
  return parsed ? parsed->to_string() : hex_text(sid);
}

std::string guid_text(std::string_view guid) {
  if (guid.size() != 16) return hex_text(guid);
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                little_endian(guid, 0, 4), little_endian(guid, 4, 2), little_endian(guid, 6, 2),
                byte_at(guid, 8), byte_at(guid, 9), byte_at(guid, 10), byte_at(guid, 11),
                byte_at(guid, 12), byte_at(guid, 13), byte_at(guid, 14), byte_at(guid, 15));
  return text;
}

std::string time_text(std::string_view t) {
  // The date and time digits, then an optional fraction, then "Z".
  std::string_view digits = t.substr(0, t.find_first_of(".,Z"));
  std::string_view rest = t.substr(digits.size());
  if (!all_digits(digits) || rest.empty() || rest.back() != 'Z') return std::string(t);
  std::string year;
  if (digits.size() == 14) {
    year = std::string(digits.substr(0, 4));
    digits.remove_prefix(4);
  } else if (digits.size() == 12) {
    // Two-digit years: 50 to 99 are 19xx, 00 to 49 are 20xx.
    year.append(digits[0] >= '5' ? "19" : "20", 2).append(digits.substr(0, 2));
    digits.remove_prefix(2);
  } else {
    return std::string(t);
  }
  std::string fraction;
  if (rest.size() > 1) {
    std::string_view f = rest.substr(1, rest.size() - 2);
    if (rest[0] == 'Z' || !all_digits(f)) return std::string(t);
    // A fraction of zeros only (the directory's usual ".0") says nothing.
    if (f.find_first_not_of('0') != std::string_view::npos) fraction.append(".").append(f);
  }
  auto two = [&](size_t at) { return std::string(digits.substr(at, 2)); };
  return year + "-" + two(0) + "-" + two(2) + "T" + two(4) + ":" + two(6) + ":" + two(8) +
         fraction + "Z";
}

}  // namespace txads::queries
