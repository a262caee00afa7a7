// Parsing and building LDAP paths. The dn is checked with libldap's LDAPv3
// parser so that a malformed escape is refused here, before any connection
// is made; "<GUID=...>"-style names pass through to the server unchanged.
#include "directory/ldap_path.h"

#include <ldap.h>

#include <cctype>

#include "directory/ldap_owners.h"
#include "frame/ascii_case.h"

namespace txads::directory {
namespace {

constexpr std::string_view kProvider = "LDAP://";

// Position of the first '/' that is not escaped by a backslash, or npos.
size_t unescaped_slash(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == '/') {
      return i;
    }
  }
  return std::string_view::npos;
}

bool is_host_char(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
}

bool parse_port(std::string_view text, int& port) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > 65535) return false;
  port = value;
  return true;
}

bool parse_server(std::string_view server, Endpoint& endpoint) {
  std::string_view host = server;
  std::string_view port;
  if (!server.empty() && server.front() == '[') {  // "[v6 address]" [":" port]
    const size_t close = server.find(']');
    if (close == std::string_view::npos) return false;
    host = server.substr(1, close - 1);
    std::string_view rest = server.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return false;
      port = rest.substr(1);
      if (port.empty()) return false;
    }
    for (char c : host) {
      if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.') return false;
    }
  } else {
    const size_t colon = server.find(':');
    if (colon != std::string_view::npos) {
      host = server.substr(0, colon);
      port = server.substr(colon + 1);
      if (port.empty()) return false;
    }
    for (char c : host) {
      if (!is_host_char(c)) return false;
    }
  }
  if (host.empty()) return false;
  if (!port.empty() && !parse_port(port, endpoint.port)) return false;
  endpoint.server = std::string(server);
  endpoint.host = std::string(host);
  return true;
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The thread's last well-formed dn is remembered: callers ask about the same
// few objects again and again, and libldap's parse allocates for every part.
bool well_formed_dn(const std::string& dn) {
  if (dn.empty() || dn.front() == '<') return true;
  thread_local std::string last_well_formed;
  if (dn == last_well_formed) return true;
  LDAPDN raw = nullptr;
  const int rc = ldap_str2dn(dn.c_str(), &raw, LDAP_DN_FORMAT_LDAPV3);
  Dn owned(raw);
  if (rc != LDAP_SUCCESS) return false;
  last_well_formed = dn;
  return true;
}

// End of the first RDN: the first ',' (or ';') outside an escape.
size_t first_rdn_end(std::string_view dn) {
  for (size_t i = 0; i < dn.size(); ++i) {
    if (dn[i] == '\\') {
      ++i;
    } else if (dn[i] == ',' || dn[i] == ';') {
      return i;
    }
  }
  return std::string_view::npos;
}

// Whether the character at `at` follows an odd run of backslashes.
bool escaped(std::string_view text, size_t at) {
  size_t backslashes = 0;
  while (backslashes < at && text[at - backslashes - 1] == '\\') ++backslashes;
  return backslashes % 2 == 1;
}

// Without the spaces around an RDN; an escaped one ("CN=trail\ ") is the name's own.
std::string trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ' && !escaped(text, text.size() - 1))
    text.remove_suffix(1);
  return std::string(text);
}

}  // namespace

Status parse_path(std::string_view path, LdapPath& parsed) {
  parsed = LdapPath{};
  if (path.substr(0, kProvider.size()) != kProvider) return kBadPathname;
  std::string_view rest = path.substr(kProvider.size());

  std::string_view dn_text;
  const size_t slash = unescaped_slash(rest);
  if (slash != std::string_view::npos) {
    const std::string_view server = rest.substr(0, slash);
    if (server.find('=') != std::string_view::npos) return kBadPathname;  // dn with a bare "/"
    if (!parse_server(server, parsed.endpoint)) return kBadPathname;
    dn_text = rest.substr(slash + 1);
  } else if (rest.find('=') == std::string_view::npos && !rest.empty() && rest.front() != '<') {
    if (!parse_server(rest, parsed.endpoint)) return kBadPathname;  // "LDAP://server": its root DSE
  } else {
    dn_text = rest;
  }

  const Status status = parse_dn(dn_text, parsed.dn);
  if (status.failed()) return status;
  parsed.endpoint.domain = ascii_lower(dns_name_of(parsed.dn));
  return kOk;
}

Status refuse_nul(std::string_view name) {
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\0') return kInvalidDnSyntax;
    if (name[i] != '\\' || i + 1 == name.size()) continue;
    if (name[i + 1] == '\0') return kInvalidDnSyntax;  // a raw zero byte escaped
    if (i + 2 < name.size() && hex_value(name[i + 1]) == 0 && hex_value(name[i + 2]) == 0)
      return kInvalidDnSyntax;
    ++i;  // the escaped character, or the first digit of a pair
  }
  return kOk;
}

Status parse_dn(std::string_view text, std::string& dn) {
  dn.clear();
  if (const Status status = refuse_nul(text); status.failed()) return status;
  std::string unescaped = unescape_path_dn(text);
  if (!well_formed_dn(unescaped)) return kBadPathname;
  dn = std::move(unescaped);
  return kOk;
}

std::string escape_path_dn(std::string_view dn) {
  std::string out;
  out.reserve(dn.size());
  for (char c : dn) {
    if (c == '/') out += '\\';
    out += c;
  }
  return out;
}

std::string unescape_path_dn(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      if (text[i + 1] != '/') out += '\\';
      out += text[++i];  // every other escape stays whole for the DN parser
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string format_path(std::string_view server, std::string_view dn) {
  std::string path(kProvider);
  if (!server.empty()) {
    path += server;
    path += '/';
  }
  return path + escape_path_dn(dn);
}

std::string first_rdn(std::string_view dn) {
  return trimmed(dn.substr(0, first_rdn_end(dn)));
}

bool is_single_rdn(std::string_view rdn) {
  const std::string text(rdn);
  // The parser reads a terminated string; a zero byte inside is no name.
  if (text.empty() || refuse_nul(text).failed()) return false;
  LDAPDN raw = nullptr;
  const int rc = ldap_str2dn(text.c_str(), &raw, LDAP_DN_FORMAT_LDAPV3);
  Dn parsed(raw);
  if (rc != LDAP_SUCCESS || raw == nullptr || raw[0] == nullptr || raw[1] != nullptr) return false;
  return raw[0][0] != nullptr && raw[0][1] == nullptr;
}

std::string parent_dn(std::string_view dn) {
  const size_t end = first_rdn_end(dn);
  if (end == std::string_view::npos) return "";
  return trimmed(dn.substr(end + 1));
}

std::string dns_name_of(std::string_view dn) {
  std::string name;
  std::string_view rest = dn;
  while (!rest.empty()) {
    const size_t end = first_rdn_end(rest);
    const std::string rdn = trimmed(rest.substr(0, end));
    if (rdn.size() > 3 && equal_ignoring_case(std::string_view(rdn).substr(0, 3), "DC=")) {
      if (!name.empty()) name += '.';
      name += rdn.substr(3);
    }
    if (end == std::string_view::npos) break;
    rest = rest.substr(end + 1);
  }
  return name;
}

}  // namespace txads::directory
