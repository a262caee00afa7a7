// LDIF encoding and parsing of the test support (see ldif.h).
#include "support/ldif.h"

#include <iconv.h>
#include <strings.h>

#include <stdexcept>

namespace txads_test {
namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64_encode(std::string_view bytes) {
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    unsigned v = 0;
    for (size_t k = i; k < i + 3; ++k)
      v = v << 8 | (k < bytes.size() ? static_cast<unsigned char>(bytes[k]) : 0u);
    for (size_t k = 0; k < 4; ++k)
      out += i + k <= bytes.size() ? kAlphabet[(v >> (18 - 6 * k)) & 63] : '=';
  }
  return out;
}

std::string base64_decode(std::string_view text) {
  std::string out;
  unsigned v = 0;
  int bits = 0;
  for (char c : text) {
    if (c == '=' || c == ' ') continue;
    const size_t index = kAlphabet.find(c);
    if (index == std::string_view::npos)
      throw std::invalid_argument("not base64: " + std::string(text));
    v = (v << 6) | static_cast<unsigned>(index);
    if ((bits += 6) >= 8) out += static_cast<char>((v >> (bits -= 8)) & 0xff);
  }
  return out;
}

}  // namespace

std::string ldif_line(std::string_view name, std::string_view value) {
  return std::string(name) + ":: " + base64_encode(value) + "\n";
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
    if (strcasecmp(attr.c_str(), std::string(name).c_str()) == 0) result.push_back(value);
  return result;
}

std::vector<LdifEntry> parse_ldif(std::string_view text) {
  std::vector<LdifEntry> entries;
  bool in_entry = false;
  for (size_t pos = 0, end; pos <= text.size(); pos = end + 1) {
    end = std::min(text.find('\n', pos), text.size());
    const std::string_view line = text.substr(pos, end - pos);
    const size_t colon = line.find(':');
    in_entry = in_entry && !line.empty();
    if (line.empty() || line.front() == '#' || colon == std::string_view::npos) continue;
    const std::string name(line.substr(0, colon));
    const std::string_view rest = line.substr(colon + 1);
    const std::string value =
        rest.starts_with(':')
            ? base64_decode(rest.substr(1))
            : std::string(rest.substr(std::min(rest.find_first_not_of(' '), rest.size())));
    if (in_entry) {
      entries.back().attributes.emplace_back(name, value);
    } else if (strcasecmp(name.c_str(), "dn") == 0) {  // not "ref:" and the like
      entries.push_back(LdifEntry{value, {}});
      in_entry = true;
    }
  }
  return entries;
}

}  // namespace txads_test
