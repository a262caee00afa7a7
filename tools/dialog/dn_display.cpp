// Distinguished names as the dialogs show them.
#include "dn_display.h"

#include <cstdint>

#include "translation.h"

namespace txads::dialog {
namespace {

constexpr uint32_t kGlobal = 0x2;
constexpr uint32_t kDomainLocal = 0x4;
constexpr uint32_t kUniversal = 0x8;
constexpr uint32_t kSecurity = 0x80000000u;

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool is_dc(std::string_view rdn) {
  return rdn.size() > 3 && (rdn[0] == 'D' || rdn[0] == 'd') && (rdn[1] == 'C' || rdn[1] == 'c') &&
         rdn[2] == '=';
}

}  // namespace

std::vector<std::string> split_dn(std::string_view dn) {
  std::vector<std::string> rdns;
  std::string current;
  for (size_t i = 0; i < dn.size(); ++i) {
    const char c = dn[i];
    if (c == '\\' && i + 1 < dn.size()) {
      current += c;
      current += dn[++i];
    } else if (c == ',') {
      rdns.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty() || !rdns.empty()) rdns.push_back(std::move(current));
  return rdns;
}

std::string rdn_value(std::string_view rdn) {
  const size_t eq = rdn.find('=');
  const std::string_view value = eq == std::string_view::npos ? rdn : rdn.substr(eq + 1);
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 >= value.size()) {
      out += value[i];
      continue;
    }
    const int hi = hex_digit(value[i + 1]);
    const int lo = i + 2 < value.size() ? hex_digit(value[i + 2]) : -1;
    if (hi >= 0 && lo >= 0) {
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      out += value[++i];
    }
  }
  return out;
}

namespace {

// The domain's DNS name, then the names of the RDNs from `first` on, top down.
std::string joined_path(const std::vector<std::string>& rdns, size_t first) {
  std::string domain;
  std::vector<std::string> above;
  for (size_t i = first; i < rdns.size(); ++i) {
    if (is_dc(rdns[i])) {
      if (!domain.empty()) domain += '.';
      domain += rdn_value(rdns[i]);
    } else {
      above.push_back(rdn_value(rdns[i]));
    }
  }
  std::string folder = domain;
  for (auto it = above.rbegin(); it != above.rend(); ++it) {
    if (!folder.empty()) folder += '/';
    folder += *it;
  }
  return folder;
}

}  // namespace

std::string folder_of(std::string_view dn) {
  return joined_path(split_dn(dn), 1);
}

std::string path_of(std::string_view dn) {
  return joined_path(split_dn(dn), 0);
}

bool is_offered_group_type(int32_t group_type) {
  const auto bits = static_cast<uint32_t>(group_type);
  return bits == (kSecurity | kGlobal) || bits == (kSecurity | kDomainLocal) ||
         bits == (kSecurity | kUniversal);
}

std::string group_type_label(int32_t group_type) {
  switch (static_cast<uint32_t>(group_type)) {
    case kSecurity | kGlobal:
      return _("Global security group");
    case kSecurity | kDomainLocal:
      return _("Domain local security group");
    case kSecurity | kUniversal:
      return _("Universal security group");
    default:
      return "";
  }
}

}  // namespace txads::dialog
