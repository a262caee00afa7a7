// LDIF encoding and parsing of the test support (see ldif.h).
#include "support/ldif.h"

#include <iconv.h>
#include <strings.h>

#include <algorithm>
#include <stdexcept>

namespace txads_test {
namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// SAFE-STRING of LDIF: printable ASCII, not starting with space, ':' or '<',
// not ending with a space.
bool safe(std::string_view value) {
  if (value.empty()) return true;
  if (value.front() == ' ' || value.front() == ':' || value.front() == '<') return false;
  if (value.back() == ' ') return false;
  for (char c : value)
    if (c < 0x20 || c > 0x7e) return false;
  return true;
}

}  // namespace

std::string base64_encode(std::string_view bytes) {
  std::string out;
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const auto byte = [&](size_t k) {
      return static_cast<unsigned>(static_cast<unsigned char>(bytes[k]));
    };
    const unsigned v = (byte(i) << 16) | (byte(i + 1) << 8) | byte(i + 2);
    for (int s = 18; s >= 0; s -= 6) out += kAlphabet[(v >> s) & 63];
  }
  size_t rest = bytes.size() - i;
  if (rest > 0) {
    unsigned v = static_cast<unsigned>(static_cast<unsigned char>(bytes[i])) << 16;
    if (rest == 2) v |= static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string base64_decode(std::string_view text) {
  std::string out;
  unsigned v = 0;
  int bits = 0;
  for (char c : text) {
    if (c == '=' || c == '\n' || c == '\r' || c == ' ') continue;
    size_t index = kAlphabet.find(c);
    if (index == std::string_view::npos)
      throw std::invalid_argument("not base64: " + std::string(text));
    v = (v << 6) | static_cast<unsigned>(index);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((v >> bits) & 0xff);
    }
  }
  return out;
}

std::string ldif_line(std::string_view name, std::string_view value) {
  std::string line(name);
  if (safe(value)) {
    line += ": ";
    line += value;
  } else {
    line += ":: ";
    line += base64_encode(value);
  }
  return line + "\n";
}

std::string unicode_pwd(std::string_view password) {
  std::string quoted = "\"" + std::string(password) + "\"";
  std::string utf16(2 * quoted.size() + 4, '\0');
  iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
  char* in = quoted.data();
  char* out = utf16.data();
  size_t in_left = quoted.size(), out_left = utf16.size();
  const size_t rc = iconv(cd, &in, &in_left, &out, &out_left);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1)) throw std::invalid_argument("not UTF-8: " + quoted);
  utf16.resize(utf16.size() - out_left);
  return utf16;
}

std::vector<std::string> LdifEntry::values(std::string_view name) const {
  std::vector<std::string> result;
  for (const auto& [attr, value] : attributes)
    if (attr.size() == name.size() && strncasecmp(attr.data(), name.data(), name.size()) == 0)
      result.push_back(value);
  return result;
}

std::vector<LdifEntry> parse_ldif(std::string_view text) {
  // ldapsearch writes unwrapped lines (-o ldif-wrap=no).
  std::vector<std::string> lines;
  for (size_t pos = 0; pos <= text.size();) {
    size_t end = std::min(text.find('\n', pos), text.size());
    lines.emplace_back(text.substr(pos, end - pos));
    pos = end + 1;
  }

  std::vector<LdifEntry> entries;
  bool in_entry = false;
  for (const auto& line : lines) {
    if (line.empty()) {
      in_entry = false;
      continue;
    }
    if (line.front() == '#') continue;
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string name = line.substr(0, colon);
    std::string value;
    if (colon + 1 < line.size() && line[colon + 1] == ':') {
      value = base64_decode(std::string_view(line).substr(colon + 2));
    } else {
      size_t start = line.find_first_not_of(' ', colon + 1);
      value = start == std::string::npos ? "" : line.substr(start);
    }
    if (!in_entry) {
      if (strcasecmp(name.c_str(), "dn") != 0) continue;  // "ref:" and the like
      entries.push_back(LdifEntry{value, {}});
      in_entry = true;
    } else {
      entries.back().attributes.emplace_back(name, value);
    }
  }
  return entries;
}

}  // namespace txads_test
