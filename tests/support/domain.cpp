// Reads, changes and tickets of the test support (see domain.h), all through
// the directory's own command-line tools acting as the administrator.
#include "support/domain.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <stdexcept>

namespace txads_test {
namespace {

std::string env_or(const char* name, std::string_view fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : std::string(fallback);
}

std::string uri() {
  return env_or("LDAPURI", "ldap://dc1.corp.example.com");
}

std::string ccache_dir() {
  return env_or("TXADS_CCACHE_DIR",
                env_or("TXADS_TESTDOMAIN_STATE", "/var/tmp/txads-testdomain") + "/ccache");
}

// The tools run as the administrator whatever the test's own KRB5CCNAME is.
std::vector<std::string> admin_env() {
  return {"KRB5CCNAME=" + ccache_of("administrator")};
}

// One of the directory's tools over SASL GSSAPI, quiet, on the test domain.
std::vector<std::string> tool(const char* name) {
  return {name, "-Q", "-Y", "GSSAPI", "-N", "-o", "nettimeout=30", "-H", uri()};
}

// Runs the tool (or takes the result it gave) and throws unless it succeeded.
ToolResult checked(const std::vector<std::string>& argv, const std::string& input = {},
                   std::optional<ToolResult> result = std::nullopt) {
  ToolResult r = result ? *result : run_tool(argv, input, admin_env());
  if (!r.ok())
    throw std::runtime_error(command_line(argv) + " failed (" + std::to_string(r.status) +
                             "): " + r.err + r.out + (input.empty() ? "" : "\ninput:\n" + input));
  return r;
}

// The text of a binary SID: revision, big-endian authority, little-endian sub-authorities.
std::string sid_text(std::string_view b) {
  if (b.size() < 8 || b.size() != 8 + 4 * static_cast<size_t>(static_cast<uint8_t>(b[1])))
    throw std::invalid_argument("not a binary SID of " + std::to_string(b.size()) + " bytes");
  auto byte = [&b](size_t i) { return static_cast<uint64_t>(static_cast<uint8_t>(b[i])); };
  uint64_t authority = 0;
  for (size_t i = 2; i < 8; ++i) authority = (authority << 8) | byte(i);  // big-endian
  // Appended piece by piece: GCC 12 sees a false overlap in "S-" + std::to_string(...).
  std::string text = "S-";
  text.append(std::to_string(byte(0))).append("-").append(std::to_string(authority));
  for (size_t i = 8; i < b.size(); i += 4) {  // little-endian sub-authorities
    uint64_t sub = byte(i) | byte(i + 1) << 8 | byte(i + 2) << 16 | byte(i + 3) << 24;
    text.append("-").append(std::to_string(sub));
  }
  return text;
}

}  // namespace

std::string base_dn() {
  return env_or("LDAPBASE", "DC=corp,DC=example,DC=com");
}

std::string seeded(std::string_view relative) {
  return std::string(relative) + "," + base_dn();
}

std::string path_of(std::string_view dn) {
  return "LDAP://" + std::string(dn);
}

std::string first_controller_address() {
  const char* address = std::getenv("TXADS_TESTDOMAIN_DC1_ADDRESS");
  return address != nullptr && *address != '\0' ? address : "127.0.0.11";
}

std::string dns_domain() {
  std::string dns = base_dn();  // DC=corp,DC=example,DC=com
  for (size_t pos; (pos = dns.find("DC=")) != std::string::npos;) dns.replace(pos, 3, "");
  std::replace(dns.begin(), dns.end(), ',', '.');
  return dns;
}

std::string netbios_domain() {
  return "CORP";
}

std::string test_password() {
  return env_or("TXADS_TEST_PASSWORD", "Txads-Test-Pass1");
}

std::string ccache_of(std::string_view account) {
  return ccache_dir() + "/" + std::string(account);
}

std::vector<LdifEntry> search(std::string_view base, std::string_view filter, Scope scope,
                              const std::vector<std::string>& attributes) {
  static constexpr const char* kScopes[] = {"base", "one", "sub"};
  std::vector<std::string> argv = tool("ldapsearch");
  argv.insert(argv.end(), {"-LLL", "-o", "ldif-wrap=no", "-s", kScopes[static_cast<int>(scope)],
                           "-b", std::string(base), std::string(filter)});
  if (attributes.empty()) argv.push_back("1.1");
  argv.insert(argv.end(), attributes.begin(), attributes.end());
  const ToolResult r = run_tool(argv, {}, admin_env());
  if (r.status == 32) return {};  // no such object: the base is absent
  return parse_ldif(checked(argv, {}, r).out);
}

std::vector<std::string> search_dns(std::string_view base, std::string_view filter, Scope scope) {
  std::vector<std::string> dns;
  for (const auto& e : search(base, filter, scope)) dns.push_back(e.dn);
  return dns;
}

std::vector<std::string> attribute_values(std::string_view dn, std::string_view attribute) {
  auto entries = search(dn, "(objectClass=*)", Scope::base, {std::string(attribute)});
  return entries.empty() ? std::vector<std::string>{} : entries.front().values(attribute);
}

bool object_exists(std::string_view dn) {
  return !search(dn, "(objectClass=*)", Scope::base).empty();
}

std::string sid_of(std::string_view dn) {
  auto values = attribute_values(dn, "objectSid");
  if (values.size() != 1) throw std::runtime_error("no objectSid on " + std::string(dn));
  return sid_text(values.front());
}

void modify(std::string_view ldif) {
  checked(tool("ldapmodify"), std::string(ldif));
}

void delete_tree(std::string_view dn) {
  std::vector<std::string> argv = tool("ldapdelete");
  argv.insert(argv.end(), {"-r", std::string(dn)});
  checked(argv);
}

ToolResult control_controller(int controller, std::string_view action) {
  return run_tool({env_or("TXADS_TESTDOMAIN_DC_CONTROL", "scripts/testdomain/dc"),
                   std::to_string(controller), std::string(action)});
}

ToolResult kinit(std::string_view account, std::string_view password, std::string_view ccache) {
  std::string principal(account);
  if (principal.find('@') == std::string::npos) {
    std::string realm = dns_domain();
    for (auto& c : realm) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    principal += "@" + realm;
  }
  return run_tool({"kinit", "-c", "FILE:" + std::string(ccache), principal},
                  std::string(password) + "\n");
}

AsUser::AsUser(std::string_view account_or_ccache) {
  if (const char* old = std::getenv("KRB5CCNAME")) {
    saved_ = old;
    had_value_ = true;
  }
  std::string cache = account_or_ccache.find('/') == std::string_view::npos
                          ? ccache_of(account_or_ccache)
                          : std::string(account_or_ccache);
  setenv("KRB5CCNAME", cache.c_str(), 1);
}

AsUser::~AsUser() {
  if (had_value_)
    setenv("KRB5CCNAME", saved_.c_str(), 1);
  else
    unsetenv("KRB5CCNAME");
}

}  // namespace txads_test
